// What is loaded and where it came from.
#pragma once

#include <string>

namespace tanavo {

// A path cut into folder, base name and extension (no separators, no dot).
struct PathParts {
  std::string folder;
  std::string baseName;
  std::string extension;
};

struct AppState {
  std::string mobileFile;  // the loaded mobile file, whole, as read
  PathParts mobileFilePath;
  PathParts extractionFilePath;
  PathParts displayFilePath;
  std::string programFolder;
};

}  // namespace tanavo
