// The menu bar of the main window and its command ids.
#pragma once

#include <vector>

#include "platform/platform.h"

namespace tanavo {

enum MenuCommand {
  kCmdOpenMobileFile = 1047,
  kCmdLoadExtractionSettings = 1048,
  kCmdLoadDisplaySettings = 1049,
  kCmdLoadIndexFile = 1050,
  kCmdExit = 1051,
  kCmdCreateIndex = 1052,
  kCmdDataDisplay = 1053,
  kCmdAnalysisMemo = 1054,
  kCmdConversionTool = 1055,
  kCmdExtractionSettings = 1056,
  kCmdDisplaySettings = 1057,
  kCmdUserManual = 1058,
  kCmdVersion = 1059,
  kCmdCoverage = 1060,
  kCmdRawUtf8 = 1061,
};

// The five drop-down menus in the order they appear, items in the order they
// appear (the win32 back end inserts each at position 0, last first).
const std::vector<MenuSpec>& MenuBar();

}  // namespace tanavo
