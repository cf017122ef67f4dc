// CP932 to UTF-8 for tanavo-cli --utf8 on Windows.
#include <windows.h>

#include <string>

#include "platform/console/utf8.h"
#include "text/bytes.h"

namespace tanavo {

namespace {

// UTF-8 of bytes that all convert; false (nothing appended) when one does not.
bool AppendConverted(std::string& out, const char* bytes, int n) {
  const int wide = MultiByteToWideChar(932, MB_ERR_INVALID_CHARS, bytes, n, nullptr, 0);
  if (wide <= 0) return false;
  std::wstring w(static_cast<std::size_t>(wide), L'\0');
  MultiByteToWideChar(932, MB_ERR_INVALID_CHARS, bytes, n, &w[0], wide);
  const int u = WideCharToMultiByte(CP_UTF8, 0, w.data(), wide, nullptr, 0, nullptr, nullptr);
  if (u <= 0) return false;
  const std::size_t at = out.size();
  out.resize(at + static_cast<std::size_t>(u));
  WideCharToMultiByte(CP_UTF8, 0, w.data(), wide, &out[at], u, nullptr, nullptr);
  return true;
}

}  // namespace

std::string Cp932ToUtf8(const std::string& text) {
  std::string out;
  if (text.empty() || AppendConverted(out, text.data(), static_cast<int>(text.size()))) return out;
  // Without the flag Windows puts a stand-in character for what has none;
  // character by character instead, keeping a byte that does not convert as
  // iconv does on POSIX.
  for (std::size_t i = 0; i < text.size();) {
    const std::size_t n = IsShiftJisLead(static_cast<unsigned char>(text[i])) && i + 1 < text.size() ? 2 : 1;
    if (AppendConverted(out, text.data() + i, static_cast<int>(n))) {
      i += n;
    } else {
      out.push_back(text[i]);
      ++i;
    }
  }
  return out;
}

std::string NativeFileName(const std::string& text) { return text; }  // the ANSI API takes Shift_JIS

std::string NativeNameToUtf8(const std::string& name) { return Cp932ToUtf8(name); }

}  // namespace tanavo
