// Loading and saving the extraction settings file (*.kta), into and out of
// the working data: by path, and through the file dialogs.
#pragma once

#include <string>
#include <string_view>

#include "files/file_load.h"
#include "files/settings_warning.h"

namespace tanavo {

struct Workspace;

// Decodes the entries of a whole file into the table, which the caller has
// reset, counting them in status parts 0 and 1. A file of more than the
// table's entries gives the first ones and one warning that the rest was
// ignored (SettingsWarning::TooManyEntries, through warnings or else in a
// box). Returns the number of entries in the file.
int ReadSettingsEntries(Workspace& ws, std::string_view bytes, SettingsReporter* warnings = nullptr);

// Reads the *.kta file at path into the extraction settings (emptied first),
// counting its entries in the status bar. A file that cannot be read leaves
// the settings as they are and shows no box: the caller words it. The views
// are not told (the caller tells them once its status bar is cleared).
FileLoad ReadExtractionFile(Workspace& ws, const std::string& path);
// Loads the *.kta file at path as its menu command does: a failure told in
// its box and nothing changed; else the file named in the status bar and
// remembered, its entries taken, the views told.
FileLoad LoadExtractionFile(Workspace& ws, const std::string& path);

// Menu command: LoadExtractionFile on a file chosen in the open dialog. True
// when the file was read and its entries taken (a warning may have been
// shown).
bool LoadExtractionSettings(Workspace& ws);
// Save button: the table written to the file chosen in the save dialog, after
// one warning naming the fields cut (SettingsWarning::OverlongFields, through
// warnings or else in a box).
void SaveExtractionSettings(Workspace& ws, SettingsReporter* warnings = nullptr);

}  // namespace tanavo
