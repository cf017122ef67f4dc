// The record capacity the window program remembers between runs: one line in
// a small file in the program folder, read at start-up and written when the
// examiner raises the capacity in the box that says records were left out.
// Beside the program, not in the registry, so that the tool leaves no trace
// on the examiner's machine outside its own folder and runs the same from a
// copied folder; a file that is missing or unreadable gives the default.
#pragma once

#include <cstdint>
#include <string>

namespace tanavo {

struct Workspace;

// The file's name in the program folder.
inline constexpr char kCapacitySettingFile[] = "Tanavo.cfg";

// A capacity as written by the examiner or the setting file: a count of 1 or
// more in decimal digits, or "all" (kAllRecords). False for anything else.
bool ParseRecordCapacity(const std::string& text, int32_t* capacity);
// "MaxRecords=N" (or "all") and CR LF: the file's whole text.
std::string RecordCapacitySettingText(int32_t capacity);
// The capacity a setting file's text holds; kIndexSlots for any text that is
// not one line "MaxRecords=" with a value ParseRecordCapacity takes.
int32_t ReadRecordCapacitySetting(const std::string& text);

// Reads the setting file from the program folder into ws.index's capacity.
void LoadRecordCapacity(Workspace& ws);
// Sets ws.index's capacity and writes the setting file; false (after a box
// saying the setting holds for this run only) when it cannot be written.
bool RememberRecordCapacity(Workspace& ws, int32_t capacity);

}  // namespace tanavo
