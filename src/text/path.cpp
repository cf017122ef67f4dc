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

namespace {

// The component of path that starts at at, compared without case, ends at a
// separator or at the end; *next is then where the following one starts.
bool ComponentIs(const std::string& path, std::string::size_type at, std::string_view word,
                 std::string::size_type* next) {
  if (path.size() - at < word.size()) return false;
  for (std::string::size_type i = 0; i < word.size(); ++i) {
    if (std::toupper(static_cast<unsigned char>(path[at + i])) != word[i]) return false;
  }
  const std::string::size_type end = at + word.size();
  if (end < path.size() && !IsSeparator(path[end])) return false;
  *next = end < path.size() ? end + 1 : end;
  return true;
}

// Length of a Windows namespace prefix at the start of path: "\\.\" and
// "\\?\" of Win32, and "\??\", which Windows hands to the object manager
// as it is. Separators of either kind, as Windows takes them; 0 when none.
std::string::size_type NamespacePrefix(const std::string& path) {
  if (path.size() < 4 || !IsSeparator(path[0]) || !IsSeparator(path[3])) return 0;
  if (IsSeparator(path[1]) && (path[2] == '.' || path[2] == '?')) return 4;
  if (path[1] == '?' && path[2] == '?') return 4;
  return 0;
}

enum class Reach { File, Network, Device };

// Where a path leads, from its spelling alone.
Reach ReachOf(const std::string& path) {
  std::string::size_type at = NamespacePrefix(path);
  if (at == 0) {
    // Two separators and no namespace: \\host\share, //host/share, \\*\mailslot.
    const bool unc = path.size() >= 2 && IsSeparator(path[0]) && IsSeparator(path[1]);
    return unc ? Reach::Network : Reach::File;
  }
  // In the namespace, "Global" leads back to it, and UNC and MUP are the
  // network redirector. GLOBALROOT reaches every device of the system, the
  // redirectors among them, whatever follows: it is taken as the network.
  std::string::size_type next = 0;
  while (ComponentIs(path, at, "GLOBAL", &next)) at = next;
  for (std::string_view network : {"UNC", "MUP", "GLOBALROOT"}) {
    if (ComponentIs(path, at, network, &next)) return Reach::Network;
  }
  return Reach::Device;
}

}  // namespace

bool NamesNetworkPath(const std::string& path) { return ReachOf(path) == Reach::Network; }

bool NamesDevice(const std::string& path, char separator) {
  if (ReachOf(path) == Reach::Device) return true;
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
