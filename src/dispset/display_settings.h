// The display settings: the list-line template, the layout text and the mode
// of the shared display window.
#pragma once

#include <string>

namespace tanavo {

struct DisplaySettings {
  std::string modeText = "DISP";  // "CONF" while editing, "DISP" for the data display
  std::string listLineTemplate;
  std::string layoutText;
};

}  // namespace tanavo
