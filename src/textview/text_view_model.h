// What a read-only text view does with its text, apart from drawing it:
// scrolling, the caret and the selection, the keys and mouse actions a user
// has from the edit control, and the bytes a copy takes. The Win32 control
// paints the lines this says are in view and routes its input here.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "textview/line_index.h"

namespace tanavo {

enum class ViewKey { Left, Right, Up, Down, PageUp, PageDown, Home, End };

class TextViewModel {
 public:
  // Shows text up to its first 0x00 byte, without copying it: the bytes must
  // stay alive and unchanged until the next SetText or Adopt.
  void SetText(std::string_view text);
  // Shows a text the view keeps itself (the edit control's WM_SETTEXT).
  void Adopt(std::string text);

  const LineIndex& Lines() const { return lines_; }
  std::string_view Text() const { return lines_.Text(); }

  // Lines and columns that fit in the view (at least 1 each).
  void SetPage(std::size_t lines, std::size_t columns);
  std::size_t PageLines() const { return pageLines_; }
  std::size_t PageColumns() const { return pageColumns_; }

  std::size_t TopLine() const { return top_; }
  std::size_t LeftColumn() const { return left_; }
  std::size_t MaxTopLine() const;
  std::size_t MaxLeftColumn() const;
  void ScrollToLine(int64_t line);  // clamped
  void ScrollToColumn(int64_t column);

  // The selection: caret and anchor as byte offsets on character boundaries.
  std::size_t Caret() const { return caret_; }
  std::size_t Anchor() const { return anchor_; }
  std::size_t SelectionStart() const { return caret_ < anchor_ ? caret_ : anchor_; }
  std::size_t SelectionEnd() const { return caret_ < anchor_ ? anchor_ : caret_; }
  // The bytes a copy takes: the selected bytes as the text holds them.
  std::string_view SelectedBytes() const;

  // The edit control's EM_SETSEL: start -1 drops the selection, end -1 (or
  // beyond the text) is the text's end; both move to character boundaries;
  // the caret goes to end.
  void SetSelection(int64_t start, int64_t end);
  void SelectAll();
  // Keys move the caret (Shift keeps the anchor, so they select) and scroll
  // the caret into view; Ctrl with Home/End goes to the text's ends.
  void Key(ViewKey key, bool shift, bool ctrl);
  // Mouse, in text coordinates (line, column): a press puts the caret (Shift
  // extends the selection), a drag extends it, a double click takes the word.
  void Press(int64_t line, int64_t column, bool shift);
  void DragTo(int64_t line, int64_t column);
  void SelectWordAt(int64_t line, int64_t column);

  void ScrollCaretIntoView();
  std::size_t CaretLine() const { return lines_.LineOf(caret_); }
  std::size_t CaretColumn() const;

 private:
  void Reset();
  std::size_t OffsetAt(int64_t line, int64_t column) const;
  void MoveCaret(std::size_t offset, bool extend);

  std::string owned_;
  LineIndex lines_;
  std::size_t pageLines_ = 1;
  std::size_t pageColumns_ = 1;
  std::size_t top_ = 0;
  std::size_t left_ = 0;
  std::size_t caret_ = 0;
  std::size_t anchor_ = 0;
};

// What a character is for word selection: runs of one class make a word.
enum class CharClass { Space, Punctuation, Word };
CharClass ClassOf(std::string_view line, std::size_t i);

}  // namespace tanavo
