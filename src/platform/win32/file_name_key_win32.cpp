#include <windows.h>

#include <string>

#include "platform/file_name_key.h"

namespace tanavo {

std::string RealFileNameKey(const std::string& name) {
  if (name.empty()) return name;
  // As the ANSI file functions convert it, stand-in characters included.
  const int n = static_cast<int>(name.size());
  const int wide = MultiByteToWideChar(CP_ACP, 0, name.data(), n, nullptr, 0);
  if (wide <= 0) return name;
  std::wstring w(static_cast<std::size_t>(wide), L'\0');
  MultiByteToWideChar(CP_ACP, 0, name.data(), n, &w[0], wide);
  // NTFS compares names upper-cased character by character.
  std::wstring upper(w.size(), L'\0');
  if (LCMapStringW(LOCALE_INVARIANT, LCMAP_UPPERCASE, w.data(), wide, &upper[0], wide) != wide) upper = w;
  const int u = WideCharToMultiByte(CP_UTF8, 0, upper.data(), wide, nullptr, 0, nullptr, nullptr);
  if (u <= 0) return name;
  std::string out(static_cast<std::size_t>(u), '\0');
  WideCharToMultiByte(CP_UTF8, 0, upper.data(), wide, &out[0], u, nullptr, nullptr);
  return out;
}

}  // namespace tanavo
