#pragma once

#include <string>

namespace tanavo {

// Shift_JIS (code page 932) to UTF-8; bytes that do not convert are kept.
std::string Cp932ToUtf8(const std::string& text);
// A file name made from a Shift_JIS text as this system names files: the
// bytes themselves on Windows, UTF-8 on POSIX.
std::string NativeFileName(const std::string& text);

}  // namespace tanavo
