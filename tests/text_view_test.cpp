#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "textview/text_view_model.h"

namespace tanavo {
namespace {

// あ is 0x82 0xA0, 日本 0x93 0xFA 0x96 0x7B in Shift_JIS.
const std::string kA = "\x82\xa0";

std::vector<std::string> LinesOf(const std::string& text) {
  LineIndex index;
  index.Build(ShownText(text));
  std::vector<std::string> out;
  for (std::size_t i = 0; i < index.LineCount(); ++i) out.emplace_back(index.Line(i));
  return out;
}

TEST(TextViewLines, BreakAtCrLfLfAndCrAloneUpToTheFirstNul) {
  struct Case {
    std::string text;
    std::vector<std::string> lines;
  } cases[] = {
      {"", {""}},
      {"a\r\nb", {"a", "b"}},
      {"a\nb\rc", {"a", "b", "c"}},
      {"a\r\n", {"a", ""}},
      {"a\r\r\nb", {"a", "", "b"}},
      {"\n\n", {"", "", ""}},
      {std::string("ab\0cd\r\nx", 8), {"ab"}},
      {"x" + kA + "\r\n" + kA, {"x" + kA, kA}},
      {"\x82\r\ny", {"\x82", "y"}},  // a lead byte before a break is a character of its own
  };
  for (const Case& c : cases) EXPECT_EQ(LinesOf(c.text), c.lines) << c.text;
}

TEST(TextViewLines, LineOfAnOffsetAndTheWidestLine) {
  LineIndex index;
  const std::string text = "ab\r\n\tc" + kA + "\ry";
  index.Build(text);
  EXPECT_EQ(index.LineOf(0), 0u);
  EXPECT_EQ(index.LineOf(3), 0u);  // between CR and LF
  EXPECT_EQ(index.LineOf(4), 1u);
  EXPECT_EQ(index.LineOf(text.size()), 2u);
  EXPECT_EQ(index.MaxColumns(), 11u);  // tab to 8, c, then あ two columns
}

TEST(TextViewColumns, TabsAndDoubleByteCharacters) {
  struct Case {
    std::string line;
    std::size_t offset;
    std::size_t column;
  } cases[] = {
      {"abc", 2, 2},
      {kA + "x", 2, 2},
      {kA + "x", 1, 0},  // inside あ: where it starts
      {"a\tb", 2, 8},
      {kA + "\tb", 3, 8},
      {"ab\x82", 3, 3},  // a lead byte at the line's end takes one column
  };
  for (const Case& c : cases) EXPECT_EQ(ColumnOf(c.line, c.offset), c.column) << c.line << " " << c.offset;
}

TEST(TextViewColumns, NearestBoundaryAndVisibleSlice) {
  const std::string line = "a" + kA + kA + "b";  // columns: a 0, あ 1-2, あ 3-4, b 5
  struct Case {
    std::size_t column;
    std::size_t offset;
  } near[] = {{0, 0}, {1, 1}, {2, 3}, {4, 5}, {5, 5}, {6, 6}, {99, 6}};
  for (const Case& c : near) EXPECT_EQ(OffsetNearColumn(line, c.column), c.offset) << c.column;

  // Scrolled to column 2, the first あ is cut by the edge: it is not drawn.
  LineSlice s = VisibleSlice(line, 2, 3);
  EXPECT_EQ(s.begin, 3u);
  EXPECT_EQ(s.column, 3u);
  EXPECT_EQ(s.end, 5u);  // b starts past the view
  s = VisibleSlice(line, 0, 2);
  EXPECT_EQ(line.substr(s.begin, s.end - s.begin), "a" + kA);
}

TEST(TextViewSelection, SetSelectionKeepsCharacterBoundaries) {
  const std::string text = "a" + kA + "\r\nb";  // a 0, あ 1-2, CR 3, LF 4, b 5
  struct Case {
    int64_t start, end;
    std::size_t anchor, caret;
  } cases[] = {
      {0, -1, 0, 6},  {2, 2, 1, 1},  {0, 4, 0, 3},  // inside あ, inside CR LF
      {5, 99, 5, 6},  {4, 1, 3, 1},  {99, 0, 6, 0},
  };
  for (const Case& c : cases) {
    TextViewModel m;
    m.SetText(text);
    m.SetSelection(c.start, c.end);
    EXPECT_EQ(m.Anchor(), c.anchor) << c.start << "," << c.end;
    EXPECT_EQ(m.Caret(), c.caret) << c.start << "," << c.end;
  }
  TextViewModel m;
  m.SetText(text);
  m.SetSelection(1, 3);
  m.SetSelection(-1, 0);  // drops the selection, keeps the caret
  EXPECT_EQ(m.Anchor(), 3u);
  EXPECT_EQ(m.Caret(), 3u);
}

TEST(TextViewSelection, KeysMoveByCharactersAndLines) {
  // Line 0: "a" あ "b"; line 1: あ あ; line 2: "x".
  const std::string text = "a" + kA + "b\r\n" + kA + kA + "\nx";
  struct Step {
    ViewKey key;
    bool shift, ctrl;
    std::size_t caret, anchor;
  } steps[] = {
      {ViewKey::Right, false, false, 1, 1}, {ViewKey::Right, false, false, 3, 3},  // over あ whole
      {ViewKey::Down, false, false, 10, 10},  // column 3 halves the second あ: after it
      {ViewKey::Left, true, false, 8, 10},    {ViewKey::Right, false, false, 10, 10},  // collapses to the end
      {ViewKey::Right, false, false, 11, 11}, {ViewKey::Right, false, false, 12, 12},  // past the LF
      {ViewKey::Up, false, false, 8, 8},      {ViewKey::Home, true, false, 6, 8},
      {ViewKey::End, false, true, 12, 12},   {ViewKey::Home, true, true, 0, 12},
      {ViewKey::Up, false, false, 0, 0},     {ViewKey::End, true, false, 4, 0},
  };
  TextViewModel m;
  m.SetText(text);
  int i = 0;
  for (const Step& s : steps) {
    m.Key(s.key, s.shift, s.ctrl);
    EXPECT_EQ(m.Caret(), s.caret) << "step " << i;
    EXPECT_EQ(m.Anchor(), s.anchor) << "step " << i;
    ++i;
  }
  EXPECT_EQ(m.SelectedBytes(), "a" + kA + "b");
}

TEST(TextViewSelection, MouseSelectsAndDoubleClickTakesTheWord) {
  const std::string text = "foo, bar_2 " + kA + kA + "x\r\nnext";
  struct Case {
    int64_t line, column;
    std::string word;
  } cases[] = {{0, 1, "foo"}, {0, 3, ","}, {0, 7, "bar_2"}, {0, 13, kA + kA + "x"}, {0, 4, " "}, {0, 40, ""}};
  for (const Case& c : cases) {
    TextViewModel m;
    m.SetText(text);
    m.SelectWordAt(c.line, c.column);
    EXPECT_EQ(m.SelectedBytes(), c.word) << c.column;
  }
  TextViewModel m;
  m.SetText(text);
  m.Press(0, 5, false);
  m.DragTo(1, 2);
  EXPECT_EQ(m.SelectedBytes(), "bar_2 " + kA + kA + "x\r\nne");
  m.Press(0, 12, true);  // Shift+click inside あ: the nearest boundary, anchor kept
  EXPECT_EQ(m.SelectedBytes(), "bar_2 " + kA);
}

TEST(TextViewSelection, CopyTakesTheShownBytesAsTheyAre) {
  TextViewModel m;
  const std::string text("a\nb\r\nc\rd\0hidden", 15);  // the view shows it in place: it must live on
  m.SetText(text);
  m.SelectAll();
  EXPECT_EQ(m.SelectedBytes(), "a\nb\r\nc\rd");
  m.Adopt("kept");
  EXPECT_EQ(m.Text(), "kept");
  EXPECT_EQ(m.SelectedBytes(), "");
}

TEST(TextViewScrolling, ClampsAndFollowsTheCaret) {
  std::string text;
  for (int i = 0; i < 100000; ++i) text += "line " + std::to_string(i) + "\r\n";
  TextViewModel m;
  m.SetText(text);
  m.SetPage(20, 5);
  EXPECT_EQ(m.Lines().LineCount(), 100001u);
  EXPECT_EQ(m.MaxTopLine(), 99981u);  // past 65535: the scroll bars need 32-bit positions
  m.ScrollToLine(-5);
  EXPECT_EQ(m.TopLine(), 0u);
  m.Key(ViewKey::End, false, true);
  EXPECT_EQ(m.TopLine(), 99981u);
  m.Key(ViewKey::PageUp, false, false);
  EXPECT_EQ(m.CaretLine(), 99980u);
  EXPECT_EQ(m.TopLine(), 99961u);
  m.Key(ViewKey::End, false, false);  // "line 99980" is 10 columns wide
  EXPECT_EQ(m.LeftColumn(), 6u);
  m.SetPage(20, 40);  // a wider view scrolls back what it can show
  EXPECT_EQ(m.LeftColumn(), 0u);
}

}  // namespace
}  // namespace tanavo
