// The index file (*.ini): the record index with the full paths of the three
// files it was made from, as CR LF text lines with "((" "))" "[[" "]]"
// markers. The reader relies on the markers, not on the line ends.
#pragma once

#include <functional>
#include <string>
#include <string_view>

#include "state/record_index.h"

namespace tanavo {

struct Workspace;

// The three paths at the head of an index file.
struct IndexFilePaths {
  std::string mobile;
  std::string extraction;
  std::string display;
};

// What reading an index text found beyond the records themselves.
struct IndexTextNotes {
  int32_t storedCount = 0;  // the count the header gives, before any cut
  bool overCapacity = false;  // more records than the index holds: the first ones were read
  bool truncated = false;     // the text ended before its last record
  bool damaged = false;       // a record's markers were missing or out of order: the ones before it were read
};

// The whole file text. progress(n) is called before record line n.
std::string BuildIndexFileText(const IndexFilePaths& paths, const RecordIndex& index,
                               const std::function<void(int32_t)>& progress = nullptr);

// Reads only the three paths at the head of an index text.
void ReadIndexFilePaths(std::string_view text, IndexFilePaths* paths);

// Reads an index text into paths and index (slots 1 to count overwritten;
// nothing is written past the last slot). A text without the markers gives
// empty paths and count 0. progress(n, count) is called before record n.
IndexTextNotes ReadIndexFileText(std::string_view text, IndexFilePaths* paths, RecordIndex* index,
                                 const std::function<void(int32_t, int32_t)>& progress = nullptr);

// The file name both dialogs propose: mobile file base name and extension
// run together, then ".ini" (phone.dat gives phonedat.ini).
std::string ProposedIndexFileName(const Workspace& ws);

// Saves the index to a file chosen in the save dialog. 0 when written; 1 when
// cancelled or the file could not be written (after its box).
int SaveIndexFile(Workspace& ws);

// Menu command: reads an index file chosen in the open dialog, then reloads
// the mobile file, the extraction settings and the display settings it names.
// 0 when all four were read; 1 when cancelled or a step failed (after its
// box), the steps before it staying done.
int LoadIndexFileCommand(Workspace& ws);

}  // namespace tanavo
