// The data display: the display settings window in its "DISP" mode, with the
// record list, the rendered record and the attachment list.
#pragma once

#include <cstdint>
#include <string>

namespace tanavo {

struct App;
struct RecordIndex;

struct RenderedRecord;

// Renders record n into the data display and the raw text view: its
// progress, its attachment list and then its text; a record not found leaves
// the screen as it was but for the status text saying so. out, when given,
// receives the record.
// Its values are the numbers it always returned, which tests compare with.
enum RecordShown : int {
  kRecordShown = 0,
  kRecordNotFound = 1,
};
RecordShown ShowRecord(App& app, int n, RenderedRecord* out = nullptr);

// Menu command: opens the window in "DISP" mode, lists the records of the
// index and renders record 1.
void OpenDataDisplay(App& app);
// A selection in the record list: renders the chosen record.
void SelectRecord(App& app);
// Renders record n as a choice in the list does: the attachment list hidden
// and the labels emptied first.
void ShowChosenRecord(App& app, int32_t n);

}  // namespace tanavo
