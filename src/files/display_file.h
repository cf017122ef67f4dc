// Loading and saving the display settings file (*.kdp) through the file
// dialogs, into and out of the working data.
#pragma once

#include <string_view>

namespace tanavo {

struct Workspace;

// Takes the texts of a read *.kdp file into the display settings. False when
// the bytes are not a display settings file: the settings stay as they are,
// and the caller tells the user with ShowNotDisplaySettingsFile once its
// status bar is cleared. Shared with the index file loader.
bool TakeDisplaySettingsFile(Workspace& ws, std::string_view bytes);
void ShowNotDisplaySettingsFile(Workspace& ws);

// Menu command: reads a *.kdp file chosen in the open dialog. True when the
// file was read and its texts taken.
bool LoadDisplaySettings(Workspace& ws);
// Save button of the display settings editor: takes the editor's two texts
// into the display settings and writes them to the file chosen in the save
// dialog. True when written.
bool SaveDisplaySettings(Workspace& ws);

}  // namespace tanavo
