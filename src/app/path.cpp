#include "app/path.h"

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

}  // namespace tanavo
