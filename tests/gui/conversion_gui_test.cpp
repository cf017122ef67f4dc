// The real conversion tool: its buttons on real edit controls.
#include <gtest/gtest.h>

#include "app/conversion_window.h"
#include "gui_support.h"

namespace tanavo {
namespace gui {
namespace {

const char* const kTool = kConversionWindowClass;

void SetSource(GuiApp& g, const std::string& text) {
  SetWindowTextA(g.ControlOf(kTool, kConvSourceEdit), text.c_str());
}

std::string Source(GuiApp& g) { return WindowText(g.ControlOf(kTool, kConvSourceEdit)); }
std::string Result(GuiApp& g) { return WindowText(g.ControlOf(kTool, kConvResultEdit)); }

TEST(GuiConversionTool, OpensBesideTheMainWindowAndConverts) {
  GuiApp g;
  g.Command(1055);
  HWND tool = g.WindowOfClass(kTool);
  ASSERT_TRUE(IsWindowVisible(tool));
  WINDOWPLACEMENT mp{}, tp{};
  mp.length = sizeof mp;
  tp.length = sizeof tp;
  GetWindowPlacement(g.Main(), &mp);
  GetWindowPlacement(tool, &tp);
  EXPECT_EQ(tp.rcNormalPosition.left, mp.rcNormalPosition.right - 300);
  EXPECT_EQ(tp.rcNormalPosition.top, mp.rcNormalPosition.top + 200);
  EXPECT_EQ(tp.rcNormalPosition.right - tp.rcNormalPosition.left, 450);

  // Base64 pasted with its line breaks decodes as one piece.
  SetSource(g, "5pel5pys6Kqe\r\nQUJD");
  g.Click(kTool, kConvBase64Button);
  EXPECT_EQ(Result(g), "\xE6\x97\xA5\xE6\x9C\xAC\xE8\xAA\x9E" "ABC");

  SetSource(g, "a=3Db=\r\nc");
  g.Click(kTool, kConvQuotedPrintableButton);
  EXPECT_EQ(Result(g), "a=bc");

  SetSource(g, "\x1b$B\x46\x7C\x4B\x5C\x1b(B!");
  g.Click(kTool, kConvShiftJisButton);
  EXPECT_EQ(Result(g), "日本!");

  // Move the converted text up, then dump it: the Shift_JIS bytes.
  g.Click(kTool, kConvMoveUpButton);
  EXPECT_EQ(Source(g), "日本!");
  g.Click(kTool, kConvHexDumpButton);
  EXPECT_EQ(Result(g), "93 FA 96 7B 21 ");

  SetSource(g, "A\r\nB");
  g.Click(kTool, kConvHexDumpButton);
  EXPECT_EQ(Result(g), "41 0D 0A \r\n42 ");
  Checkpoint("conversion-tool");

  g.Click(kTool, kConvClearButton);
  EXPECT_EQ(Source(g), "");
  EXPECT_EQ(Result(g), "41 0D 0A \r\n42 ");

  // Closing hides it and keeps the result for the next opening.
  g.Click(kTool, kConvCloseButton);
  EXPECT_FALSE(IsWindowVisible(tool));
  SetWindowPos(tool, nullptr, 5, 5, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
  g.Command(1055);
  GetWindowPlacement(tool, &tp);
  EXPECT_EQ(tp.rcNormalPosition.left, mp.rcNormalPosition.right - 300);
  EXPECT_EQ(Result(g), "41 0D 0A \r\n42 ");
}

}  // namespace
}  // namespace gui
}  // namespace tanavo
