#include "index/index_text.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

#include "codec/codec.h"
#include "engine/tag_match.h"

namespace tanavo {

namespace {

constexpr std::string_view kCrLf = "\r\n";
constexpr std::string_view kOpen = "((";
constexpr std::string_view kClose = "))";
constexpr std::string_view kPositionOpen = "[[";
constexpr std::string_view kPositionClose = "]]";
// A number read from the file, rounded; text without a number gives 0 and
// values beyond a position's range are held at its ends.
int32_t RoundedNumber(std::string_view text) {
  const double v = ParseNumber(text);
  if (!std::isfinite(v)) return v > 0 ? INT32_MAX : 0;
  if (v >= static_cast<double>(INT32_MAX)) return INT32_MAX;
  if (v <= static_cast<double>(INT32_MIN)) return INT32_MIN;
  return static_cast<int32_t>(std::lround(v));
}

// Reads marked texts one after another from a read position.
class MarkedReader {
 public:
  explicit MarkedReader(std::string_view text) : text_(text) {}
  // The text between the next start and end marker; the read position moves
  // past the end marker. Nothing found: false, and the position stays.
  bool Next(std::string_view startMark, std::string_view endMark, std::string* out) {
    TagMatch m = Find(startMark, endMark);
    if (m.status != MatchStatus::Found) return false;
    out->swap(m.text);
    from_ = static_cast<int64_t>(m.end) + 1;
    return true;
  }
  std::size_t Offset() const { return static_cast<std::size_t>(std::min<int64_t>(from_ - 1, text_.size())); }

