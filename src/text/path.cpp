#include "text/path.h"

#include <array>
#include <cctype>
#include <string_view>

namespace tanavo {

PathParts SplitPath(const std::string& path, char separator) {
  PathParts parts;
  std::string fileName = path;
  std::string::size_type cut = path.rfind(separator);
  if (cut != std::string::npos) {
    parts.folder = path.substr(0, cut);
    fileName = path.substr(cut + 1);
  }
  std::string::size_type dot = fileName.rfind('.');
  if (dot == std::string::npos) {
    parts.baseName = fileName;
  } else {
    parts.baseName = fileName.substr(0, dot);
    parts.extension = fileName.substr(dot + 1);
  }
  return parts;
}

std::string ShownFileName(const PathParts& parts) { return parts.baseName + "." + parts.extension; }

std::string JoinPath(const PathParts& parts, char separator) {
  return parts.folder + separator + ShownFileName(parts);
}

std::string OpenablePath(const PathParts& parts, char separator) {
  std::string path = JoinPath(parts, separator);
  if (parts.extension.empty()) path.pop_back();
  return path;
}

namespace {

// A Shift_JIS lead byte: the byte after it belongs to the same character and
// is never a separator, even 0x5C.
bool IsLeadByte(unsigned char c) { return (c >= 0x81 && c <= 0x9F) || (c >= 0xE0 && c <= 0xFC); }

bool IsSeparator(char c) { return c == '\\' || c == '/'; }

// Where the last separator byte of path is, reading it as Shift_JIS when it
// may hold backslashes; npos when there is none.
std::string::size_type LastSeparator(const std::string& path, bool slashOnly) {
  std::string::size_type last = std::string::npos;
  for (std::string::size_type i = 0; i < path.size(); ++i) {
    const char c = path[i];
    if (slashOnly ? c == '/' : IsSeparator(c)) {
      last = i;
    } else if (!slashOnly && IsLeadByte(static_cast<unsigned char>(c))) {
      ++i;
    }
  }
  return last;
}

// Paths that start at the POSIX root use "/" alone: a backslash there is a
// byte of a name.
bool IsPosixPath(const std::string& path) { return !path.empty() && path[0] == '/'; }

}  // namespace

std::string OtherSystemPath(const std::string& path, char separator) {
  std::string other;
  if (separator == '/') {
    if (path.size() < 3 || (path[0] != 'Z' && path[0] != 'z') || path[1] != ':' || path[2] != '\\') return other;
    other = "/";
    for (std::string::size_type i = 3; i < path.size(); ++i) {
      const char c = path[i];
      other.push_back(c == '\\' ? '/' : c);
      if (IsLeadByte(static_cast<unsigned char>(c)) && i + 1 < path.size()) other.push_back(path[++i]);
    }
    return other;
  }
  if (!IsPosixPath(path) || path.size() < 2 || IsSeparator(path[1])) return other;
  other = "Z:";
  for (char c : path) other.push_back(c == '/' ? '\\' : c);
  return other;
}

std::string FileNameOf(const std::string& path) {
  const std::string::size_type cut = LastSeparator(path, IsPosixPath(path));
  std::string name = cut == std::string::npos ? path : path.substr(cut + 1);
  if (!name.empty() && name.back() == '.') name.pop_back();
  return name;
}

std::string FolderOf(const std::string& path, char separator) {
  const std::string::size_type cut = LastSeparator(path, separator == '/');
  return cut == std::string::npos ? std::string() : path.substr(0, cut);
}

bool NamesNetworkPath(const std::string& path) {
  if (path.size() < 2 || !IsSeparator(path[0]) || !IsSeparator(path[1])) return false;
  // \\.\ and \\?\ are this computer's namespaces, unless they lead to UNC.
  if (path.size() >= 4 && (path[2] == '.' || path[2] == '?') && IsSeparator(path[3])) {
    std::string rest = path.substr(4, 4);
    for (char& c : rest) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return rest == "UNC\\" || rest == "UNC/";
  }
  return true;
}

bool NamesDevice(const std::string& path, char separator) {
  if (path.size() >= 4 && IsSeparator(path[0]) && IsSeparator(path[1]) && (path[2] == '.' || path[2] == '?') &&
      IsSeparator(path[3])) {
    return true;
  }
  if (separator != '\\') return false;
  // Windows opens the device whatever the folder and extension, and ignores
  // spaces and dots after the name.
  std::string name = FileNameOf(path);
  name = name.substr(0, name.find('.'));
  while (!name.empty() && (name.back() == ' ' || name.back() == '.')) name.pop_back();
  for (char& c : name) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  static constexpr std::array<std::string_view, 6> kNames = {"CON", "PRN", "AUX", "NUL", "CONIN$", "CONOUT$"};
  for (std::string_view d : kNames) {
    if (name == d) return true;
  }
  return name.size() == 4 && (name.compare(0, 3, "COM") == 0 || name.compare(0, 3, "LPT") == 0) && name[3] >= '1' &&
         name[3] <= '9';
}

}  // namespace tanavo
