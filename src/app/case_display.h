// The case file in the data display: the search field with its hit count,
// the next and previous hit and the way back to all records, the sort
// button, tags and the filter to tagged records. The case beside the index
// file is opened (and checked) with the index and made when first used. With
// no search, no filter and the number order, the list is the data display's
// own: one row per record, in order.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "case/case_view.h"

namespace tanavo {

struct App;

// Controls the case adds to the data display, in the top row the display
// leaves free between its title and its close button.
constexpr int kDispSearchEdit = 1100;
constexpr int kDispSearchButton = 1101;
constexpr int kDispHitCount = 1102;
constexpr int kDispPreviousHit = 1103;
constexpr int kDispNextHit = 1104;
constexpr int kDispAllRecords = 1105;
constexpr int kDispSortButton = 1106;
constexpr int kDispTagButton = 1107;
constexpr int kDispTaggedOnly = 1108;
constexpr int kDispSearchEditMinWidth = 60;  // pixels, however narrow the window
// The search field holds a query up to the length the case takes, in
// Shift_JIS bytes that become at most as many characters.
constexpr std::size_t kSearchEditBytes = 1000;

struct CaseSession {
  std::string path;               // beside the index file; empty without one
  std::unique_ptr<CaseFile> file;  // open, built and checked
  bool refused = false;           // said why when opened: not used
  std::string refusal;            // what the box said
  RecordView view;
  std::vector<std::int32_t> order;  // the rows' records while the view is active
  std::vector<char> tagged;         // by record number
  std::int32_t shown = 0;           // the record on display
};

// The index was created or loaded (or not, when cancelled): the case of its
// file is opened and checked at once, with a box saying why one is not used.
void CaseIndexReplaced(App& app);
// The case, made now with progress when there is none yet; false after a box
// saying why there is none.
bool CaseReady(App& app);

// The data display's rows: the records of the view, tagged ones marked.
void ShowRecordRows(App& app);
// The record a row of the list stands for.
std::int32_t RecordOfRow(const App& app, int row);
// The case's controls shown, and their state, when the data display opens.
void ShowCaseControls(App& app, bool shown);

// Handlers of the controls above.
void SearchRecords(App& app);
void StepHit(App& app, int step);
void ShowAllRecords(App& app);
void NextSort(App& app);
void FilterTagged(App& app);
void OpenTags(App& app);
// A tag was added or removed: the marks and the filter follow.
void TagsChanged(App& app);

// The sort button's caption.
const char* SortCaption(RecordSort sort);

}  // namespace tanavo