 private:
  TagMatch Find(std::string_view startMark, std::string_view endMark) const {
    if (from_ > static_cast<int64_t>(text_.size())) return TagMatch{};
    return ExtractBetweenTags(text_, startMark, endMark, static_cast<int32_t>(from_), "", "",
                              ExtractMode::ContentOnly);
  }
  std::string_view text_;
  int64_t from_ = 1;
};

bool At(std::string_view text, std::size_t at, std::string_view mark) {
  return at <= text.size() && text.substr(at, mark.size()) == mark;
}

}  // namespace

bool ReadIndexHead(std::string_view text, bool complete, IndexFilePaths* paths, std::string* countText,
                   std::size_t* end) {
  MarkedReader reader(text);
  for (std::string* path : {&paths->mobile, &paths->extraction, &paths->display}) {
    if (reader.Next(kOpen, kClose, path)) continue;
    if (!complete) return false;  // the bytes after may hold it
    path->clear();
  }
  if (!reader.Next(kOpen, kClose, countText)) {
    if (!complete) return false;
    countText->clear();
  }
  *end = reader.Offset();
  return true;
}

// The record line ends at the first "]]" that closes a "[[" + number and is
// followed by the next record's "((" (after its line end) or by the end of
// the text, so that a list line holding "]]", or "[" at its end, or even
// "[[", reads back whole. The searches never look past that end: each byte
// is looked at a bounded number of times, whatever the text holds.
RecordRead ReadRecordLine(std::string_view text, bool complete, std::string* line, std::string* position,
                          std::size_t* end) {
  // What follows a "]]" and decides whether it ends the line: a line end and
  // the next "((", which must be there to be looked at.
  constexpr std::size_t kDeciding = kPositionClose.size() + kCrLf.size() + kOpen.size();
  std::size_t numberOpen = 0;
  std::size_t close = 0;
  for (;; ++close) {
    close = text.find(kPositionClose, close);
    if (close == std::string_view::npos) return complete ? RecordRead::Missing : RecordRead::NeedMore;
    if (!complete && close + kDeciding > text.size()) return RecordRead::NeedMore;
    std::size_t digits = close;
    while (digits > 0 && text[digits - 1] >= '0' && text[digits - 1] <= '9') --digits;
    if (digits == close || digits < kPositionOpen.size()) continue;
    if (!At(text, digits - kPositionOpen.size(), kPositionOpen)) continue;
    std::size_t after = close + kPositionClose.size();
    if (At(text, after, kCrLf)) {
      after += kCrLf.size();
    } else if (At(text, after, "\n")) {
      after += 1;
    }
    if (after != text.size() && !At(text, after, kOpen)) continue;
    numberOpen = digits - kPositionOpen.size();
    break;
  }
  // The markers before the position, in their order; a record without them
  // is damaged.
  const std::string_view head = text.substr(0, numberOpen);
  const std::size_t open = head.find(kOpen);
  if (open == std::string_view::npos) return RecordRead::Damaged;
  const std::size_t shut = head.find(kClose, open + kOpen.size());
  if (shut == std::string_view::npos) return RecordRead::Damaged;
  line->assign(head.substr(shut + kClose.size()));
  const std::size_t number = numberOpen + kPositionOpen.size();
  position->assign(text.substr(number, close - number));
  *end = close + kPositionClose.size();
  return RecordRead::Read;
}

std::string BuildIndexFileText(const IndexFilePaths& paths, const RecordIndex& index,
                               const std::function<void(int32_t)>& progress) {
  const int32_t slots = static_cast<int32_t>(std::min(index.positions.size(), index.lines.size())) - 1;
  const int32_t count = std::max<int32_t>(0, std::min<int32_t>(index.count, slots));
  std::size_t size = paths.mobile.size() + paths.extraction.size() + paths.display.size() + 64;
  for (int32_t n = 1; n <= count; ++n) size += index.lines[static_cast<std::size_t>(n)].size() + 32;
  std::string text;
  text.reserve(size);
  for (const std::string* path : {&paths.mobile, &paths.extraction, &paths.display}) {
    text.append(kOpen).append(*path).append(kClose).append(kCrLf);
  }
  text.append(kOpen).append(std::to_string(count)).append(kClose).append(kCrLf);
  for (int32_t n = 1; n <= count; ++n) {
    if (progress) progress(n);
    const std::size_t slot = static_cast<std::size_t>(n);
    text.append(kOpen).append(std::to_string(n)).append(kClose);
    text.append(index.lines[slot]);
    text.append(kPositionOpen).append(std::to_string(index.positions[slot])).append(kPositionClose).append(kCrLf);
  }
  return text;
}

int32_t ReadIndexPosition(std::string_view text) {
  return RoundedNumber(text);
}

void ReadIndexFilePaths(std::string_view text, IndexFilePaths* paths) {
  std::string countText;
  std::size_t end = 0;
  ReadIndexHead(text, true, paths, &countText, &end);
}

IndexTextNotes ReadIndexRecords(std::string_view countText, const NextIndexRecord& next, RecordIndex* index,
                                bool keepLines, const std::function<void(int32_t, int32_t)>& progress,
                                bool* unreadable) {
  IndexTextNotes notes;
  notes.storedCount = std::max<int32_t>(0, RoundedNumber(countText));
  int32_t count = notes.storedCount;
  if (count > index->capacity) {
    notes.overCapacity = true;
    count = index->capacity;
  }
  // Slots are added as records are read, never for the count the header
  // claims: a damaged or hostile header costs nothing.
  ClearRecords(*index);
  std::string line;
  std::string position;
  for (int32_t n = 1; n <= count; ++n) {
    if (progress) progress(n, count);
    const std::size_t slot = keepLines ? RecordSlotFor(*index, n) : PositionSlotFor(*index, n);
    index->count = n;
    const RecordRead read = next(&line, &position);
    if (read != RecordRead::Read) {
      // A cut or damaged file: the records read so far are the index.
      if (read == RecordRead::Unreadable && unreadable) *unreadable = true;
      (read == RecordRead::Missing ? notes.truncated : notes.damaged) = true;
      index->count = n - 1;
      break;
    }
    if (keepLines) index->lines[slot].swap(line);
    index->positions[slot] = RoundedNumber(position);
  }
  return notes;
}

IndexTextNotes ReadIndexFileText(std::string_view text, IndexFilePaths* paths, RecordIndex* index,
                                 const std::function<void(int32_t, int32_t)>& progress) {
  std::string countText;
  std::size_t from = 0;
  ReadIndexHead(text, true, paths, &countText, &from);
  const NextIndexRecord next = [&](std::string* line, std::string* position) {
    std::size_t end = 0;
    const RecordRead read = ReadRecordLine(text.substr(from), true, line, position, &end);
    if (read == RecordRead::Read) from += end;
    return read;
  };
  return ReadIndexRecords(countText, next, index, true, progress, nullptr);
}

}  // namespace tanavo
