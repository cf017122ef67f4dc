// The lines of a read-only text view: where each starts, where its bytes end
// before the line break, and how the columns of a fixed-pitch font fall on
// its bytes. Offsets are 0-based byte offsets into the shown text, as the
// edit control's messages count them.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>
#include <vector>

namespace tanavo {

constexpr std::size_t kTabColumns = 8;  // the edit control's tab stops

// A text up to its first 0x00 byte: what a view shows of it.
std::string_view ShownText(std::string_view text);

class LineIndex {
 public:
  // One pass over the text: CR LF, LF alone and CR alone each end a line.
  // The text is not copied; it must outlive the index.
  void Build(std::string_view shown);

  std::string_view Text() const { return text_; }
  std::size_t LineCount() const { return starts_.size(); }  // at least 1
  std::size_t LineStart(std::size_t line) const { return starts_[line]; }
  // End of the line's bytes, before its line break.
  std::size_t LineEnd(std::size_t line) const;
  std::string_view Line(std::size_t line) const;
  // The line holding offset (the last line for the text's end).
  std::size_t LineOf(std::size_t offset) const;
  // Columns of the widest line: the width to scroll.
  std::size_t MaxColumns() const { return maxColumns_; }

 private:
  std::string_view text_;
  // 32 bits each: a shown text is never longer than a mobile file may be.
  std::vector<uint32_t> starts_{0};
  std::size_t maxColumns_ = 0;
};

// Bytes of the character that starts at offset i of a line: 2 for a
// double-byte character whose trail byte is in the line, else 1.
std::size_t CharBytes(std::string_view line, std::size_t i);
// Column where the character at byte offset i of a line starts (tabs expanded).
std::size_t ColumnOf(std::string_view line, std::size_t i);
// Columns a character takes when it starts at column col.
std::size_t CharColumns(std::string_view line, std::size_t i, std::size_t col);
// The character boundary nearest to column col (a click, or a caret keeping
// its column on another line); the line's length past its end.
std::size_t OffsetNearColumn(std::string_view line, std::size_t col);
// The character boundary at or before offset i.
std::size_t CharStartAtOrBefore(std::string_view line, std::size_t i);

// The part of a line to draw with its first column at left: the bytes of the
// characters that start at or after left and at most width columns further,
// and the column where the first of them starts. A double-byte character cut
// by the left edge is left out, never drawn by halves.
struct LineSlice {
  std::size_t begin = 0;
  std::size_t end = 0;
  std::size_t column = 0;
};
LineSlice VisibleSlice(std::string_view line, std::size_t left, std::size_t width);

}  // namespace tanavo
