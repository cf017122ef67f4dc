// Loading and saving the extraction settings file (*.kta) through the file
// dialogs, into and out of the working data.
#pragma once

#include <string_view>

namespace tanavo {

struct Workspace;

// Decodes the entries of a whole file into the table, which the caller has
// reset, counting them in status parts 0 and 1. A file of more than the
// table's entries gives the first ones and one warning that the rest was
// ignored. Returns the number of entries in the file.
int ReadSettingsEntries(Workspace& ws, std::string_view bytes);

// Menu command: reads a *.kta file chosen in the open dialog. True when the
// file was read and its entries taken (a warning may have been shown).
bool LoadExtractionSettings(Workspace& ws);
void SaveExtractionSettings(Workspace& ws);

}  // namespace tanavo
