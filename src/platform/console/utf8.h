#pragma once

#include <string>

namespace tanavo {

// Shift_JIS (code page 932) to UTF-8; bytes that do not convert are kept.
std::string Cp932ToUtf8(const std::string& text);
#ifndef _WIN32
// Shift_JIS to another encoding iconv knows (the locale's, such as EUC-JP);
// bytes that do not convert are shown as \xHH, and an unknown encoding keeps
// them all.
std::string Cp932ToEncoding(const std::string& text, const std::string& encoding);
#endif
// A file name made from a Shift_JIS text as this system names files: the
// bytes themselves on Windows, UTF-8 on POSIX (a byte without a character as \xHH).
std::string NativeFileName(const std::string& text);
// A name of the platform's file system (a path as given) in UTF-8: converted
// from Shift_JIS on Windows, the bytes themselves on POSIX, where names are
// UTF-8 already (and may hold bytes that are not).
std::string NativeNameToUtf8(const std::string& name);

}  // namespace tanavo
