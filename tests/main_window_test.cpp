// The main window on the fake back end: start-up, status bar parts, the menu
// model, mobile file loading, the memo, the manual and the version box.
#include <gtest/gtest.h>

#include <algorithm>

#include "app/main_window.h"
#include "app/memo.h"
#include "app/menus.h"
#include "files/mobile_file.h"
#include "app/conversion_window.h"
#include "test_support.h"

namespace tanavo {
namespace {

TEST(StatusPartEdges, QuarterOfTheWidthPastTwoHundred) {
  int e[kStatusParts];
  StatusPartEdges(800, e);
  EXPECT_EQ(std::vector<int>(e, e + 6), (std::vector<int>{100, 200, 350, 500, 650, 800}));
  StatusPartEdges(203, e);  // q = 0: three parts collapse onto 200
  EXPECT_EQ(std::vector<int>(e, e + 6), (std::vector<int>{100, 200, 200, 200, 200, 203}));
  StatusPartEdges(150, e);  // below 200 the edges fall, truncated toward zero; six parts all the same
  EXPECT_EQ(std::vector<int>(e, e + 6), (std::vector<int>{100, 200, 188, 176, 164, 150}));
  StatusPartEdges(0, e);
  EXPECT_EQ(e[2], 150);
  EXPECT_EQ(e[5], 0);
}

TEST(MenuBar, FiveMenusWithTheirCommandsInOrder) {
  const std::vector<MenuSpec>& bar = MenuBar();
  ASSERT_EQ(bar.size(), 5u);
  EXPECT_STREQ(bar[0].caption, "ファイル(&F)");
  EXPECT_STREQ(bar[1].caption, "表　　示(&S)");
  EXPECT_STREQ(bar[4].caption, "ヘルプ(&H)");
  std::vector<int> ids;
  int separators = 0;
  for (const MenuSpec& m : bar) {
    for (const MenuItemSpec& item : m.items) {
      if (item.caption) {
        ids.push_back(item.id);
      } else {
        ++separators;
      }
    }
  }
  std::vector<int> want;
  for (int id = 1047; id <= 1059; ++id) want.push_back(id);
  // The coverage window's command follows index creation.
  want.insert(std::find(want.begin(), want.end(), 1053), 1060);
  // The raw view's UTF-8 choice follows the data display.
  want.insert(std::find(want.begin(), want.end(), 1053) + 1, 1061);
  EXPECT_EQ(ids, want);  // every command once, in table order
  EXPECT_EQ(separators, 8);
  EXPECT_EQ(std::string(bar[0].items.back().caption), "終　了(&Q)");
  // Full-width spaces are the two bytes 0x81 0x40.
  EXPECT_EQ(std::string(bar[1].caption).substr(2, 4), "\x81\x40\x81\x40");
}

TEST(StartUp, AllWindowsExistHiddenAndTheMainOneHasTheFocus) {
  FakeApp f;
  const char* classes[] = {"NORMAL0", "NORMAL1", "NORMAL2", "NORMAL3", "NORMAL4",
                           "NORMAL5", "NORMAL6", "NORMAL7", "NORMAL8"};
  ASSERT_EQ(f.platform.Windows().size(), 9u);
  for (int i = 0; i < 9; ++i) {
    EXPECT_STREQ(f.platform.Windows()[i]->Declaration().className, classes[i]);  // creation order
    EXPECT_EQ(f.platform.Windows()[i]->IsVisible(), i == 0) << classes[i];
  }
  EXPECT_TRUE(f.Win(kMainWindowClass).WindowHasFocus());
  EXPECT_EQ(f.app.state.programFolder, "C:\\tanavo");
  EXPECT_GE(f.platform.statusPartsSet, 1);
  EXPECT_TRUE(f.app.state.mobileFile.empty());
  EXPECT_TRUE(f.platform.boxes.empty());
}

TEST(MainWindowLayout, RawTextViewFillsAllButTheStatusBar) {
  FakeApp f;
  MemoryWindow& w = f.Win(kMainWindowClass);
  w.Resize(600, 400);
  Rect r = w.ControlRect(kRawTextView);
  EXPECT_EQ(r.left, 0);
  EXPECT_EQ(r.top, 0);
  EXPECT_EQ(r.Width(), 600);
  EXPECT_EQ(r.Height(), 380);
  EXPECT_EQ(f.platform.statusEdges[2], 300);
  EXPECT_EQ(f.platform.statusEdges[5], 600);
}

TEST(ExitCommand, MenuExitDestroysTheMainWindowLikeItsCloseBox) {
  FakeApp f;
  f.Win(kMainWindowClass).MenuCommand(kCmdExit);
  EXPECT_TRUE(f.Win(kMainWindowClass).Destroyed());
  FakeApp g;
  EXPECT_TRUE(g.Win(kMainWindowClass).RequestClose());
  // Tool windows only hide on a close request.
  EXPECT_FALSE(g.Win(kConversionWindowClass).RequestClose());
  EXPECT_FALSE(g.Win(kConversionWindowClass).Destroyed());
}

TEST(OpenMobileFile, LoadsTheBytesAsReadAndShowsThem) {
  FakeApp f;
  std::string bytes("rec1\r\nテキスト\0rest\x1b$B", 23);
  f.platform.files["D:\\data\\dump.bin"] = bytes;
  f.platform.dialogAnswers.push_back(std::string("D:\\data\\dump.bin"));
  f.Win(kMainWindowClass).MenuCommand(kCmdOpenMobileFile);
  ASSERT_EQ(f.platform.dialogs.size(), 1u);
  EXPECT_FALSE(f.platform.dialogs[0].save);
  EXPECT_EQ(f.platform.dialogs[0].decl.title, "携帯ファイルを開く");
  ASSERT_EQ(f.platform.dialogs[0].decl.filters.size(), 1u);
  EXPECT_EQ(f.platform.dialogs[0].decl.filters[0].pattern, "*");
  EXPECT_EQ(f.app.state.mobileFile, bytes);  // whole, NUL bytes included
  EXPECT_EQ(f.app.state.mobileFilePath.folder, "D:\\data");
  EXPECT_EQ(f.platform.status[2], "携帯: dump.bin");
  MemoryWindow& w = f.Win(kMainWindowClass);
  EXPECT_EQ(w.Text(kRawTextView), "rec1\r\nテキスト");  // the view stops at the first NUL
  EXPECT_EQ(w.TextLimit(kRawTextView), bytes.size() + 1000);
  EXPECT_TRUE(w.HasFocus(kRawTextView));
  EXPECT_TRUE(f.platform.boxes.empty());
}

TEST(OpenMobileFile, CancelAndFailureChangeNothing) {
  FakeApp f;
  f.platform.files["D:\\a.dat"] = "first";
  f.platform.dialogAnswers.push_back(std::string("D:\\a.dat"));
  f.Win(kMainWindowClass).MenuCommand(kCmdOpenMobileFile);
  f.platform.dialogAnswers.push_back(std::nullopt);  // cancelled
  f.Win(kMainWindowClass).MenuCommand(kCmdOpenMobileFile);
  EXPECT_TRUE(f.platform.boxes.empty());
  f.platform.dialogAnswers.push_back(std::string("D:\\missing.dat"));
  f.Win(kMainWindowClass).MenuCommand(kCmdOpenMobileFile);
  ASSERT_EQ(f.platform.boxes.size(), 1u);
  EXPECT_EQ(f.platform.boxes[0].text, "ファイルオープンに失敗");
  EXPECT_EQ(f.platform.boxes[0].caption, "TextEditor");
  EXPECT_EQ(f.platform.boxes[0].icon, BoxIcon::Warning);
  EXPECT_EQ(f.platform.boxes[0].owner, BoxOwner::Main);
  EXPECT_EQ(f.app.state.mobileFile, "first");
  EXPECT_EQ(f.app.state.mobileFilePath.baseName, "a");
  EXPECT_EQ(f.platform.status[2], "携帯: a.dat");
  EXPECT_EQ(f.Win(kMainWindowClass).Text(kRawTextView), "first");
}

TEST(OpenMobileFile, TooLargeIsRefusedAndEmptyLoadsSilently) {
  FakeApp f;
  f.platform.files["D:\\a.dat"] = "kept";
  f.platform.dialogAnswers.push_back(std::string("D:\\a.dat"));
  f.Win(kMainWindowClass).MenuCommand(kCmdOpenMobileFile);
  f.platform.tooLarge.insert("D:\\huge.dat");
  EXPECT_FALSE(LoadMobileFile(f.app, "D:\\huge.dat"));
  ASSERT_EQ(f.platform.boxes.size(), 1u);
  EXPECT_EQ(f.platform.boxes[0].caption, "TextEditor");
  EXPECT_EQ(f.app.state.mobileFile, "kept");
  EXPECT_EQ(f.platform.status[2], "携帯: a.dat");

  f.platform.files["D:\\data\\dump"] = "";
  EXPECT_TRUE(LoadMobileFile(f.app, "D:\\data\\dump"));
  EXPECT_EQ(f.platform.status[2], "携帯: dump.");
  EXPECT_TRUE(f.app.state.mobileFile.empty());
  EXPECT_EQ(f.platform.boxes.size(), 1u);
}

TEST(OpenMobileFile, ReturnsTheStackToLevelZero) {
  FakeApp f;
  f.platform.files["D:\\a.dat"] = "abc";
  ASSERT_TRUE(LoadMobileFile(f.app, "D:\\a.dat"));
  ASSERT_TRUE(f.app.stack.Push(0));
  f.app.stack.SetTopText("x");
  f.platform.files["D:\\b.dat"] = "second file";
  ASSERT_TRUE(LoadMobileFile(f.app, "D:\\b.dat"));
  EXPECT_EQ(f.app.stack.Depth(), 0);
  EXPECT_EQ(f.app.stack.TopText(), "second file");  // level 0 is the file itself
}

TEST(AnalysisMemo, CreatedOnceThenOnlyOpenedAndOnePerExtension) {
  FakeApp f;
  f.Win(kMainWindowClass).MenuCommand(kCmdAnalysisMemo);
  ASSERT_EQ(f.platform.shellOpened.size(), 1u);
  EXPECT_EQ(f.platform.shellOpened[0], "C:\\tanavo\\分析メモ.txt");
  f.platform.files["C:\\tanavo\\分析メモ.txt"] = "notes of the examiner";
  f.Win(kMainWindowClass).MenuCommand(kCmdAnalysisMemo);
  EXPECT_EQ(f.platform.files["C:\\tanavo\\分析メモ.txt"], "notes of the examiner");
  EXPECT_EQ(f.platform.shellOpened.size(), 2u);

  f.platform.files["D:\\phone.dat"] = "x";
  ASSERT_TRUE(LoadMobileFile(f.app, "D:\\phone.dat"));
  f.Win(kMainWindowClass).MenuCommand(kCmdAnalysisMemo);
  EXPECT_EQ(f.platform.shellOpened.back(), "C:\\tanavo\\分析メモdat.txt");
  EXPECT_TRUE(f.platform.files.count("C:\\tanavo\\分析メモdat.txt"));
}

TEST(AnalysisMemo, CreationFailureShowsTheBoxAndOpensNothing) {
  FakeApp f;
  f.platform.unwritable.insert("C:\\tanavo\\分析メモ.txt");
  f.Win(kMainWindowClass).MenuCommand(kCmdAnalysisMemo);
  ASSERT_EQ(f.platform.boxes.size(), 1u);
  EXPECT_EQ(f.platform.boxes[0].caption, "インデックス保存");
  EXPECT_TRUE(f.platform.shellOpened.empty());
}

TEST(ManualAndVersion, FixedPathAndFixedText) {
  FakePlatform p;
  p.currentDirectory = "E:\\work";
  App app(p);
  app.Start();
  p.WindowOf(kMainWindowClass)->MenuCommand(kCmdUserManual);
  ASSERT_EQ(p.shellOpened.size(), 1u);
  EXPECT_EQ(p.shellOpened[0], "E:\\work\\使用説明書.pdf");
  p.WindowOf(kMainWindowClass)->MenuCommand(kCmdVersion);
  ASSERT_EQ(p.boxes.size(), 1u);
  EXPECT_EQ(p.boxes[0].owner, BoxOwner::None);
  EXPECT_EQ(p.boxes[0].caption, "ﾊﾞｰｼﾞｮﾝ情報");
  EXPECT_EQ(p.boxes[0].text, "  Tanavo   \r\n     Ver1.00\r\n\r\n  2006/02/01");
}

}  // namespace
}  // namespace tanavo
