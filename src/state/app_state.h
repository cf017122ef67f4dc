// What is loaded and where it came from.
#pragma once

#include <string>

#include "text/path.h"

namespace tanavo {

struct AppState {
  std::string mobileFile;  // the loaded mobile file, whole, as read
  PathParts mobileFilePath;
  PathParts extractionFilePath;
  PathParts displayFilePath;
  std::string programFolder;
};

}  // namespace tanavo
