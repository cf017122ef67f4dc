#include <gtest/gtest.h>

#include <string>

#include "app/main_window.h"
#include "display/item_decoder.h"
#include "app/result_window.h"
#include "check/trial_extraction.h"
#include "test_support.h"

namespace tanavo {
namespace {

const std::string kRecord1 = "<R>\r\nF:one\r\n</R>";
const std::string kRecord2 = "<R>\r\nF:two\r\n</R>";
const std::string kRecord3 = "<R>\r\nF:three\r\n</R>";

void SetEntry(App& app, int i, const std::string& kind, const std::string& name, const std::string& start,
              const std::string& end, const std::string& multiple = "N", const std::string& after = "N") {
  app.extraction.entries[i] = Flagged(Def(kind, name, start, end), multiple, after);
}

// Records delimited by <R>...</R>, one item "F:" up to the line end.
void RecordSettings(App& app) {
  SetEntry(app, 0, "D_SET", "D_SET", "<R>", "</R>");
  SetEntry(app, 1, "Data", "Data01", "F:", "\r\n");
  SetEntry(app, 2, "D_SET", "D_SET", "<R>", "</R>");
}

std::string RangeBlock(const std::string& name, const std::string& matched) {
  return name + "\r\n" + matched + "\r\n\r\n";
}

std::string ItemBlock(App& app, int entry, const std::string& raw) {
  return app.extraction.entries[entry].name + "\r\n" + raw + "\r\n抽出結果\r\n" + DecodeItem(app, entry, raw, TextOnlyDecoding()).text +
         "\r\n\r\n";
}

class TrialExtractionTest : public ::testing::Test {
 protected:
  MemoryWindow& Result() { return f.Win(kResultWindowClass); }
  std::string Shown() { return Result().Text(kResultTextView); }
  std::string ShownRecord(const std::string& record, const std::string& item) {
    return RangeBlock("D_SET", record) + ItemBlock(f.app, 1, item);
  }
  void LoadThreeRecords() {
    f.app.state.mobileFile = "head\r\n" + kRecord1 + "\r\n" + kRecord2 + "\r\n" + kRecord3 + "\r\ntail";
    RecordSettings(f.app);
  }
  FakeApp f;
};

TEST_F(TrialExtractionTest, BrowsesThreeRecordsForwardAndBack) {
  LoadThreeRecords();
  const int32_t start1 = 7, start2 = start1 + kRecord1.size() + 2, start3 = start2 + kRecord2.size() + 2;
  EXPECT_FALSE(Result().IsVisible());
  TrialExtraction(f.app);
  EXPECT_TRUE(Result().IsVisible());
  EXPECT_EQ(Shown(), ShownRecord(kRecord1, "F:one\r\n"));
  EXPECT_EQ(f.app.history.top, 1);
  EXPECT_EQ(f.app.history.starts[1], start1);

  Result().Click(kResultNextButton);
  EXPECT_EQ(Shown(), ShownRecord(kRecord2, "F:two\r\n"));
  Result().Click(kResultNextButton);
  EXPECT_EQ(Shown(), ShownRecord(kRecord3, "F:three\r\n"));
  EXPECT_EQ(f.app.history.top, 3);
  EXPECT_EQ(f.app.history.starts[2], start2);
  EXPECT_EQ(f.app.history.starts[3], start3);
  EXPECT_TRUE(f.platform.boxes.empty());

  // No fourth record: warned, record 3 stays and the history is unchanged.
  Result().Click(kResultNextButton);
  ASSERT_EQ(f.platform.boxes.size(), 1u);
  EXPECT_EQ(f.platform.boxes[0].text, "D_SETタグが検出されませんでした!!");
  EXPECT_EQ(f.platform.boxes[0].caption, "警告");
  EXPECT_EQ(f.platform.boxes[0].owner, BoxOwner::None);
  EXPECT_EQ(Shown(), ShownRecord(kRecord3, "F:three\r\n"));
  EXPECT_EQ(f.app.history.top, 3);

  Result().Click(kResultBackButton);
  EXPECT_EQ(Shown(), ShownRecord(kRecord2, "F:two\r\n"));
  Result().Click(kResultBackButton);
  EXPECT_EQ(Shown(), ShownRecord(kRecord1, "F:one\r\n"));
  Result().Click(kResultBackButton);
  EXPECT_EQ(Shown(), ShownRecord(kRecord1, "F:one\r\n"));
  EXPECT_EQ(f.app.history.top, 1);
  EXPECT_EQ(f.platform.boxes.size(), 1u);
  EXPECT_EQ(f.app.stack.Depth(), 0);  // every walk closed its record
}

TEST_F(TrialExtractionTest, MissingItemStillGetsItsBlockAndRepeatedItemsGetOneEach) {
  f.app.state.mobileFile = "<R>\r\nF:a\r\nF:b\r\n</R>\r\n";
  SetEntry(f.app, 0, "D_SET", "D_SET", "<R>", "</R>");
  SetEntry(f.app, 1, "Data", "Data01", "F:", "\r\n", "Y");
  SetEntry(f.app, 2, "Data", "Data02", "G:", "\r\n");
  SetEntry(f.app, 3, "D_SET", "D_SET", "<R>", "</R>");
  TrialExtraction(f.app);
  EXPECT_EQ(Shown(), RangeBlock("D_SET", "<R>\r\nF:a\r\nF:b\r\n</R>") + ItemBlock(f.app, 1, "F:a\r\n") +
                         ItemBlock(f.app, 1, "F:b\r\n") + ItemBlock(f.app, 2, ""));
  EXPECT_TRUE(f.platform.boxes.empty());
}

TEST_F(TrialExtractionTest, GroupsGetRangeBlocksInWalkOrder) {
  f.app.state.mobileFile = "<R>\r\n[g]\r\nF:in\r\n[/g]\r\n</R>\r\n";
  SetEntry(f.app, 0, "D_SET", "D_SET", "<R>", "</R>");
  SetEntry(f.app, 1, "Group", "Group01", "[g]", "[/g]");
  SetEntry(f.app, 2, "Data", "Data01", "F:", "\r\n");
  SetEntry(f.app, 3, "Group", "Group01", "[g]", "[/g]");
  SetEntry(f.app, 4, "D_SET", "D_SET", "<R>", "</R>");
  TrialExtraction(f.app);
  EXPECT_EQ(Shown(), RangeBlock("D_SET", "<R>\r\n[g]\r\nF:in\r\n[/g]\r\n</R>") +
                         RangeBlock("Group01", "[g]\r\nF:in\r\n[/g]") + ItemBlock(f.app, 2, "F:in\r\n"));
}

TEST_F(TrialExtractionTest, CheckingAgainPushesRecordOneOnTopOfTheOlderHistory) {
  LoadThreeRecords();
  TrialExtraction(f.app);
  NextRecord(f.app);
  NextRecord(f.app);
  TrialExtraction(f.app);
  EXPECT_EQ(Shown(), ShownRecord(kRecord1, "F:one\r\n"));
  EXPECT_EQ(f.app.history.top, 4);
  EXPECT_EQ(f.app.history.starts[4], f.app.history.starts[1]);
  PreviousRecord(f.app);  // back to the record on display before the check
  EXPECT_EQ(Shown(), ShownRecord(kRecord3, "F:three\r\n"));
  NextRecord(f.app);
  EXPECT_EQ(f.platform.boxes.size(), 1u);  // none after record 3
  EXPECT_EQ(f.app.history.top, 3);
}

TEST_F(TrialExtractionTest, EntriesBeforeTheRecordAreWalkedByTheCheckOnly) {
  f.app.state.mobileFile = "H:top\r\n" + kRecord1 + "\r\n" + kRecord2 + "\r\n";
  SetEntry(f.app, 0, "Data", "Head", "H:", "\r\n");
  SetEntry(f.app, 1, "D_SET", "D_SET", "<R>", "</R>");
  SetEntry(f.app, 2, "Data", "Data01", "F:", "\r\n");
  SetEntry(f.app, 3, "D_SET", "D_SET", "<R>", "</R>");
  TrialExtraction(f.app);
  EXPECT_EQ(Shown(), ItemBlock(f.app, 0, "H:top\r\n") + RangeBlock("D_SET", kRecord1) +
                         ItemBlock(f.app, 2, "F:one\r\n"));
  NextRecord(f.app);
  EXPECT_EQ(Shown(), RangeBlock("D_SET", kRecord2) + ItemBlock(f.app, 2, "F:two\r\n"));
  PreviousRecord(f.app);
  EXPECT_EQ(Shown(), RangeBlock("D_SET", kRecord1) + ItemBlock(f.app, 2, "F:one\r\n"));
}

TEST_F(TrialExtractionTest, FullHistoryShowsTheRecordWithoutStoringIt) {
  LoadThreeRecords();
  f.app.history.top = kHistorySlots;
  f.app.history.starts[kHistorySlots] = 1;
  TrialExtraction(f.app);
  ASSERT_EQ(f.platform.boxes.size(), 1u);
  EXPECT_EQ(f.platform.boxes[0].text, "スタックの階層が深すぎます!!");
  EXPECT_EQ(Shown(), ShownRecord(kRecord1, "F:one\r\n"));
  EXPECT_EQ(f.app.history.top, kHistorySlots);
  NextRecord(f.app);  // from the last stored position: record 1 again
  EXPECT_EQ(Shown(), ShownRecord(kRecord1, "F:one\r\n"));
  EXPECT_EQ(f.platform.boxes.size(), 2u);
}

TEST_F(TrialExtractionTest, NoMobileFileRefusesEveryStep) {
  RecordSettings(f.app);
  TrialExtraction(f.app);
  NextRecord(f.app);
  PreviousRecord(f.app);
  ASSERT_EQ(f.platform.boxes.size(), 3u);
  for (const RecordedBox& b : f.platform.boxes) {
    EXPECT_EQ(b.text, "携帯データを読み込んでください!!");
    EXPECT_EQ(b.caption, "警告");
  }
  EXPECT_FALSE(Result().IsVisible());
  EXPECT_EQ(f.app.history.top, 0);
}

TEST_F(TrialExtractionTest, WithoutRecordDelimiterTheCheckWalksTheWholeFileAndBrowsingIsRefused) {
  f.app.state.mobileFile = "F:one\r\nF:two\r\n";
  SetEntry(f.app, 0, "Data", "Data01", "F:", "\r\n", "Y");
  TrialExtraction(f.app);
  EXPECT_TRUE(f.platform.boxes.empty());
  const std::string whole = ItemBlock(f.app, 0, "F:one\r\n") + ItemBlock(f.app, 0, "F:two\r\n");
  EXPECT_EQ(Shown(), whole);
  NextRecord(f.app);
  PreviousRecord(f.app);
  ASSERT_EQ(f.platform.boxes.size(), 2u);
  EXPECT_EQ(f.platform.boxes[0].text, "D_SETタグが設定されていません!!");
  EXPECT_EQ(f.platform.boxes[1].text, "D_SETタグが設定されていません!!");
  EXPECT_EQ(f.platform.boxes[1].caption, "警告");
  EXPECT_EQ(Shown(), whole);
  EXPECT_EQ(f.app.history.top, 0);
}

TEST_F(TrialExtractionTest, NoRecordFoundShowsTheWindowAndGoingBackFromNothingStaysInside) {
  f.app.state.mobileFile = "nothing here";
  RecordSettings(f.app);
  TrialExtraction(f.app);
  EXPECT_TRUE(Result().IsVisible());
  EXPECT_EQ(Shown(), "");
  EXPECT_EQ(f.app.history.top, 0);
  PreviousRecord(f.app);  // Back on an empty history: from the start of the file
  NextRecord(f.app);
  EXPECT_EQ(f.platform.boxes.size(), 3u);
  EXPECT_EQ(f.app.history.top, 0);

  // Empty settings: the walk ends at once and the view is emptied.
  f.app.state.mobileFile = kRecord1;
  RecordSettings(f.app);
  TrialExtraction(f.app);
  ASSERT_FALSE(Shown().empty());
  ResetSettings(f.app.extraction);
  TrialExtraction(f.app);
  EXPECT_EQ(Shown(), "");
}

TEST_F(TrialExtractionTest, CloseHidesAndEmptiesTheView) {
  LoadThreeRecords();
  TrialExtraction(f.app);
  Result().Click(kResultCloseButton);
  EXPECT_FALSE(Result().IsVisible());
  EXPECT_EQ(Shown(), "");
  TrialExtraction(f.app);
  EXPECT_TRUE(Result().IsVisible());
  EXPECT_TRUE(Result().RequestClose() == false);  // a close request only hides
  EXPECT_FALSE(Result().IsVisible());
  EXPECT_EQ(Shown(), ShownRecord(kRecord1, "F:one\r\n"));
}

TEST_F(TrialExtractionTest, TheResultTextIsCappedWithOneWarning) {
  // Every item is the whole file: 80 of them would make 80 MiB of text.
  constexpr int kItems = 80;
  const std::string file = "<A>" + std::string(1024 * 1024, 'x') + "</A>";
  f.app.state.mobileFile = file;
  for (int i = 0; i < kItems; ++i) SetEntry(f.app, i, "Data", "D" + std::to_string(i), "<A>", "</A>");
  EXPECT_EQ(TrialExtraction(f.app), 1);
  ASSERT_EQ(f.platform.boxes.size(), 1u);
  EXPECT_EQ(f.platform.boxes[0].caption, "警告");
  EXPECT_EQ(f.platform.boxes[0].text, "設定確認結果が64MBを超えたため、以降は表示しません!!");
  const std::string shown = Shown();
  EXPECT_EQ(shown.size(), kMaxResultTextBytes);
  const std::string first = ItemBlock(f.app, 0, file);
  EXPECT_EQ(shown.compare(0, first.size(), first), 0);
  EXPECT_EQ(shown.compare(first.size(), 4, "D1\r\n"), 0);
}

TEST_F(TrialExtractionTest, EachStepSaysWhetherItShowedItsRecord) {
  // In order, on one history: each step with the status it returns.
  enum Kind { kCheck, kNext, kBack };
  struct Case {
    Kind step;
    bool withFile;
    int status;
  };
  const Case cases[] = {
      {kCheck, false, 1}, {kNext, false, 1}, {kBack, false, 1},  // no mobile file
      {kCheck, true, 0},  {kNext, true, 0},  {kNext, true, 0},
      {kNext, true, 1},  // no fourth record
      {kBack, true, 0},
  };
  RecordSettings(f.app);
  int i = 0;
  for (const Case& c : cases) {
    if (c.withFile && f.app.state.mobileFile.empty()) LoadThreeRecords();
    int status = c.step == kCheck ? TrialExtraction(f.app) : c.step == kNext ? NextRecord(f.app) : PreviousRecord(f.app);
    EXPECT_EQ(status, c.status) << "case " << i++;
  }
  EXPECT_EQ(f.app.resultWindow->resultText, ShownRecord(kRecord2, "F:two\r\n"));

  // A full history shows the record but cannot keep it.
  f.app.history.top = kHistorySlots;
  EXPECT_EQ(TrialExtraction(f.app), 1);
  EXPECT_EQ(Shown(), ShownRecord(kRecord1, "F:one\r\n"));
  Result().Click(kResultCloseButton);
  EXPECT_EQ(f.app.resultWindow->resultText, "");
}

TEST(ResultWindow, DeclaresItsControlsAndLaysThemOutOnEverySize) {
  FakeApp f;
  MemoryWindow& w = f.Win(kResultWindowClass);
  EXPECT_STREQ(w.Declaration().title, "設定確認結果");
  EXPECT_EQ(w.Declaration().frame, FrameKind::CaptionSizing);
  EXPECT_FALSE(w.Declaration().visible);
  EXPECT_EQ(w.ControlIds(), (std::vector<int>{kResultTextView, kResultCloseButton, kResultBackButton,
                                               kResultNextButton}));
  EXPECT_EQ(w.Text(kResultCloseButton), "終　了");
  EXPECT_EQ(w.Text(kResultBackButton), "戻る");
  EXPECT_EQ(w.Text(kResultNextButton), "次へ");
  const unsigned view = w.Control(kResultTextView).decl.style;
  EXPECT_TRUE(view & kReadOnly);
  EXPECT_TRUE(view & kMultiLine);
  EXPECT_TRUE((view & (kVScroll | kHScroll | kAutoVScroll | kAutoHScroll | kClientEdge)) ==
              (kVScroll | kHScroll | kAutoVScroll | kAutoHScroll | kClientEdge));
  EXPECT_TRUE(f.Win(kMainWindowClass).WindowHasFocus());  // creation hands the focus back

  w.Resize(600, 400);
  auto rectIs = [&](int id, int x, int y, int wd, int ht) {
    Rect r = w.ControlRect(id);
    return r.left == x && r.top == y && r.Width() == wd && r.Height() == ht;
  };
  EXPECT_TRUE(rectIs(kResultTextView, 0, 30, 600, 340));
  EXPECT_TRUE(rectIs(kResultCloseButton, 545, 5, 50, 20));
  EXPECT_TRUE(rectIs(kResultBackButton, 500, 375, 40, 20));
  EXPECT_TRUE(rectIs(kResultNextButton, 550, 375, 40, 20));
}

// A refused step shows nothing itself: its code says why, the caller shows it.
TEST_F(TrialExtractionTest, RefusalsComeAsCodes) {
  TrialResult r = RunTrialStep(f.app, TrialStep::Check);
  EXPECT_EQ(r.status, TrialStatus::Refused);
  EXPECT_EQ(r.refusal, TrialRefusal::NoMobileFile);
  f.app.state.mobileFile = "no records";
  r = RunTrialStep(f.app, TrialStep::Next);
  EXPECT_EQ(r.refusal, TrialRefusal::NoDSetEntry);
  RecordSettings(f.app);
  r = RunTrialStep(f.app, TrialStep::Check);
  EXPECT_EQ(r.refusal, TrialRefusal::NoRecordFound);
  EXPECT_TRUE(f.platform.boxes.empty());
  LoadThreeRecords();
  r = RunTrialStep(f.app, TrialStep::Check);
  EXPECT_EQ(r.status, TrialStatus::Shown);
  EXPECT_EQ(r.refusal, TrialRefusal::None);
  EXPECT_STREQ(TrialRefusalText(TrialRefusal::NoRecordFound), "D_SETタグが検出されませんでした!!");
}

}  // namespace
}  // namespace tanavo
