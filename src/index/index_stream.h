// The index file's text read in pieces (the export of a large index): the
// head and the records one after another, as ReadIndexFileText reads them
// from the whole text, holding a window of the file, never all of it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

#include "engine/file_window.h"
#include "index/index_text.h"
#include "platform/file_system.h"

namespace tanavo {

class IndexTextStream {
 public:
  // firstRead, when given, receives every byte of the file once, in order
  // (the evidence hashed as it was read).
  explicit IndexTextStream(FileReader& reader, std::size_t windowBytes = kFileWindowBytes,
                           std::function<bool(std::string_view)> firstRead = nullptr);

  // The head; false when the file could not be read.
  bool ReadHead(IndexFilePaths* paths, std::string* countText);
  // The next record line after the head (Unreadable: the file could not be
  // read).
  RecordRead NextRecord(std::string* line, std::string* position);
  // The records after the head, as ReadIndexFileText reads them, the list
  // lines kept only with keepLines; *unreadable when the file could not be
  // read.
  IndexTextNotes ReadRecords(const std::string& countText, RecordIndex* index, bool keepLines,
                             const std::function<void(int32_t, int32_t)>& progress, bool* unreadable);
  // Every byte not yet read goes through firstRead.
  bool ReadRest() { return window_.ReadRest(); }

 private:
  // The text from next_ on, held at least as far as want (or to the end).
  bool Hold(std::size_t want, std::string_view* text);

  FileWindow window_;
  std::uint64_t next_ = 0;  // where the head or the next record starts
};

}  // namespace tanavo
