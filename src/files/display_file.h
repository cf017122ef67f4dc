// Loading and saving the display settings file (*.kdp), into and out of the
// working data: by path, and through the file dialogs.
#pragma once

#include <string>
#include <string_view>

#include "files/file_load.h"
#include "files/settings_warning.h"

namespace tanavo {

struct Workspace;

// Takes the texts of a read *.kdp file into the display settings. False when
// the bytes are not a display settings file: the settings stay as they are,
// and the caller warns (SettingsWarning::NotDisplaySettings) once its status
// bar is cleared.
bool TakeDisplaySettingsFile(Workspace& ws, std::string_view bytes);

// Reads the *.kdp file at path into the display settings, with no box and
// nothing in the status bar: the caller words what it came to.
FileLoad ReadDisplayFile(Workspace& ws, const std::string& path);
// Loads the *.kdp file at path as its menu command does: the path remembered
// first (a later index names the chosen file even when reading it fails), a
// failure told in its box; else the file named in the status bar and its
// texts taken, or the warning that it is no display settings file (through
// warnings, or else in a box).
FileLoad LoadDisplayFile(Workspace& ws, const std::string& path, SettingsReporter* warnings = nullptr);

// Menu command: LoadDisplayFile on a file chosen in the open dialog. True
// when the file was read and its texts taken.
bool LoadDisplaySettings(Workspace& ws);
// Save button of the display settings editor: takes the editor's two texts
// into the display settings and writes them to the file chosen in the save
// dialog. True when written.
bool SaveDisplaySettings(Workspace& ws);

}  // namespace tanavo
