// The case file in the data display: search, the next and previous hit, the
// way back to all records, the sorts, tags and the filter to tagged records,
// and the cases that are refused, on the fake platform with a real case file.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "app/case_display.h"
#include "app/display_window.h"
#include "app/main_window.h"
#include "app/tag_window.h"
#include "case/case_view.h"
#include "case/search_tokens.h"
#include "mail_records.h"

namespace tanavo {
namespace {

namespace fs = std::filesystem;

constexpr int kCmdDataDisplay = 1053;

struct DatedMail {
  Mail mail;
  std::string date;  // none when empty
};

// Numbers 1 to 5; sorted by time 5 2 1 3 (4 has none), by sender 5 3 4 2 1,
// by subject 2 5 3 1 4 (Shift_JIS: 議 8B63 < 週 8F54 < 無 96B3).
const std::vector<DatedMail> kMails = {
    {{"taro@x", "週報", "明日の会議は十時から", {}}, "Tue, 3 Apr 2012 10:00:00 +0900"},
    {{"hanako@y", "Lunch", "ランチに行きませんか", {}}, "Mon, 2 Apr 2012 12:00:00 +0900"},
    {{"akira@z", "議事録", "会議の議事録を送ります", {}}, "Wed, 4 Apr 2012 09:00:00 +0900"},
    {{"bob@w", "無題", "nothing here", {}}, ""},
    {{"aiko@v", "Re: 週報", "会議室を予約しました", {}}, "Sun, 1 Apr 2012 08:00:00 +0900"},
};

class CaseDisplayTest : public ::testing::Test {
 protected:
  void SetUp() override {
    dir = FreshTestFolder("case_display");
    f.platform.separator = '/';
    std::string dump;
    for (const DatedMail& m : kMails) {
      std::string r = MailRecord(m.mail);
      if (!m.date.empty()) r.insert(std::string("<MAIL>\r\n").size(), "Date: " + m.date + "\r\n");
      dump += r;
    }
    App& app = f.app;
    app.state.mobileFile = dump;
    const TagDefinition record = Def("D_SET", "MAIL", "<MAIL>", "</MAIL>");
    SetTable(app.extraction, {record, Item("Date", "Date: ", "\r\n"), Item("From", "From: ", "\r\n"),
                              Item("Subject", "Subject: ", "\r\n"), MailBody(), record});
    app.display.listLineTemplate = "??Subject??";
    app.display.layoutText = "??Subject?? ??Body??";
    CreateIndex(app);
    // The files the case is checked against, as loading an index names them.
    for (const char* name : {"m.dat", "m.kta", "m.kdp", "m.ini"}) WriteFile(name, name);
    app.state.mobileFilePath = SplitPath((dir / "m.dat").string(), '/');
    app.state.extractionFilePath = SplitPath((dir / "m.kta").string(), '/');
    app.state.displayFilePath = SplitPath((dir / "m.kdp").string(), '/');
    app.state.indexFilePath = SplitPath((dir / "m.ini").string(), '/');
  }
  void TearDown() override {
    f.app.caseSession.file.reset();
    fs::remove_all(dir);
  }

  void WriteFile(const std::string& name, const std::string& bytes) {
    std::ofstream(dir / name, std::ios::binary | std::ios::trunc) << bytes;
  }
  MemoryWindow& D() { return f.Win(kDisplayWindowClass); }
  MemoryWindow& Tags() { return f.Win(kTagWindowClass); }
  void Open() {
    CaseIndexReplaced(f.app);
    f.Win(kMainWindowClass).MenuCommand(kCmdDataDisplay);
  }
  void Search(const std::string& query) {
    D().Type(kDispSearchEdit, query);
    D().Click(kDispSearchButton);
  }
  // The record numbers of the list's rows.
  std::vector<int> Listed() {
    std::vector<int> numbers;
    for (int r = 0; r < D().ListCount(kDispRecordList); ++r) numbers.push_back(RecordOfRow(f.app, r));
    return numbers;
  }
  std::string Row(int r) { return D().ListRow(kDispRecordList, r); }
  std::string Shown() { return D().Text(kDispLayoutEdit); }

