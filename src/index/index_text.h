// The index file's text (*.ini): the record index with the full paths of
// the three files it was made from, as CR LF text lines with "((" "))" "[["
// "]]" markers. The reader relies on the markers, not on the line ends.
// Pure: no file, no window.
#pragma once

#include <cstddef>
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

// The head of an index text (or of its first bytes, complete false): the
// three paths and the count's text, and where the records start (*end).
// False when bytes after text could change what it reads.
bool ReadIndexHead(std::string_view text, bool complete, IndexFilePaths* paths, std::string* countText,
                   std::size_t* end);

enum class RecordRead {
  Read,
  Missing,     // the text ended before the record
  Damaged,     // its markers missing or out of order
  NeedMore,    // bytes after the text could change what it reads
  Unreadable,  // the file could not be read (a reader's)
};
// The record line at the start of text ("((" number "))" list line "[["
// position "]]"): its list line and position, and its end (*end) where the
// next one starts. complete: text runs to the end of the file; otherwise a
// record that bytes after it could change is NeedMore.
RecordRead ReadRecordLine(std::string_view text, bool complete, std::string* line, std::string* position,
                          std::size_t* end);

// The records of an index text one after another, as ReadRecordLine reads
// them, into index (the list lines only with keepLines; without, the lines
// keep only their first empty slots). *unreadable set when next said so.
using NextIndexRecord = std::function<RecordRead(std::string* line, std::string* position)>;
IndexTextNotes ReadIndexRecords(std::string_view countText, const NextIndexRecord& next, RecordIndex* index,
                                bool keepLines, const std::function<void(int32_t, int32_t)>& progress,
                                bool* unreadable);

// A record's position as read from its text: rounded, 0 without a number,
// held at the ends of the 32-bit range.
int32_t ReadIndexPosition(std::string_view text);

// Reads only the three paths at the head of an index text.
void ReadIndexFilePaths(std::string_view text, IndexFilePaths* paths);

// Reads an index text into paths and index (slots 1 to count overwritten;
// nothing is written past the last slot). A text without the markers gives
// empty paths and count 0. progress(n, count) is called before record n.
IndexTextNotes ReadIndexFileText(std::string_view text, IndexFilePaths* paths, RecordIndex* index,
                                 const std::function<void(int32_t, int32_t)>& progress = nullptr);

}  // namespace tanavo
