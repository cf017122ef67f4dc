#include <gtest/gtest.h>

#include <string>

#include "app/main_window.h"
#include "app/menus.h"
#include "codec/codec.h"
#include "app/conversion_window.h"
#include "test_support.h"

namespace tanavo {
namespace {

struct ConversionWindowTest : ::testing::Test {
  MemoryWindow& Tool() { return fake.Win(kConversionWindowClass); }
  MemoryWindow& Main() { return fake.Win(kMainWindowClass); }
  // The menu command, routed by the main window.
  void Open() { fake.app.mainWindow->OnCommand(kCmdConversionTool, kNotifyClick); }
  std::string Convert(const std::string& source, int button) {
    Tool().Type(kConvSourceEdit, source);
    Tool().Click(button);
    return Tool().Text(kConvResultEdit);
  }
  FakeApp fake;
};

TEST_F(ConversionWindowTest, CreatedHiddenWithItsControls) {
  MemoryWindow& w = Tool();
  EXPECT_FALSE(w.IsVisible());
  EXPECT_STREQ(w.Declaration().title, "文字コード変換");
  EXPECT_EQ(w.Declaration().width, 450);
  EXPECT_EQ(w.Declaration().height, 360);
  EXPECT_EQ(w.Declaration().frame, FrameKind::CaptionOnly);
  EXPECT_EQ(w.Declaration().fontIndex, 4);
  EXPECT_EQ(w.ControlIds().size(), 11u);

  const MemoryControl& source = w.Control(kConvSourceEdit);
  EXPECT_EQ(source.decl.kind, ControlKind::Edit);
  EXPECT_EQ(source.decl.style, unsigned{kClientEdge | kVScroll | kMultiLine | kWantReturn});
  EXPECT_EQ(source.rect.left, 18);
  EXPECT_EQ(source.rect.bottom, 134);
  const MemoryControl& result = w.Control(kConvResultEdit);
  EXPECT_EQ(result.decl.style,
            unsigned{kReadOnly | kClientEdge | kVScroll | kMultiLine | kAutoVScroll | kWantReturn});
  EXPECT_EQ(result.rect.top, 183);

  EXPECT_EQ(w.Text(kConvMoveUpButton), "↑　移動　↑");
  EXPECT_EQ(w.Text(kConvHexDumpButton), "１６進");
  EXPECT_EQ(w.Text(kConvCloseButton), "終了");
  EXPECT_EQ(w.Control(kConvQuotedPrintableButton).rect.top, 296);
  EXPECT_EQ(w.Control(kConvClearButton).decl.kind, ControlKind::DefPushButton);
  EXPECT_EQ(w.Text(kConvSourceLabel), "変換元");
  EXPECT_EQ(w.Text(kConvResultLabel), "変換結果");
}

TEST_F(ConversionWindowTest, OpensBesideTheMainWindowWithTheFocus) {
  Main().SetPlacement(Rect{100, 50, 916, 691});
  Open();
  EXPECT_TRUE(Tool().IsVisible());
  EXPECT_TRUE(Tool().WindowHasFocus());
  Rect r = Tool().Placement();
  EXPECT_EQ(r.left, 916 - 300);
  EXPECT_EQ(r.top, 50 + 200);
  EXPECT_EQ(r.Width(), 450);
  EXPECT_EQ(r.Height(), 360);

  // Moved by the user, closed, opened again: back beside the main window.
  Tool().SetPlacement(Rect{5, 5, 455, 365});
  Tool().Click(kConvCloseButton);
  EXPECT_FALSE(Tool().IsVisible());
  Main().SetPlacement(Rect{0, 0, 800, 600});
  Open();
  r = Tool().Placement();
  EXPECT_EQ(r.left, 500);
  EXPECT_EQ(r.top, 200);
  EXPECT_EQ(r.Width(), 450);
}

TEST_F(ConversionWindowTest, EachButtonConvertsTheSource) {
  Open();
  EXPECT_EQ(Convert("QUJD\r\nREVG\r\n", kConvBase64Button), "ABCDEF");  // line breaks skipped
  EXPECT_EQ(Convert("a=3Db=\r\nc", kConvQuotedPrintableButton), "a=bc");
  EXPECT_EQ(Convert("\x1b$BF|K\\\x1b(B!", kConvShiftJisButton), "日本!");
  EXPECT_EQ(Convert("ab\r\ncd", kConvHexDumpButton), "61 62 0D 0A \r\n63 64 ");
  // The source stays as it was.
  EXPECT_EQ(Tool().Text(kConvSourceEdit), "ab\r\ncd");
}

TEST_F(ConversionWindowTest, ResultEndsAtTheFirstZeroByte) {
  Open();
  // "QQBC" decodes to 41 00 42.
  EXPECT_EQ(Convert("QQBC", kConvBase64Button), "A");
  EXPECT_EQ(Convert("x=00y", kConvQuotedPrintableButton), "x");
}

TEST_F(ConversionWindowTest, MoveUpClearAndClose) {
  Open();
  Convert("\x1b$B0!\x1b(B", kConvShiftJisButton);
  Tool().Click(kConvMoveUpButton);
  EXPECT_EQ(Tool().Text(kConvSourceEdit), "亜");
  EXPECT_EQ(Tool().Text(kConvResultEdit), "亜");
  Tool().Click(kConvHexDumpButton);
  EXPECT_EQ(Tool().Text(kConvResultEdit), "88 9F ");

  Tool().Click(kConvClearButton);
  EXPECT_EQ(Tool().Text(kConvSourceEdit), "");
  EXPECT_EQ(Tool().Text(kConvResultEdit), "88 9F ");

  // Closing keeps both texts for the next opening, by the button or a close request.
  Tool().Type(kConvSourceEdit, "QUJD");
  Tool().Click(kConvCloseButton);
  Open();
  EXPECT_EQ(Tool().Text(kConvSourceEdit), "QUJD");
  EXPECT_EQ(Tool().Text(kConvResultEdit), "88 9F ");
  EXPECT_FALSE(Tool().RequestClose());
  EXPECT_FALSE(Tool().IsVisible());
  Open();
  EXPECT_TRUE(Tool().IsVisible());
  EXPECT_EQ(Tool().Text(kConvSourceEdit), "QUJD");
}

TEST_F(ConversionWindowTest, OnlyClicksRunActions) {
  Open();
  Tool().Type(kConvSourceEdit, "QUJD");
  fake.app.conversionWindow->OnCommand(kConvBase64Button, kNotifySelChange);
  fake.app.conversionWindow->OnCommand(kConvClearButton, kNotifySetFocus);
  EXPECT_EQ(Tool().Text(kConvResultEdit), "");
  EXPECT_EQ(Tool().Text(kConvSourceEdit), "QUJD");
  fake.app.conversionWindow->OnCommand(kConvSourceEdit, kNotifyClick);  // not a button
  EXPECT_EQ(Tool().Text(kConvResultEdit), "");
}

}  // namespace
}  // namespace tanavo
