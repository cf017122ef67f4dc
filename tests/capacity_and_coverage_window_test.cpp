// The window program's side of the record capacity and the coverage: the
// capacity remembered in the program folder and offered in the box that says
// records were left out, the summary in the status bar, and the coverage
// window that shows the raw text at each finding.
#include <gtest/gtest.h>

#include <string>

#include "app/coverage_window.h"
#include "app/main_window.h"
#include "app/menus.h"
#include "index/capacity_setting.h"
#include "index/coverage.h"
#include "index/index_creation.h"
#include "test_support.h"

namespace tanavo {
namespace {

const TagDefinition kRecord = Def("D_SET", "R", "<R>", "</R>");
constexpr char kSettingPath[] = "C:\\tanavo\\Tanavo.cfg";

std::string Records(int n) {
  std::string d;
  for (int i = 1; i <= n; ++i) d += "<R>\r\nF:" + std::to_string(i) + "\r\n</R>\r\n";
  return d;
}

void Load(FakeApp& f, const std::string& mobile) {
  f.app.state.mobileFile = mobile;
  SetTable(f.app.extraction, {kRecord, Item("From", "F:", "\r\n"), kRecord});
  f.app.display.listLineTemplate = "??From??";
}

TEST(CapacitySetting, ReadsOneLineAndFallsBackToTheDefault) {
  using namespace std::string_literals;
  const struct {
    std::string text;
    int32_t capacity;
  } cases[] = {
      {"MaxRecords=3000\r\n", 3000},
      {"MaxRecords=all\r\n", kAllRecords},
      {"MaxRecords=1", 1},
      {"MaxRecords=2147483647\r\n", 2147483647},
      {"", kIndexSlots},
      {"MaxRecords=0\r\n", kIndexSlots},
      {"MaxRecords=-5\r\n", kIndexSlots},
      {"MaxRecords=2147483648\r\n", kIndexSlots},
      {"MaxRecords=99999999999999999999\r\n", kIndexSlots},
      {"MaxRecords= 3000\r\n", kIndexSlots},
      {"MaxRecords=3000\r\nMaxRecords=all\r\n", kIndexSlots},
      {"maxrecords=3000\r\n", kIndexSlots},
      {"MaxRecords=30\x00" "00\r\n"s, kIndexSlots},
      {"\xFF\xFE\x00"s, kIndexSlots},
  };
  for (const auto& c : cases) EXPECT_EQ(ReadRecordCapacitySetting(c.text), c.capacity) << c.text;
  for (int32_t capacity : {1, 2500, 1000000, kAllRecords}) {
    EXPECT_EQ(ReadRecordCapacitySetting(RecordCapacitySettingText(capacity)), capacity);
  }
}

TEST(CapacitySetting, ReadAtStartUpFromTheProgramFolder) {
  const struct {
    const char* what;
    bool present, special;
    std::string text;
    int32_t capacity;
  } cases[] = {
      {"no file", false, false, "", kIndexSlots},
      {"raised", true, false, "MaxRecords=all\r\n", kAllRecords},
      {"too long to be ours", true, false, "MaxRecords=3000\r\n" + std::string(100, ' '), kIndexSlots},
      {"no regular file", true, true, "MaxRecords=all\r\n", kIndexSlots},
  };
  for (const auto& c : cases) {
    FakePlatform platform;
    if (c.present) platform.files[kSettingPath] = c.text;
    if (c.special) platform.special.insert(kSettingPath);
    App app(platform);
    app.Start();
    EXPECT_EQ(app.index.capacity, c.capacity) << c.what;
    EXPECT_TRUE(platform.boxes.empty()) << c.what;
  }
}

// The box that says records were left out offers all of them; yes makes the
// index again with every record and remembers the capacity.
TEST(CreateIndexCommand, TheLeftOutBoxOffersAllRecordsAndRemembersTheChoice) {
  const struct {
    const char* what;
    BoxAnswer answer;
    bool writable;
    int indexed;
    const char* remembered;  // the setting file afterwards, or null for none
    std::size_t boxes;       // after the confirmation
  } cases[] = {
      {"declined", BoxAnswer::No, true, 2, nullptr, 1},
      {"raised", BoxAnswer::Yes, true, 3, "MaxRecords=all\r\n", 1},
      {"raised, folder read-only", BoxAnswer::Yes, false, 3, nullptr, 2},
  };
  for (const auto& c : cases) {
    FakeApp f;
    Load(f, Records(3));
    SetRecordCapacity(f.app.index, 2);
    if (!c.writable) f.platform.unwritable.insert(kSettingPath);
    f.platform.boxAnswers = {BoxAnswer::Ok, c.answer};
    f.platform.dialogAnswers.push_back("C:\\x.ini");
    CreateIndexCommand(f.app);
    ASSERT_EQ(f.platform.boxes.size(), 1 + c.boxes) << c.what;
    EXPECT_EQ(f.platform.boxes[1].text, LeftOutWarningText(2, 3) + "\r\n" + kRaiseCapacityQuestion) << c.what;
    EXPECT_EQ(f.platform.boxes[1].buttons, BoxButtons::YesNo) << c.what;
    if (c.boxes == 2) {
      EXPECT_NE(f.platform.boxes[2].text.find("今回の実行中だけ"), std::string::npos) << c.what;
    }
    EXPECT_EQ(f.app.index.count, c.indexed) << c.what;
    EXPECT_EQ(f.app.coverage.recordsIndexed, c.indexed) << c.what;
    EXPECT_EQ(f.platform.files.count("C:\\x.ini"), 1u) << c.what;  // saved either way
    if (c.remembered) {
      EXPECT_EQ(f.platform.files[kSettingPath], c.remembered) << c.what;
    } else {
      EXPECT_EQ(f.platform.files.count(kSettingPath), 0u) << c.what;
    }
    // The summary after the save, the whole of it in the tip.
    EXPECT_EQ(f.platform.status[kOperationPart], "全3件 " + std::string(c.indexed == 3 ? "指摘なし" : "指摘1件")) << c.what;
    EXPECT_EQ(f.platform.statusTip[kOperationPart], CoverageSummaryText(f.app.coverage)) << c.what;
    EXPECT_EQ(f.platform.status[kProgressPart], "") << c.what;
  }
}

TEST(CoverageWindow, ListsTheFindingsAndShowsTheRawTextAtTheOneChosen) {
  FakeApp f;
  // Record 2 lacks its end tag (merged with 3), junk after 4, a cut fifth.
  std::string dump = Records(1) + "<R>\r\nF:2\r\n" + Records(2).substr(0) + "junk\r\n<R>\r\nF:5\r\nSubj";
  Load(f, dump);
  f.Win(kMainWindowClass).MenuCommand(kCmdCoverage);
  ASSERT_EQ(f.platform.boxes.size(), 1u);  // no index made yet
  EXPECT_EQ(f.platform.boxes[0].text, "インデックスを作成してください!!");
  EXPECT_FALSE(f.Win(kCoverageWindowClass).IsVisible());

  ASSERT_EQ(CreateIndex(f.app), 0);
  f.Win(kMainWindowClass).MenuCommand(kCmdCoverage);
  MemoryWindow& w = f.Win(kCoverageWindowClass);
  EXPECT_TRUE(w.IsVisible());
  EXPECT_EQ(w.Text(kCoverageSummary), CoverageSummaryText(f.app.coverage));
  ASSERT_EQ(w.ListCount(kCoverageList), 3);
  const std::size_t merged = dump.find("<R>", dump.find("F:2"));
  const std::size_t junk = dump.find("junk");
  const std::size_t cut = dump.rfind("<R>");
  const std::size_t offsets[] = {merged, junk, cut};
  for (int row = 0; row < 3; ++row) {
    EXPECT_EQ(w.ListRow(kCoverageList, row), CoverageFindingText(f.app.coverage.findings[row])) << row;
    w.UserSelect(kCoverageList, row);
    const std::size_t from = CoverageExcerptStart(dump, static_cast<int64_t>(offsets[row]));
    EXPECT_EQ(w.Text(kCoverageText), dump.substr(from, kCoverageExcerptBytes)) << row;
    EXPECT_NE(w.Text(kCoverageText).find(dump.substr(offsets[row], 4)), std::string::npos) << row;
  }
  // Another mobile file: its bytes are not the coverage's.
  f.app.state.mobileFile = "x";
  f.app.views->MobileFileReplaced();
  EXPECT_EQ(w.Text(kCoverageText), "");
  EXPECT_EQ(w.ListCount(kCoverageList), 0);
}

TEST(CoverageWindow, TheRawTextStartsTwoLinesBeforeTheFinding) {
  const std::string text = "l1\nl2\nl3\nl4 x\nl5";
  const struct {
    int64_t offset;
    std::size_t start;
  } cases[] = {
      {0, 0}, {1, 0}, {6, 0}, {9, 3}, {13, 3}, {14, 6}, {1000, 6},
  };
  for (const auto& c : cases) EXPECT_EQ(CoverageExcerptStart(text, c.offset), c.start) << c.offset;
}

}  // namespace
}  // namespace tanavo
