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

enum class RecordRead { Read, Missing, Damaged };

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
  // One record line from the read position: "((" number "))" list line "[["
  // position "]]". Its end is the first "]]" that closes a "[[" + number and
  // is followed by the next record's "((" (after its line end) or by the end
  // of the text, so that a list line holding "]]", or "[" at its end, or even
  // "[[", reads back whole. The searches never look past that end, and the
  // read position moves past it: each byte is looked at a bounded number of
  // times, whatever the text holds.
  RecordRead NextRecord(std::string* line, std::string* position) {
    const std::size_t from = Offset();
    std::size_t numberOpen = 0;
    std::size_t close = from;
    for (;; ++close) {
      close = text_.find(kPositionClose, close);
      if (close == std::string_view::npos) return RecordRead::Missing;
      if (EndsRecordLine(close, from, &numberOpen)) break;
    }
    // The markers before the position, in their order; a record without them
    // is damaged.
    const std::string_view head = text_.substr(from, numberOpen - from);
    const std::size_t open = head.find(kOpen);
    if (open == std::string_view::npos) return RecordRead::Damaged;
    const std::size_t shut = head.find(kClose, open + kOpen.size());
    if (shut == std::string_view::npos) return RecordRead::Damaged;
    line->assign(head.substr(shut + kClose.size()));
    const std::size_t number = numberOpen + kPositionOpen.size();
    position->assign(text_.substr(number, close - number));
    from_ = static_cast<int64_t>(close + kPositionClose.size()) + 1;
    return RecordRead::Read;
  }

 private:
  std::size_t Offset() const { return static_cast<std::size_t>(std::min<int64_t>(from_ - 1, text_.size())); }
  bool At(std::size_t at, std::string_view mark) const {
    return at <= text_.size() && text_.substr(at, mark.size()) == mark;
  }
  // Whether the "]]" at close ends a record line that starts at or after from;
  // numberOpen is then where its "[[" is.
  bool EndsRecordLine(std::size_t close, std::size_t from, std::size_t* numberOpen) const {
    std::size_t digits = close;
    while (digits > from && text_[digits - 1] >= '0' && text_[digits - 1] <= '9') --digits;
    if (digits == close || digits < from + kPositionOpen.size()) return false;
    if (!At(digits - kPositionOpen.size(), kPositionOpen)) return false;
    std::size_t after = close + kPositionClose.size();
    if (At(after, kCrLf)) {
      after += kCrLf.size();
    } else if (At(after, "\n")) {
      after += 1;
    }
    if (after != text_.size() && !At(after, kOpen)) return false;
    *numberOpen = digits - kPositionOpen.size();
    return true;
  }
  TagMatch Find(std::string_view startMark, std::string_view endMark) const {
    if (from_ > static_cast<int64_t>(text_.size())) return TagMatch{};
    return ExtractBetweenTags(text_, startMark, endMark, static_cast<int32_t>(from_), "", "",
                              ExtractMode::ContentOnly);
  }
  std::string_view text_;
  int64_t from_ = 1;
};

}  // namespace

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

void ReadIndexFilePaths(std::string_view text, IndexFilePaths* paths) {
  MarkedReader reader(text);
  for (std::string* path : {&paths->mobile, &paths->extraction, &paths->display}) {
    if (!reader.Next(kOpen, kClose, path)) path->clear();
  }
}

IndexTextNotes ReadIndexFileText(std::string_view text, IndexFilePaths* paths, RecordIndex* index,
                                 const std::function<void(int32_t, int32_t)>& progress) {
  IndexTextNotes notes;
  MarkedReader reader(text);
  for (std::string* path : {&paths->mobile, &paths->extraction, &paths->display}) {
    if (!reader.Next(kOpen, kClose, path)) path->clear();
  }
  std::string countText;
  reader.Next(kOpen, kClose, &countText);
  notes.storedCount = std::max<int32_t>(0, RoundedNumber(countText));
  int32_t count = notes.storedCount;
  if (count > index->capacity) {
    notes.overCapacity = true;
    count = index->capacity;
  }
  // Slots are added as records are read, never for the count the header
  // claims: a damaged or hostile header costs nothing.
  ClearRecords(*index);
  std::string position;
  for (int32_t n = 1; n <= count; ++n) {
    if (progress) progress(n, count);
    const std::size_t slot = RecordSlotFor(*index, n);
    index->count = n;
    const RecordRead read = reader.NextRecord(&index->lines[slot], &position);
    if (read != RecordRead::Read) {
      // A cut or damaged file: the records read so far are the index.
      (read == RecordRead::Missing ? notes.truncated : notes.damaged) = true;
      index->count = n - 1;
      break;
    }
    index->positions[slot] = RoundedNumber(position);
  }
  return notes;
}

}  // namespace tanavo
