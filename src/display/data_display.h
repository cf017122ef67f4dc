// The data display: the display settings window in its "DISP" mode, with the
// record list, the rendered record and the attachment list.
#pragma once

#include <cstdint>
#include <string>

namespace tanavo {

struct App;
struct RecordIndex;

// Row n of the record list: "(" + n + ")" + the record's list line.
std::string RecordListRow(const RecordIndex& index, int32_t n);

// Menu command: opens the window in "DISP" mode, lists the records of the
// index and renders record 1.
void OpenDataDisplay(App& app);
// A selection in the record list: renders the chosen record.
void SelectRecord(App& app);

}  // namespace tanavo
