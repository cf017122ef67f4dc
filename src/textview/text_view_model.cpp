#include "textview/text_view_model.h"

#include <algorithm>

#include "text/bytes.h"

namespace tanavo {

CharClass ClassOf(std::string_view line, std::size_t i) {
  const auto b = static_cast<unsigned char>(line[i]);
  if (b <= 0x20 || b == 0x7F) return CharClass::Space;
  if (b == 0x81 && i + 1 < line.size() && static_cast<unsigned char>(line[i + 1]) == 0x40) {
    return CharClass::Space;  // the full-width space
  }
  if (b >= 0x80 || (b >= '0' && b <= '9') || (b >= 'A' && b <= 'Z') || (b >= 'a' && b <= 'z') || b == '_') {
    return CharClass::Word;
  }
  return CharClass::Punctuation;
}

void TextViewModel::SetText(std::string_view text) {
  std::string().swap(owned_);
  lines_.Build(ShownText(text));
  Reset();
}

void TextViewModel::Adopt(std::string text) {
  owned_ = std::move(text);
  lines_.Build(ShownText(owned_));
  Reset();
}

void TextViewModel::Reset() { top_ = left_ = caret_ = anchor_ = 0; }

void TextViewModel::SetPage(std::size_t lines, std::size_t columns) {
  pageLines_ = std::max<std::size_t>(lines, 1);
  pageColumns_ = std::max<std::size_t>(columns, 1);
  ScrollToLine(static_cast<int64_t>(top_));
  ScrollToColumn(static_cast<int64_t>(left_));
}

std::size_t TextViewModel::MaxTopLine() const {
  const std::size_t n = lines_.LineCount();
  return n > pageLines_ ? n - pageLines_ : 0;
}

std::size_t TextViewModel::MaxLeftColumn() const {
  const std::size_t w = lines_.MaxColumns() + 1;  // room for the caret after the widest line
  return w > pageColumns_ ? w - pageColumns_ : 0;
}

void TextViewModel::ScrollToLine(int64_t line) {
  top_ = static_cast<std::size_t>(std::clamp<int64_t>(line, 0, static_cast<int64_t>(MaxTopLine())));
}

void TextViewModel::ScrollToColumn(int64_t column) {
  left_ = static_cast<std::size_t>(std::clamp<int64_t>(column, 0, static_cast<int64_t>(MaxLeftColumn())));
}

std::string_view TextViewModel::SelectedBytes() const {
  return Text().substr(SelectionStart(), SelectionEnd() - SelectionStart());
}

namespace {

// An offset moved onto a character boundary of its line; an offset inside a
// CR LF goes before it.
std::size_t OnBoundary(const LineIndex& lines, std::size_t offset) {
  offset = std::min(offset, lines.Text().size());
  const std::size_t line = lines.LineOf(offset);
  const std::size_t start = lines.LineStart(line);
  const std::size_t end = lines.LineEnd(line);
  if (offset >= end) return end;
  return start + CharStartAtOrBefore(lines.Line(line), offset - start);
}

}  // namespace

void TextViewModel::SetSelection(int64_t start, int64_t end) {
  if (start < 0) {
    anchor_ = caret_;
    return;
  }
  const auto size = static_cast<int64_t>(Text().size());
  if (end < 0 || end > size) end = size;
  anchor_ = OnBoundary(lines_, static_cast<std::size_t>(std::min(start, size)));
  caret_ = OnBoundary(lines_, static_cast<std::size_t>(end));
}

void TextViewModel::SelectAll() {
  anchor_ = 0;
  caret_ = Text().size();
}

std::size_t TextViewModel::CaretColumn() const {
  const std::size_t line = CaretLine();
  return ColumnOf(lines_.Line(line), caret_ - lines_.LineStart(line));
}

std::size_t TextViewModel::OffsetAt(int64_t line, int64_t column) const {
  const auto last = static_cast<int64_t>(lines_.LineCount()) - 1;
  const auto l = static_cast<std::size_t>(std::clamp<int64_t>(line, 0, last));
  return lines_.LineStart(l) + OffsetNearColumn(lines_.Line(l), static_cast<std::size_t>(std::max<int64_t>(column, 0)));
}

void TextViewModel::MoveCaret(std::size_t offset, bool extend) {
  caret_ = offset;
  if (!extend) anchor_ = offset;
}

void TextViewModel::Key(ViewKey key, bool shift, bool ctrl) {
  const std::size_t line = CaretLine();
  const std::size_t start = lines_.LineStart(line);
  const std::string_view text = lines_.Line(line);
  const bool selected = caret_ != anchor_;
  std::size_t to = caret_;
  switch (key) {
    case ViewKey::Left:
      if (selected && !shift) {
        to = SelectionStart();
      } else if (caret_ > start) {
        to = start + CharStartAtOrBefore(text, caret_ - start - 1);
      } else if (line > 0) {
        to = lines_.LineEnd(line - 1);
      }
      break;
    case ViewKey::Right:
      if (selected && !shift) {
        to = SelectionEnd();
      } else if (caret_ < start + text.size()) {
        to = caret_ + CharBytes(text, caret_ - start);
      } else if (line + 1 < lines_.LineCount()) {
        to = lines_.LineStart(line + 1);
      }
      break;
    case ViewKey::Up:
    case ViewKey::Down:
    case ViewKey::PageUp:
    case ViewKey::PageDown: {
      const bool page = key == ViewKey::PageUp || key == ViewKey::PageDown;
      const int64_t step = page ? static_cast<int64_t>(pageLines_) : 1;
      const int64_t delta = (key == ViewKey::Up || key == ViewKey::PageUp) ? -step : step;
      const int64_t target = static_cast<int64_t>(line) + delta;
      to = OffsetAt(target, static_cast<int64_t>(CaretColumn()));
      if (page) ScrollToLine(static_cast<int64_t>(top_) + delta);
      break;
    }
    case ViewKey::Home: to = ctrl ? 0 : start; break;
    case ViewKey::End: to = ctrl ? Text().size() : start + text.size(); break;
  }
  MoveCaret(to, shift);
  ScrollCaretIntoView();
}

void TextViewModel::Press(int64_t line, int64_t column, bool shift) { MoveCaret(OffsetAt(line, column), shift); }

void TextViewModel::DragTo(int64_t line, int64_t column) { MoveCaret(OffsetAt(line, column), true); }

void TextViewModel::SelectWordAt(int64_t line, int64_t column) {
  const auto last = static_cast<int64_t>(lines_.LineCount()) - 1;
  const auto l = static_cast<std::size_t>(std::clamp<int64_t>(line, 0, last));
  const std::string_view text = lines_.Line(l);
  const auto col = static_cast<std::size_t>(std::max<int64_t>(column, 0));
  // The character under the column, then the run of its class around it.
  std::size_t j = 0, c = 0, runStart = 0;
  CharClass run = CharClass::Space;
  while (j < text.size()) {
    const CharClass k = ClassOf(text, j);
    if (j == 0 || k != run) {
      run = k;
      runStart = j;
    }
    const std::size_t w = CharColumns(text, j, c);
    if (col < c + w) break;
    c += w;
    j += CharBytes(text, j);
  }
  const std::size_t base = lines_.LineStart(l);
  if (j >= text.size()) {
    MoveCaret(base + text.size(), false);
    return;
  }
  std::size_t end = j;
  while (end < text.size() && ClassOf(text, end) == run) end += CharBytes(text, end);
  anchor_ = base + runStart;
  caret_ = base + end;
}

void TextViewModel::ScrollCaretIntoView() {
  const std::size_t line = CaretLine();
  if (line < top_) ScrollToLine(static_cast<int64_t>(line));
  if (line >= top_ + pageLines_) ScrollToLine(static_cast<int64_t>(line - pageLines_ + 1));
  const std::size_t col = CaretColumn();
  if (col < left_) ScrollToColumn(static_cast<int64_t>(col));
  if (col >= left_ + pageColumns_) ScrollToColumn(static_cast<int64_t>(col - pageColumns_ + 1));
}

}  // namespace tanavo
