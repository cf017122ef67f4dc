// The display settings file (*.kdp): the Base64 text of the list-line
// template, CR LF, and the Base64 text of the layout text with one 0x00 byte
// appended. No header, no final line end.
#pragma once

#include <string>
#include <string_view>

namespace tanavo {

// The two texts held in a *.kdp file.
struct DisplaySettingsTexts {
  std::string listLineTemplate;
  std::string layoutText;
};

// Decodes the two texts, dropping every 0x00 byte; bytes outside the Base64
// alphabet are skipped, so a damaged file gives garbled texts, not an error.
// Returns false and leaves *texts alone when the bytes hold no CR LF pair:
// every writer of the format puts one there, so such bytes are not a display
// settings file.
bool ParseDisplaySettingsFile(std::string_view bytes, DisplaySettingsTexts* texts);

// The file bytes for the two texts (0x00 bytes of the template are dropped).
std::string BuildDisplaySettingsFile(std::string_view listLineTemplate, std::string_view layoutText);

}  // namespace tanavo
