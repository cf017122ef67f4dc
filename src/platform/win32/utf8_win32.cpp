// CP932 to UTF-8 for tanavo-cli --utf8 on Windows.
#include <windows.h>

#include <string>

#include "platform/console/utf8.h"

namespace tanavo {

std::string Cp932ToUtf8(const std::string& text) {
  if (text.empty()) return text;
  int wide = MultiByteToWideChar(932, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
  if (wide <= 0) return text;
  std::wstring w(static_cast<std::size_t>(wide), L'\0');
  MultiByteToWideChar(932, 0, text.data(), static_cast<int>(text.size()), &w[0], wide);
  int n = WideCharToMultiByte(CP_UTF8, 0, w.data(), wide, nullptr, 0, nullptr, nullptr);
  if (n <= 0) return text;
  std::string out(static_cast<std::size_t>(n), '\0');
  WideCharToMultiByte(CP_UTF8, 0, w.data(), wide, &out[0], n, nullptr, nullptr);
  return out;
}

}  // namespace tanavo

namespace tanavo {

std::string NativeFileName(const std::string& text) { return text; }  // the ANSI API takes Shift_JIS

}  // namespace tanavo
