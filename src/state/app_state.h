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
  PathParts indexFilePath;  // the index file saved or loaded last; empty when the index is in no file
  std::string programFolder;
};

}  // namespace tanavo
