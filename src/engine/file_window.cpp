#include "engine/file_window.h"

#include <algorithm>
#include <utility>

#include "text/bytes.h"

namespace tanavo {

FileWindow::FileWindow(FileReader& reader, std::size_t windowBytes, std::function<bool(std::string_view)> firstRead)
    : reader_(reader), windowBytes_(std::max<std::size_t>(windowBytes, 1)), firstRead_(std::move(firstRead)),
      size_(reader.Size()) {}

bool FileWindow::Deliver(std::uint64_t at, std::string_view bytes) {
  if (!firstRead_ || at + bytes.size() <= firstReadEnd_) return true;
  const std::size_t skip = static_cast<std::size_t>(firstReadEnd_ - at);
  firstReadEnd_ = at + bytes.size();
  return firstRead_(bytes.substr(skip));
}

bool FileWindow::ReadTo(std::uint64_t end) {
  end = std::min(end, size_);
  while (End() < end) {
    const std::uint64_t at = End();
    const std::size_t want = static_cast<std::size_t>(std::min<std::uint64_t>(end - at, windowBytes_));
    const std::size_t was = bytes_.size();
    if (!reader_.ReadAt(at, want, &bytes_) || bytes_.size() != was + want) return false;
    if (!Deliver(at, std::string_view(bytes_).substr(was))) return false;
  }
  return true;
}

bool FileWindow::Cover(std::uint64_t from, std::size_t length) {
  from = std::min(from, size_);
  const std::uint64_t end = std::min<std::uint64_t>(size_, from + std::max(length, windowBytes_));
  if (from < base_ || from > End()) {
    // Bytes skipped are still read once for firstRead, a window at a time.
    while (firstRead_ && firstReadEnd_ < from) {
      bytes_.clear();
      base_ = firstReadEnd_;
      if (!ReadTo(std::min(from, base_ + windowBytes_))) return false;
    }
    bytes_.clear();
    base_ = from;
  } else if (from + length > End() && from > base_) {
    // Let go of what lies before from only when reading more: one move per
    // window read, not one per call.
    bytes_.erase(0, static_cast<std::size_t>(from - base_));
    base_ = from;
  }
  if (from + length <= End() || AtEnd()) return true;
  return ReadTo(end);
}

bool FileWindow::ReadRest() {
  if (!firstRead_) return true;
  while (firstReadEnd_ < size_) {
    if (!Cover(firstReadEnd_, windowBytes_)) return false;
    if (!ReadTo(size_)) return false;
  }
  return true;
}

namespace {

// Whether the match found in the window is the one the whole file gives:
// it is unless the window ended before the search could.
bool SameInFile(const FileWindow& w, const TagDefinition& e, const TagMatch& m) {
  if (w.AtEnd()) return true;
  if (m.status != MatchStatus::Found) return false;  // the tag may lie further on
  const std::string_view endTag = e.rangeEndTag;
  if (endTag.empty() || (e.lineEnd.empty() && e.nextLineHead.empty())) return true;
  // With a continuation condition the last end tag taken is the first that
  // is no line break: another end tag after it shows that the search
  // stopped there by that condition, with the next-line head inside.
  const std::string_view view = w.View();
  const std::size_t after = static_cast<std::size_t>(m.end);
  return after + e.nextLineHead.size() <= view.size() && FindIn(view, endTag, after) != std::string_view::npos;
}

}  // namespace

bool FindRangeInFile(FileWindow& w, const TagDefinition& e, int64_t from, ExtractMode mode, TagMatch* match) {
  // The search looks back from an end tag by the line end's length at most:
  // the window starts that far before from.
  const std::uint64_t start = from > 1 ? static_cast<std::uint64_t>(from - 1) : 0;
  const std::uint64_t first = start - std::min<std::uint64_t>(start, std::string_view(e.lineEnd).size());
  std::size_t length = 0;
  for (;;) {
    if (!w.Cover(first, length)) return false;
    const std::uint64_t base = w.Base();
    TagMatch m = ExtractBetweenTags(w.View(), e.rangeStartTag, e.rangeEndTag, static_cast<int32_t>(from - static_cast<int64_t>(base)),
                                    e.lineEnd, e.nextLineHead, mode);
    if (SameInFile(w, e, m)) {
      if (m.status == MatchStatus::Found) {
        m.start += static_cast<int32_t>(base);
        m.end += static_cast<int32_t>(base);
      }
      *match = std::move(m);
      return true;
    }
    // Twice what was held, and at least a byte more: the search ends.
    const std::uint64_t held = w.End() - first;
    length = static_cast<std::size_t>(std::min<std::uint64_t>(std::max(2 * held, held + 1), w.FileBytes() - first));
  }
}

RecordBytes RecordBytesOf(const TagDefinition& e, int64_t from, const TagMatch& match, std::uint64_t fileBytes) {
  const std::uint64_t start = from > 1 ? static_cast<std::uint64_t>(from - 1) : 0;
  RecordBytes r;
  r.first = start - std::min<std::uint64_t>(start, std::string_view(e.lineEnd).size());
  r.end = std::min<std::uint64_t>(fileBytes, static_cast<std::uint64_t>(match.end) +
                                                 std::string_view(e.nextLineHead).size());
  return r;
}

}  // namespace tanavo
