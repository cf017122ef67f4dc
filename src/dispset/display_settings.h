// The display settings: the list-line template, the layout text and the mode
// of the shared display window.
#pragma once

#include <string>
#include <string_view>

#include "text/spelled_value.h"

namespace tanavo {

// The mode texts of the display settings.
inline constexpr char kModeEditor[] = "CONF";
inline constexpr char kModeDataDisplay[] = "DISP";

// Which of its two faces the display window shows; Other for any other mode
// text, under which a resize moves nothing.
enum class DisplayMode { Other, Editor, DataDisplay };

inline DisplayMode ParseDisplayMode(std::string_view text) {
  if (text == kModeEditor) return DisplayMode::Editor;
  if (text == kModeDataDisplay) return DisplayMode::DataDisplay;
  return DisplayMode::Other;
}

inline const char* DisplayModeSpelling(DisplayMode mode) {
  switch (mode) {
    case DisplayMode::Editor: return kModeEditor;
    case DisplayMode::DataDisplay: return kModeDataDisplay;
    case DisplayMode::Other: break;
  }
  return "";
}

using DisplayModeText = SpelledValue<DisplayMode, ParseDisplayMode, DisplayModeSpelling>;

struct DisplaySettings {
  DisplayModeText mode = DisplayMode::DataDisplay;
  std::string listLineTemplate;
  std::string layoutText;
};

}  // namespace tanavo
