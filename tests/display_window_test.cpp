#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/display_window.h"
#include "app/name_list_window.h"
#include "test_support.h"

namespace tanavo {
namespace {

struct DisplayApp : FakeApp {
  MemoryWindow& Editor() { return Win(kDisplayWindowClass); }
  MemoryWindow& Names() { return Win(kNameListWindowClass); }
  void Entry(int i, const char* kind, const char* name) {
    app.extraction.entries[i].kind = kind;
    app.extraction.entries[i].name = name;
  }
};

void ExpectRect(const MemoryWindow& w, int id, int x, int y, int width, int height) {
  Rect r = w.ControlRect(id);
  EXPECT_EQ(r.left, x) << "control " << id;
  EXPECT_EQ(r.top, y) << "control " << id;
  EXPECT_EQ(r.Width(), width) << "control " << id;
  EXPECT_EQ(r.Height(), height) << "control " << id;
}

TEST(DisplayWindow, IsCreatedHiddenInDataDisplayModeWithEmptyTexts) {
  DisplayApp f;
  MemoryWindow& w = f.Editor();
  EXPECT_FALSE(w.IsVisible());
  EXPECT_EQ(w.Declaration().fontIndex, 5);
  EXPECT_EQ(w.Declaration().frame, FrameKind::CaptionSizing);
  EXPECT_EQ(std::string(w.Declaration().title), "データ表示");
  // The nine controls of both modes, then the case's in the data display,
  // created hidden.
  EXPECT_EQ(w.ControlIds(), (std::vector<int>{1003, 1000, 1014, 1046, 1001, 1002, 1012, 1004, 1005, 1100, 1101, 1102,
                                              1103, 1104, 1105, 1106, 1107, 1108}));
  for (int id = 1100; id <= 1108; ++id) EXPECT_FALSE(w.IsShown(id)) << id;
  EXPECT_EQ(w.Text(kDispClose), "終　了");
  EXPECT_EQ(w.Control(kDispClose).decl.kind, ControlKind::DefPushButton);
  EXPECT_EQ(w.Text(kDispAttachmentLabel), "****件終了");
  EXPECT_TRUE(w.Control(kDispLayoutEdit).decl.style & kWantReturn);
  EXPECT_TRUE(w.Control(kDispAttachmentList).decl.style & kNotify);
  EXPECT_EQ(f.app.display.mode.Text(), "DISP");
  EXPECT_EQ(f.app.display.listLineTemplate, "");
  EXPECT_EQ(f.app.display.layoutText, "");
  EXPECT_FALSE(w.WindowHasFocus());  // the main window keeps the focus

  MemoryWindow& n = f.Names();
  EXPECT_FALSE(n.IsVisible());
  EXPECT_EQ(n.Declaration().fontIndex, 6);
  EXPECT_TRUE(n.Declaration().exStyle & kExTopmost);
  EXPECT_EQ(n.ControlIds(), std::vector<int>{kNameListEdit});
  EXPECT_TRUE(n.Control(kNameListEdit).decl.style & kReadOnly);
}

TEST(DisplayWindow, EditorShowsTheSettingsWithItsControlsAndLimits) {
  DisplayApp f;
  f.app.display.listLineTemplate = "??From??";
  f.app.display.layoutText = "From: ??From??\r\n";
  f.app.displayWindow->ShowEditor();
  MemoryWindow& w = f.Editor();
  EXPECT_TRUE(w.IsVisible());
  EXPECT_TRUE(w.WindowHasFocus());
  EXPECT_EQ(f.app.display.mode.Text(), "CONF");
  EXPECT_EQ(w.Text(kDispTitle), "表示設定");
  EXPECT_EQ(w.Text(kDispTemplateEdit), "??From??");
  EXPECT_EQ(w.Text(kDispLayoutEdit), "From: ??From??\r\n");
  for (int id : {1012, 1001, 1002, 1000, 1014}) EXPECT_TRUE(w.IsShown(id)) << id;
  for (int id : {1003, 1046, 1004, 1005}) EXPECT_FALSE(w.IsShown(id)) << id;
  EXPECT_EQ(w.TextLimit(kDispTemplateEdit), 1024u);
  EXPECT_EQ(w.TextLimit(kDispLayoutEdit), 262144u);
  w.Type(kDispTemplateEdit, std::string(2000, 'x'));
  EXPECT_EQ(w.Text(kDispTemplateEdit).size(), 1024u);
  EXPECT_TRUE(f.Names().IsVisible());

  // Laid out for the client size it had before it was shown.
  int cw = 0, ch = 0;
  w.ClientSize(&cw, &ch);
  ExpectRect(w, kDispLayoutEdit, 0, 70, cw, ch - 70);
}

TEST(DisplayWindow, CloseButtonTakesTheEditsOverAndHidesBothWindows) {
  DisplayApp f;
  f.app.displayWindow->ShowEditor();
  f.Editor().Type(kDispTemplateEdit, "??Subject??");
  f.Editor().Type(kDispLayoutEdit, "Body\r\n??Body??");
  f.Editor().Click(kDispClose);
  EXPECT_EQ(f.app.display.listLineTemplate, "??Subject??");
  EXPECT_EQ(f.app.display.layoutText, "Body\r\n??Body??");
  EXPECT_EQ(f.app.display.mode.Text(), "CONF");
  EXPECT_FALSE(f.Editor().IsVisible());
  EXPECT_FALSE(f.Names().IsVisible());

  // Reopening refills from the settings: typing that was not taken over is lost.
  f.app.displayWindow->ShowEditor();
  f.Editor().Type(kDispTemplateEdit, "unsaved");
  f.app.displayWindow->ShowEditor();
  EXPECT_EQ(f.Editor().Text(kDispTemplateEdit), "??Subject??");
  EXPECT_EQ(f.Editor().Text(kDispLayoutEdit), "Body\r\n??Body??");
  EXPECT_EQ(f.app.display.listLineTemplate, "??Subject??");
}

TEST(DisplayWindow, ClosingTheDataDisplayChangesNoSettings) {
  DisplayApp f;
  f.app.display.listLineTemplate = "T";
  f.app.display.layoutText = "L";
  f.app.displayWindow->ShowEditor();
  f.app.display.mode = "DISP";  // as the data display command leaves it
  f.Editor().SetText(kDispLayoutEdit, "a rendered record");
  f.Editor().Type(kDispTemplateEdit, "stale");
  f.Editor().Click(kDispClose);
  EXPECT_EQ(f.app.display.listLineTemplate, "T");
  EXPECT_EQ(f.app.display.layoutText, "L");
  EXPECT_FALSE(f.Editor().IsVisible());

  // Nor can the save button, hidden there, write a rendered record away.
  f.platform.dialogAnswers.push_back(std::string("D:\\x.kdp"));
  f.Editor().Click(kDispSave);
  EXPECT_TRUE(f.platform.dialogs.empty());
  EXPECT_EQ(f.platform.writes, 0);
  // Selections in the lists reach the window without effect here.
  f.Editor().UserSelect(kDispRecordList, 0);
  f.Editor().UserSelect(kDispAttachmentList, 0);
  EXPECT_EQ(f.app.display.layoutText, "L");
}

TEST(DisplayWindow, CloseRequestHidesInsteadOfDestroying) {
  DisplayApp f;
  f.app.displayWindow->ShowEditor();
  EXPECT_FALSE(f.Editor().RequestClose());
  EXPECT_FALSE(f.Names().RequestClose());
  EXPECT_FALSE(f.Editor().Destroyed());
  EXPECT_FALSE(f.Names().Destroyed());
  f.app.displayWindow->ShowEditor();
  EXPECT_TRUE(f.Editor().IsVisible());
  EXPECT_TRUE(f.Names().IsVisible());
}

TEST(DataNameList, ListsDataNamesOfTheUsedEntriesOnly) {
  DisplayApp f;
  f.app.displayWindow->ShowEditor();
  EXPECT_EQ(f.Names().Text(kNameListEdit), "");  // no extraction settings

  f.Entry(0, "D_SET", "Mail");
  f.Entry(1, "Data", "From");
  f.Entry(2, "Group", "Head");
  f.Entry(3, "Data", "Subject");
  f.Entry(4, "data", "NotData");  // kinds compare case-sensitively
  f.Entry(5, "Group", "Head");
  f.Entry(7, "Data", "AfterTheGap");  // entry 6 unnamed ends the table
  f.app.displayWindow->ShowEditor();
  EXPECT_EQ(f.Names().Text(kNameListEdit), "From\r\nSubject\r\n");

  f.Entry(0, "Data", "");
  EXPECT_EQ(DataNameList(f.app.extraction), "");

  for (int i = 0; i < kTagEntries; ++i) f.Entry(i, "Data", "N");
  std::string all = DataNameList(f.app.extraction);
  EXPECT_EQ(all.size(), 3u * kTagEntries);  // a full table, and not one entry past it
}

TEST(DataNameList, EditFillsTheClientAreaOnEveryResize) {
  DisplayApp f;
  MemoryWindow& n = f.Names();
  for (auto [cw, ch] : {std::pair{187, 335}, std::pair{400, 120}, std::pair{0, 0}}) {
    n.Resize(cw, ch);
    ExpectRect(n, kNameListEdit, 0, 0, cw, ch);
  }
}

TEST(DisplayLayout, EditorLayoutFollowsTheClientSize) {
  DisplayApp f;
  f.app.displayWindow->ShowEditor();
  MemoryWindow& w = f.Editor();
  for (auto [cw, ch] : {std::pair{774, 584}, std::pair{1200, 900}, std::pair{300, 200}}) {
    w.Resize(cw, ch);
    ExpectRect(w, kDispTitle, 10, 10, 100, 25);
    ExpectRect(w, kDispClose, cw - 80, 5, 60, 25);
    ExpectRect(w, kDispSave, cw - 180, 5, 70, 25);
    ExpectRect(w, kDispTemplateEdit, 0, 40, cw - 15, 25);  // 15 pixels narrower than the layout edit
    ExpectRect(w, kDispLayoutEdit, 0, 70, cw, ch - 70);
    // The display-mode controls stay hidden where they were.
    ExpectRect(w, kDispRecordList, 15, 0, 84, 60);
    EXPECT_FALSE(w.IsShown(kDispRecordList));
  }
  w.Resize(0, 0);  // minimised: nothing gets a negative size
  ExpectRect(w, kDispTemplateEdit, 0, 40, 0, 25);
  ExpectRect(w, kDispLayoutEdit, 0, 70, 0, 0);
}

TEST(DisplayLayout, DataDisplayLayoutFollowsTheClientSize) {
  DisplayApp f;
  MemoryWindow& w = f.Editor();
  ASSERT_EQ(f.app.display.mode.Text(), "DISP");
  for (auto [cw, ch] : {std::pair{774, 584}, std::pair{1200, 900}, std::pair{400, 400}}) {
    w.Resize(cw, ch);
    ExpectRect(w, kDispTitle, 10, 10, 100, 25);
    ExpectRect(w, kDispSave, cw - 180, 5, 70, 25);
    ExpectRect(w, kDispTemplateEdit, 110, 5, cw - 300, 30);
    ExpectRect(w, kDispClose, cw - 80, 5, 60, 25);
    ExpectRect(w, kDispRecordList, 0, 40, cw, 200);
    ExpectRect(w, kDispLayoutEdit, 0, 245, cw, ch - 305);
    ExpectRect(w, kDispAttachmentList, 100, ch - 55, cw - 250, 50);
    ExpectRect(w, kDispAttachmentLabel, 0, ch - 35, 100, 25);
    ExpectRect(w, kDispStatusText, cw - 150, ch - 35, 150, 25);
  }
  w.Resize(200, 100);  // too small: the widths and heights that go below zero stop at zero
  ExpectRect(w, kDispTemplateEdit, 110, 5, 0, 30);
  ExpectRect(w, kDispLayoutEdit, 0, 245, 200, 0);
  ExpectRect(w, kDispAttachmentList, 100, 45, 0, 50);
}

TEST(DisplayLayout, ModeTextChoosesTheLayoutOnEachResize) {
  DisplayApp f;
  MemoryWindow& w = f.Editor();
  f.app.displayWindow->ShowEditor();
  w.Resize(800, 600);
  ExpectRect(w, kDispLayoutEdit, 0, 70, 800, 530);
  f.app.display.mode = "DISP";
  w.Resize(800, 600);
  ExpectRect(w, kDispLayoutEdit, 0, 245, 800, 295);
  f.app.display.mode = "conf";  // neither mode: nothing moves
  w.Resize(500, 500);
  ExpectRect(w, kDispLayoutEdit, 0, 245, 800, 295);
  ExpectRect(w, kDispClose, 720, 5, 60, 25);
}

}  // namespace
}  // namespace tanavo
