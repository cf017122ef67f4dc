#include "textview/line_index.h"

#include <algorithm>

#include "text/bytes.h"

namespace tanavo {

std::string_view ShownText(std::string_view text) { return text.substr(0, text.find('\0')); }

void LineIndex::Build(std::string_view shown) {
  text_ = shown;
  std::vector<uint32_t>(1, 0).swap(starts_);  // a short text gives back a long one's memory
  maxColumns_ = 0;
  const auto* p = reinterpret_cast<const unsigned char*>(shown.data());
  const std::size_t n = shown.size();
  std::size_t col = 0;
  for (std::size_t i = 0; i < n;) {
    const unsigned char b = p[i];
    if (b == '\r' || b == '\n') {
      maxColumns_ = std::max(maxColumns_, col);
      col = 0;
      i += (b == '\r' && i + 1 < n && p[i + 1] == '\n') ? 2 : 1;
      starts_.push_back(static_cast<uint32_t>(i));
    } else if (b == '\t') {
      col = (col / kTabColumns + 1) * kTabColumns;
      ++i;
    } else if (IsShiftJisLead(b) && i + 1 < n && p[i + 1] != '\r' && p[i + 1] != '\n') {
      col += 2;
      i += 2;
    } else {
      ++col;
      ++i;
    }
  }
  maxColumns_ = std::max(maxColumns_, col);
}

std::size_t LineIndex::LineEnd(std::size_t line) const {
  const std::size_t start = starts_[line];
  if (line + 1 >= starts_.size()) return text_.size();
  std::size_t next = starts_[line + 1];
  if (next >= start + 2 && text_[next - 1] == '\n' && text_[next - 2] == '\r') return next - 2;
  return next - 1;
}

std::string_view LineIndex::Line(std::size_t line) const {
  const std::size_t start = starts_[line];
  return text_.substr(start, LineEnd(line) - start);
}

std::size_t LineIndex::LineOf(std::size_t offset) const {
  auto it = std::upper_bound(starts_.begin(), starts_.end(), offset);
  return static_cast<std::size_t>(it - starts_.begin()) - 1;
}

std::size_t CharBytes(std::string_view line, std::size_t i) {
  return IsShiftJisLead(static_cast<unsigned char>(line[i])) && i + 1 < line.size() ? 2 : 1;
}

std::size_t CharColumns(std::string_view line, std::size_t i, std::size_t col) {
  return line[i] == '\t' ? kTabColumns - col % kTabColumns : CharBytes(line, i);
}

std::size_t ColumnOf(std::string_view line, std::size_t i) {
  std::size_t col = 0;
  for (std::size_t j = 0; j < i && j < line.size();) {
    const std::size_t w = CharBytes(line, j);
    if (j + w > i) break;
    col += CharColumns(line, j, col);
    j += w;
  }
  return col;
}

std::size_t OffsetNearColumn(std::string_view line, std::size_t col) {
  std::size_t c = 0;
  for (std::size_t j = 0; j < line.size();) {
    const std::size_t w = CharColumns(line, j, c);
    const std::size_t bytes = CharBytes(line, j);
    if (col < c + w) return (col - c) * 2 < w ? j : j + bytes;
    c += w;
    j += bytes;
  }
  return line.size();
}

std::size_t CharStartAtOrBefore(std::string_view line, std::size_t i) {
  std::size_t j = 0;
  while (j < line.size()) {
    const std::size_t w = CharBytes(line, j);
    if (j + w > i) return j;
    j += w;
  }
  return std::min(i, line.size());
}

LineSlice VisibleSlice(std::string_view line, std::size_t left, std::size_t width) {
  LineSlice s;
  std::size_t c = 0;
  std::size_t j = 0;
  while (j < line.size() && c < left) {
    c += CharColumns(line, j, c);
    j += CharBytes(line, j);
  }
  s.begin = j;
  s.column = c;
  while (j < line.size() && c < left + width) {
    c += CharColumns(line, j, c);
    j += CharBytes(line, j);
  }
  s.end = j;
  return s;
}

}  // namespace tanavo
