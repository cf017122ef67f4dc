#include "index/index_stream.h"

#include <algorithm>
#include <utility>

namespace tanavo {

namespace {

// What a first look at a record or the head takes; doubled while the bytes
// after could change what is read.
constexpr std::size_t kFirstLook = 4096;

}  // namespace

IndexTextStream::IndexTextStream(FileReader& reader, std::size_t windowBytes,
                                 std::function<bool(std::string_view)> firstRead)
    : window_(reader, windowBytes, std::move(firstRead)) {}

bool IndexTextStream::Hold(std::size_t want, std::string_view* text) {
  if (!window_.Cover(next_, want)) return false;
  *text = window_.View().substr(static_cast<std::size_t>(next_ - window_.Base()));
  return true;
}

bool IndexTextStream::ReadHead(IndexFilePaths* paths, std::string* countText) {
  next_ = 0;
  std::string_view text;
  for (std::size_t want = kFirstLook;; want = std::max(want, text.size()) * 2) {
    if (!Hold(want, &text)) return false;
    std::size_t end = 0;
    if (ReadIndexHead(text, window_.AtEnd(), paths, countText, &end)) {
      next_ += end;
      return true;
    }
  }
}

RecordRead IndexTextStream::NextRecord(std::string* line, std::string* position) {
  std::string_view text;
  for (std::size_t want = kFirstLook;; want = std::max(want, text.size()) * 2) {
    if (!Hold(want, &text)) return RecordRead::Unreadable;
    std::size_t end = 0;
    const RecordRead read = ReadRecordLine(text, window_.AtEnd(), line, position, &end);
    if (read == RecordRead::NeedMore) continue;
    if (read == RecordRead::Read) next_ += end;
    return read;
  }
}

IndexTextNotes IndexTextStream::ReadRecords(const std::string& countText, RecordIndex* index, bool keepLines,
                                            const std::function<void(int32_t, int32_t)>& progress,
                                            bool* unreadable) {
  return ReadIndexRecords(
      countText, [this](std::string* line, std::string* position) { return NextRecord(line, position); }, index,
      keepLines, progress, unreadable);
}

}  // namespace tanavo