  FakeApp f;
  fs::path dir;
};

TEST_F(CaseDisplayTest, EnterInTheSearchFieldSearchesAsTheButtonDoes) {
  Open();
  D().Type(kDispSearchEdit, "会議");
  D().PressEnter(kDispSearchEdit);
  EXPECT_EQ(Listed(), (std::vector<int>{1, 3, 5}));
  EXPECT_EQ(D().Text(kDispHitCount), "ヒット 3件");
  EXPECT_EQ(Shown(), "週報 明日の会議は十時から");
}

TEST_F(CaseDisplayTest, ASearchListsItsHitsStepsThroughThemAndGoesBackToAll) {
  Open();
  for (int id : {kDispHitCount, kDispPreviousHit, kDispNextHit, kDispAllRecords}) EXPECT_FALSE(D().IsShown(id)) << id;
  EXPECT_FALSE(fs::exists(dir / "m.tcase"));  // made when first used, not before

  Search("会議");
  EXPECT_TRUE(fs::exists(dir / "m.tcase"));
  EXPECT_EQ(Listed(), (std::vector<int>{1, 3, 5}));
  EXPECT_EQ(Row(1), "(3)議事録");
  EXPECT_EQ(D().Text(kDispHitCount), "ヒット 3件");
  for (int id : {kDispHitCount, kDispPreviousHit, kDispNextHit, kDispAllRecords}) EXPECT_TRUE(D().IsShown(id)) << id;
  EXPECT_EQ(D().ListSelection(kDispRecordList), 0);
  EXPECT_EQ(Shown(), "週報 明日の会議は十時から");
  // Made with its progress in the status bar, which is empty again after.
  bool counted = false;
  for (const auto& [part, text] : f.platform.statusLog) counted = counted || (part == kProgressPart && text == "5/5件目");
  EXPECT_TRUE(counted);
  EXPECT_EQ(f.platform.status[kOperationPart], "");

  // Next and previous, held at the ends.
  const std::pair<int, std::string> steps[] = {{kDispNextHit, "議事録 会議の議事録を送ります"},
                                               {kDispNextHit, "Re: 週報 会議室を予約しました"},
                                               {kDispNextHit, "Re: 週報 会議室を予約しました"},
                                               {kDispPreviousHit, "議事録 会議の議事録を送ります"}};
  for (const auto& [button, text] : steps) {
    D().Click(button);
    EXPECT_EQ(Shown(), text);
  }
  // A choice in the list of hits renders the hit's record.
  D().UserSelect(kDispRecordList, 2);
  EXPECT_EQ(Shown(), "Re: 週報 会議室を予約しました");

  // Back to all records, the one on display still chosen, as the list keeps it when no search is active.
  D().Click(kDispAllRecords);
  EXPECT_EQ(Listed(), (std::vector<int>{1, 2, 3, 4, 5}));
  EXPECT_EQ(Row(0), "(1)週報");
  EXPECT_EQ(D().ListSelection(kDispRecordList), 4);
  EXPECT_EQ(D().Text(kDispSearchEdit), "");
  for (int id : {kDispHitCount, kDispPreviousHit, kDispNextHit, kDispAllRecords}) EXPECT_FALSE(D().IsShown(id)) << id;

  // A search for nothing found lists nothing; a query that is none says why
  // and leaves the list as it was.
  Search("存在しない語");
  EXPECT_TRUE(Listed().empty());
  EXPECT_EQ(D().Text(kDispHitCount), "ヒット 0件");
  Search("(会議");
  EXPECT_TRUE(Listed().empty());
  ASSERT_EQ(f.platform.boxes.size(), 1u);
  EXPECT_EQ(f.platform.boxes[0].text.rfind("検索式が正しくありません!!", 0), 0u);
  // An empty field is no search.
  Search("　 ");
  EXPECT_EQ(Listed().size(), 5u);
}

TEST_F(CaseDisplayTest, TheSortButtonOrdersByTimeSenderSubjectAndNumber) {
  Open();
  const struct {
    const char* caption;
    std::vector<int> all;
    std::vector<int> hits;  // of 会議
  } kSorts[] = {
      {"時刻順", {5, 2, 1, 3, 4}, {5, 1, 3}},
      {"差出人順", {5, 3, 4, 2, 1}, {5, 3, 1}},
      {"件名順", {2, 5, 3, 1, 4}, {5, 3, 1}},
      {"番号順", {1, 2, 3, 4, 5}, {1, 3, 5}},
  };
  for (const auto& s : kSorts) {
    D().Click(kDispSortButton);
    EXPECT_EQ(D().Text(kDispSortButton), s.caption);
    EXPECT_EQ(Listed(), s.all) << s.caption;
    Search("会議");
    EXPECT_EQ(Listed(), s.hits) << s.caption;
    D().Click(kDispAllRecords);
  }
  EXPECT_TRUE(f.platform.boxes.empty());
  // Reopening the display starts again from all records in number order.
  D().Click(kDispSortButton);
  f.Win(kMainWindowClass).MenuCommand(kCmdDataDisplay);
  EXPECT_EQ(D().Text(kDispSortButton), "番号順");
  EXPECT_EQ(Listed(), (std::vector<int>{1, 2, 3, 4, 5}));
}

TEST_F(CaseDisplayTest, ATagWithANoteMarksItsRecordAndTheFilterListsTaggedRecords) {
  Open();
  D().UserSelect(kDispRecordList, 2);
  D().Click(kDispTagButton);
  ASSERT_TRUE(Tags().IsVisible());
  EXPECT_EQ(Tags().Text(kTagRecordText), "(3)議事録");
  EXPECT_EQ(Tags().Text(kTagLabelEdit), kDefaultTagLabel);
  Tags().Type(kTagNoteEdit, "重要\r\n二行目");
  Tags().Click(kTagAddButton);
  ASSERT_EQ(Tags().ListCount(kTagList), 1);
  EXPECT_EQ(Tags().ListRow(kTagList, 0), "要確認　重要");
  EXPECT_EQ(Row(2), "★(3)議事録");
  EXPECT_EQ(D().ListSelection(kDispRecordList), 2);
  EXPECT_EQ(Row(1), "(2)Lunch");

  // The tag is in the case as the command line reads it.
  std::vector<CaseTag> saved;
  ASSERT_TRUE(ListTags(*f.app.caseSession.file, &saved));
  ASSERT_EQ(saved.size(), 1u);
  EXPECT_EQ(saved[0].record, 3);
  EXPECT_EQ(saved[0].note, SearchTextFromShiftJis("重要\r\n二行目"));

  // A search for the tag finds it; the filter alone lists it too.
  Search("tag:" + std::string("要確認"));
  EXPECT_EQ(Listed(), std::vector<int>{3});
  D().Click(kDispAllRecords);
  D().Click(kDispTaggedOnly);
  EXPECT_EQ(Listed(), std::vector<int>{3});
  EXPECT_EQ(D().Text(kDispHitCount), "タグ 1件");
  // Choosing a tag shows its whole note; removing it empties the filter.
  Tags().UserSelect(kTagList, 0);
  EXPECT_EQ(Tags().Text(kTagNoteEdit), "重要\r\n二行目");
  Tags().Click(kTagRemoveButton);
  EXPECT_EQ(Tags().ListCount(kTagList), 0);
  EXPECT_TRUE(Listed().empty());
  D().Click(kDispTaggedOnly);
  EXPECT_EQ(Row(2), "(3)議事録");
  // Nothing chosen in the tag list: a box, nothing removed.
  Tags().Click(kTagRemoveButton);
  ASSERT_EQ(f.platform.boxes.size(), 1u);
  EXPECT_EQ(f.platform.boxes[0].text, "外すタグを選んでください!!");
}

// The case with every page of its second half overwritten.
std::string Damaged(std::string bytes) {
  for (std::size_t i = bytes.size() / 2 / 4096 * 4096; i < bytes.size(); ++i) bytes[i] = static_cast<char>(bytes[i] ^ 0x5A);
  return bytes;
}

TEST_F(CaseDisplayTest, AForeignDamagedOrStaleCaseIsSaidAndNeitherUsedNorWritten) {
  // A case made, then each refusal set up anew on its own copy.
  Open();
  Search("会議");
  f.app.caseSession.file.reset();
  const std::string built = ReadBytes(dir / "m.tcase");
  ASSERT_FALSE(built.empty());
  const struct {
    const char* what;
    std::string caseBytes;
    const char* changedFile;
    std::string box;
  } kCases[] = {
      {"foreign", "this is no database at all, but a text of its own......", nullptr, "ケースファイルではありません!!"},
      {"damaged", Damaged(built), nullptr, "ケースファイルが壊れています!!"},
      {"settings changed", built, "m.kta", "ケースファイルの作成後に証拠ファイルが変更されています!!"},
      {"another index", built, "m.ini", "このケースファイルは別のインデックスから作成されています!!"},
  };
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.what);
    f.app.caseSession.file.reset();
    for (const char* name : {"m.tcase-wal", "m.tcase-shm"}) fs::remove(dir / name);
    WriteFile("m.tcase", c.caseBytes);
    for (const char* name : {"m.kta", "m.ini"}) WriteFile(name, name);
    if (c.changedFile) WriteFile(c.changedFile, "changed");
    f.platform.boxes.clear();
    Open();
    ASSERT_EQ(f.platform.boxes.size(), 1u);
    EXPECT_EQ(f.platform.boxes[0].text.rfind(c.box, 0), 0u) << f.platform.boxes[0].text;
    // Asked for again: said again, the list of all records kept.
    Search("会議");
    ASSERT_EQ(f.platform.boxes.size(), 2u);
    EXPECT_EQ(f.platform.boxes[1].text, f.platform.boxes[0].text);
    EXPECT_EQ(Listed().size(), 5u);
    D().Click(kDispTagButton);
    EXPECT_FALSE(Tags().IsVisible());
    f.app.caseSession.file.reset();
    EXPECT_EQ(ReadBytes(dir / "m.tcase"), c.caseBytes);
  }
}

