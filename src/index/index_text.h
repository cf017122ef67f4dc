// The index file's text (*.ini): the record index with the full paths of
// the three files it was made from, as CR LF text lines with "((" "))" "[["
// "]]" markers. The reader relies on the markers, not on the line ends.
// Pure: no file, no window.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

#include "state/record_index.h"

namespace tanavo {

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

}  // namespace tanavo
