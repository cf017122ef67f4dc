#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/detail_window.h"
#include "app/extraction_window.h"
#include "app/main_window.h"
#include "extract/kta_file.h"
#include "files/extraction_file.h"
#include "test_support.h"

namespace tanavo {
namespace {

using Lines = std::vector<std::string>;

struct ExtApp : FakeApp {
  ExtApp() { app.extractionWindow->Open(); }
  MemoryWindow& W() { return Win(kExtractionWindowClass); }
  Lines List() {
    Lines out;
    for (int i = 0; i < W().ListCount(kExtList); ++i) out.push_back(W().ListRow(kExtList, i));
    return out;
  }
  // The names of the used entries, labelled as the list shows them.
  Lines Table() {
    Lines out;
    for (int i = 0; i < UsedCount(app.extraction); ++i) out.push_back(ListLabel(app.extraction.entries[i]));
    return out;
  }
  int Sel() { return W().ListSelection(kExtList); }
  void Select(int row) { W().UserSelect(kExtList, row); }
  void Click(int id) { W().Click(id); }
};

TEST(ExtractionWindow, HasItsThirteenControlsAndStartsWithAnEmptyTable) {
  FakeApp f;
  MemoryWindow& w = f.Win(kExtractionWindowClass);
  EXPECT_FALSE(w.IsVisible());
  EXPECT_EQ(std::string(w.Declaration().title), "データ抽出設定");
  EXPECT_EQ(w.Declaration().width, 283);
  EXPECT_EQ(w.Declaration().height, 361);
  EXPECT_EQ(w.Declaration().frame, FrameKind::CaptionOnly);
  EXPECT_EQ(w.Declaration().fontIndex, 1);
  EXPECT_EQ(w.ControlIds(),
            (std::vector<int>{1001, 1002, 1003, 1004, 1005, 1006, 1007, 1008, 1009, 1010, 1011, 1012, 1013}));
  EXPECT_EQ(w.Text(kExtCheck), "確　　認");
  EXPECT_EQ(w.Text(kExtDeleteCaption), "タグ消去");
  const MemoryControl& list = w.Control(kExtList);
  EXPECT_EQ(list.decl.kind, ControlKind::ListBox);
  EXPECT_EQ(list.decl.style, unsigned(kVScroll | kHScroll | kClientEdge));
  EXPECT_EQ(list.rect.left, 132);
  EXPECT_EQ(list.rect.Height(), 260);
  EXPECT_EQ(UsedCount(f.app.extraction), 0);
  EXPECT_FALSE(w.WindowHasFocus());
}

// Where Wine puts the main window (816 wide at the screen's left edge): on a
// 1024-pixel screen the window moves left so that 終了 and 確　　認 stay on it.
TEST(ExtractionWindow, PlacementAtTheCommonScreenWidths) {
  struct Case {
    int screen;
    int left;
  };
  for (Case c : {Case{1024, 1024 - 283}, Case{1280, 816}, Case{1099, 816}, Case{1098, 1098 - 283}}) {
    FakeApp f;
    f.platform.screenWidth = c.screen;
    f.platform.MainWindow()->SetPlacement(Rect{0, 0, 816, 641});
    f.app.extractionWindow->Open();
    Rect r = f.Win(kExtractionWindowClass).Placement();
    EXPECT_EQ(r.left, c.left) << "screen " << c.screen;
    EXPECT_EQ(r.Width(), 283) << "screen " << c.screen;
    EXPECT_EQ(r.top, 20) << "screen " << c.screen;
  }
}

TEST(ExtractionWindow, OpensBesideTheMainWindowWithinTheScreen) {
  FakeApp f;
  MemoryWindow& w = f.Win(kExtractionWindowClass);
  f.platform.MainWindow()->SetPlacement(Rect{100, 50, 916, 691});
  f.app.extraction.entries[0] = Def("D_SET", "D_SET");
  f.app.extraction.entries[1] = Def("Group", "Head");
  f.app.extraction.entries[2] = Def("Data", "From");
  f.app.extractionWindow->Open();
  Rect r = w.Placement();
  EXPECT_EQ(r.left, 916);
  EXPECT_EQ(r.top, 70);
  EXPECT_EQ(r.Width(), 283);
  EXPECT_EQ(r.Height(), 361);
  EXPECT_TRUE(w.IsVisible());
  EXPECT_TRUE(w.WindowHasFocus());
  EXPECT_EQ(w.BringToTopCount(), 1);
  EXPECT_EQ(w.ListCount(kExtList), 3);
  EXPECT_EQ(w.ListRow(kExtList, 1), " Head");
  EXPECT_EQ(w.ListRow(kExtList, 2), "  From");
  EXPECT_EQ(w.ListSelection(kExtList), -1);

  f.platform.screenWidth = 1000;
  f.app.extractionWindow->Open();
  EXPECT_EQ(w.Placement().left, 1000 - 283);
  EXPECT_EQ(w.Placement().right, 1000);

  w.Click(kExtClose);
  EXPECT_FALSE(w.IsVisible());
  EXPECT_TRUE(f.platform.MainWindow()->IsVisible());
  EXPECT_TRUE(f.Win(kMainWindowClass).WindowHasFocus());
  f.app.extractionWindow->Open();
  EXPECT_FALSE(w.RequestClose());  // a close request hides, so the menu can show it again
  EXPECT_FALSE(w.Destroyed());
  EXPECT_EQ(UsedCount(f.app.extraction), 3);
}

TEST(ExtractionWindow, DSetButtonAddsOnePairOnly) {
  ExtApp f;
  f.Click(kExtAddDSet);
  EXPECT_EQ(f.List(), (Lines{"D_SET", "D_SET"}));
  EXPECT_EQ(f.Sel(), 1);
  EXPECT_EQ(f.app.extraction.dsetPairCount, 1);
  EXPECT_EQ(f.app.extraction.entries[0].kind.Text(), "D_SET");
  f.Click(kExtAddDSet);
  f.Select(0);
  f.Click(kExtAddDSet);
  EXPECT_EQ(f.List(), (Lines{"D_SET", "D_SET"}));

  f.Click(kExtDelete);
  EXPECT_EQ(f.List(), Lines{});
  EXPECT_EQ(f.Sel(), -1);
  EXPECT_EQ(f.app.extraction.dsetPairCount, 0);

  // With a selection the pair goes after the selected line.
  f.Click(kExtAddData);
  f.Click(kExtAddData);
  f.Select(0);
  f.Click(kExtAddDSet);
  EXPECT_EQ(f.List(), (Lines{"  Data01", "D_SET", "D_SET", "  Data02"}));
  EXPECT_EQ(f.Sel(), 2);
  EXPECT_EQ(f.Table(), f.List());
}

TEST(ExtractionWindow, GroupAndDataInsertionPositionsAndSelections) {
  ExtApp f;
  f.Click(kExtAddGroup);
  EXPECT_EQ(f.List(), (Lines{" Group01", " Group01"}));
  EXPECT_EQ(f.Sel(), 1);
  f.Click(kExtAddData);  // lands between the pair's lines
  EXPECT_EQ(f.List(), (Lines{" Group01", "  Data01", " Group01"}));
  EXPECT_EQ(f.Sel(), 2);
  f.Click(kExtAddData);  // again in front of the same line
  EXPECT_EQ(f.List(), (Lines{" Group01", "  Data01", "  Data02", " Group01"}));
  EXPECT_EQ(f.Sel(), 3);
  EXPECT_EQ(f.app.extraction.dataCounter, 2);
  EXPECT_EQ(f.app.extraction.entries[2].kind.Text(), "Data");
  EXPECT_EQ(f.app.extraction.entries[2].name, "Data02");
  EXPECT_EQ(f.app.extraction.entries[3].kind.Text(), "Group");

  // A Data entry added with no selection goes to the top and is selected.
  f.W().ListSelect(kExtList, -1);
  f.Click(kExtAddData);
  EXPECT_EQ(f.List(), (Lines{"  Data01", " Group01", "  Data02", "  Data03", " Group01"}));
  EXPECT_EQ(f.Sel(), 0);
  EXPECT_EQ(f.Table(), f.List());
}

TEST(ExtractionWindow, GroupAddedInFrontOfAnotherTakesNumberOne) {
  ExtApp f;
  f.Click(kExtAddGroup);
  f.Click(kExtAddData);  // inside Group01
  f.Select(0);
  f.Click(kExtAddGroup);  // before Group01's opening line
  EXPECT_EQ(f.List(), (Lines{" Group01", " Group01", " Group02", "  Data01", " Group02"}));
  EXPECT_EQ(f.Sel(), 1);
  EXPECT_EQ(f.app.extraction.groupCounter, 2);
  EXPECT_EQ(f.Table(), f.List());

  // A third one between them: numbers follow the opening lines.
  f.Select(2);
  f.Click(kExtAddGroup);
  EXPECT_EQ(f.List(), (Lines{" Group01", " Group01", " Group02", " Group02", " Group03", "  Data01", " Group03"}));
  EXPECT_EQ(f.Table(), f.List());
}

TEST(ExtractionWindow, DeleteTakesThePartnerAndRenumbers) {
  ExtApp f;
  f.Click(kExtAddGroup);
  f.Click(kExtAddData);
  f.Click(kExtAddData);
  f.Click(kExtAddData);
  ASSERT_EQ(f.List(), (Lines{" Group01", "  Data01", "  Data02", "  Data03", " Group01"}));
  f.app.extraction.entries[3].contentStartTag = "third";

  f.Select(1);
  f.Click(kExtDelete);  // the following default names move down by one
  EXPECT_EQ(f.List(), (Lines{" Group01", "  Data01", "  Data02", " Group01"}));
  EXPECT_EQ(f.Sel(), 1);
  EXPECT_EQ(f.app.extraction.dataCounter, 2);
  EXPECT_EQ(f.app.extraction.entries[2].contentStartTag, "third");
  EXPECT_EQ(f.app.extraction.entries[4].name, "");

  f.Select(3);
  f.Click(kExtDelete);  // the closing line takes the opening one with it
  EXPECT_EQ(f.List(), (Lines{"  Data01", "  Data02"}));
  EXPECT_EQ(f.app.extraction.groupCounter, 0);
  EXPECT_EQ(f.Sel(), 1);  // past the end: the new last line
  EXPECT_EQ(f.Table(), f.List());

  f.Click(kExtDelete);
  f.Click(kExtDelete);
  EXPECT_EQ(f.List(), Lines{});
  EXPECT_EQ(f.Sel(), -1);
  EXPECT_EQ(f.app.extraction.dataCounter, 0);
  f.Click(kExtDelete);  // nothing selected: nothing happens
  EXPECT_EQ(f.app.extraction.dataCounter, 0);
}

TEST(ExtractionWindow, DeleteKeepsOtherDefinitionsThatShareAName) {
  ExtApp f;
  // Read from a file: two Data entries of one name, and counters at zero.
  f.app.extraction.entries[0] = Def("D_SET", "D_SET");
  f.app.extraction.entries[1] = Def("Data", "Same");
  f.app.extraction.entries[2] = Def("Data", "Same");
  f.app.extraction.entries[3] = Def("D_SET", "D_SET");
  f.app.extractionWindow->Open();
  f.Select(1);
  f.Click(kExtDelete);
  EXPECT_EQ(f.List(), (Lines{"D_SET", "  Same", "D_SET"}));
  EXPECT_EQ(f.app.extraction.dataCounter, -1);

  // A loaded pair does not count: the button still adds one.
  f.Select(0);
  f.Click(kExtAddDSet);
  EXPECT_EQ(f.List(), (Lines{"D_SET", "D_SET", "D_SET", "  Same", "D_SET"}));
  f.Select(1);
  f.Click(kExtDelete);  // one line and the first other line of that label
  EXPECT_EQ(f.List(), (Lines{"D_SET", "  Same", "D_SET"}));
  EXPECT_EQ(f.Table(), f.List());
}

TEST(ExtractionWindow, FullTableRefusesAdditions) {
  ExtApp f;
  for (int i = 0; i < kTagEntries - 1; ++i) f.app.extraction.entries[i] = Def("Data", "N" + std::to_string(i));
  f.app.extractionWindow->Open();
  f.Click(kExtAddGroup);  // needs two entries, one is free
  f.Click(kExtAddDSet);
  ASSERT_EQ(f.platform.boxes.size(), 2u);
  EXPECT_EQ(f.platform.boxes[0].caption, "警告");
  EXPECT_EQ(f.platform.boxes[0].owner, BoxOwner::None);
  EXPECT_EQ(f.app.extraction.groupCounter, 0);
  EXPECT_EQ(f.app.extraction.dsetPairCount, 0);
  EXPECT_EQ(f.W().ListCount(kExtList), kTagEntries - 1);

  f.Select(kTagEntries - 2);
  f.Click(kExtAddData);
  EXPECT_EQ(UsedCount(f.app.extraction), kTagEntries);
  EXPECT_EQ(f.W().ListCount(kExtList), kTagEntries);
  f.Click(kExtAddData);
  EXPECT_EQ(f.platform.boxes.size(), 3u);
  EXPECT_EQ(f.app.extraction.dataCounter, 1);
  EXPECT_EQ(f.W().ListCount(kExtList), kTagEntries);
  EXPECT_EQ(f.Table(), f.List());
}

TEST(ExtractionWindow, ReadingAFileWhileOpenRebuildsTheList) {
  ExtApp f;
  f.Click(kExtAddData);
  TagDefinition g = Def("Group", "Head");
  f.platform.files["C:\\a.kta"] = EncodeEntry(g) + EncodeEntry(g);
  f.platform.dialogAnswers.push_back(std::string("C:\\a.kta"));
  LoadExtractionSettings(f.app);
  EXPECT_EQ(f.List(), (Lines{" Head", " Head"}));
  EXPECT_EQ(f.app.extraction.dataCounter, 1);

  f.Click(kExtSave);
  ASSERT_FALSE(f.platform.dialogs.empty());
  EXPECT_TRUE(f.platform.dialogs.back().save);
}

}  // namespace
}  // namespace tanavo
