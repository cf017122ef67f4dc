#pragma once

#include <string>

namespace tanavo {

// Shift_JIS (code page 932) to UTF-8; bytes that do not convert are kept.
std::string Cp932ToUtf8(const std::string& text);

}  // namespace tanavo