TEST_F(CaseDisplayTest, AnIndexInNoFileHasNoCase) {
  f.app.state.indexFilePath = PathParts();
  Open();
  Search("会議");
  ASSERT_EQ(f.platform.boxes.size(), 1u);
  EXPECT_EQ(f.platform.boxes[0].text, "インデックスファイルを保存するか読み込んでください!!");
  EXPECT_EQ(Listed().size(), 5u);
  // Another order needs the case too.
  D().Click(kDispSortButton);
  EXPECT_EQ(f.platform.boxes.size(), 2u);
  EXPECT_EQ(D().Text(kDispSortButton), "番号順");
}

TEST(CaseView, StepRowIsHeldAtTheEnds) {
  const struct {
    int row, count, step, want;
  } kSteps[] = {{0, 3, 1, 1}, {2, 3, 1, 2}, {0, 3, -1, 0}, {-1, 3, 1, 0}, {-1, 3, -1, 2}, {1, 0, 1, -1}, {5, 3, -1, 2}};
  for (const auto& s : kSteps) EXPECT_EQ(StepRow(s.row, s.count, s.step), s.want) << s.row << " " << s.step;
}

TEST(CaseView, ShiftJisOfUtf8TurnsBackWhatTheCaseWasGiven) {
  const std::string sjis = "ﾃｽﾄ テスト 漢字①～ ABC";
  EXPECT_EQ(ShiftJisOfUtf8(SearchTextFromShiftJis(sjis)), sjis);
  EXPECT_EQ(ShiftJisOfUtf8("\xF0\x9F\x98\x80"), "\x81\xAC");  // no character of code page 932
}

}  // namespace
}  // namespace tanavo
