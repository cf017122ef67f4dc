#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "index/index_creation.h"
#include "test_support.h"

namespace tanavo {
namespace {

using namespace std::string_literals;

const TagDefinition kRecord = Def("D_SET", "MAIL", "<R>", "</R>");

struct IndexApp : FakeApp {
  void Load(const std::string& mobile, const std::vector<TagDefinition>& table, const std::string& listTemplate) {
    app.state.mobileFile = mobile;
    SetTable(app.extraction, table);
    app.display.listLineTemplate = listTemplate;
  }
  std::vector<std::string> Lines() const {
    std::vector<std::string> out;
    for (int n = 1; n <= app.index.count; ++n) out.push_back(app.index.lines[n]);
    return out;
  }
};

TEST(CreateIndex, ThreeRecordsGetTheirStartAndLine) {
  IndexApp f;
  const std::string r1 = "<R>F:a@x\r\n</R>", r2 = "<R>F:b@y\r\n</R>", r3 = "<R>F:c@z\r\n</R>";
  f.Load("head" + r1 + "\r\n" + r2 + r3, {kRecord, Item("From", "F:", "\r\n"), kRecord}, "??From??");
  ASSERT_EQ(CreateIndex(f.app), 0);
  EXPECT_EQ(f.app.index.count, 3);
  EXPECT_EQ(f.app.index.positions[1], 5);
  EXPECT_EQ(f.app.index.positions[2], static_cast<int32_t>(5 + r1.size() + 2));
  EXPECT_EQ(f.app.index.positions[3], static_cast<int32_t>(5 + r1.size() + 2 + r2.size()));
  EXPECT_EQ(f.Lines(), (std::vector<std::string>{"a@x", "b@y", "c@z"}));
  EXPECT_TRUE(f.platform.boxes.empty());
  // The counter runs right-aligned in four columns; both parts end empty.
  EXPECT_EQ(f.platform.statusLog.front(), (std::pair<int, std::string>{0, "インデックス作成中"}));
  EXPECT_EQ(f.platform.statusLog[1], (std::pair<int, std::string>{1, "   1件目処理中"}));
  // However seldom the counter is shown, it ends on the last record before it is emptied.
  ASSERT_GE(f.platform.statusLog.size(), 4u);
  EXPECT_EQ(f.platform.statusLog[f.platform.statusLog.size() - 3], (std::pair<int, std::string>{1, "   3件目処理中"}));
  EXPECT_EQ(f.platform.status[0], "");
  EXPECT_EQ(f.platform.status[1], "");
}

// How one record's line comes out of a template and the record's items.
struct LineCase {
  const char* what;
  std::string record;
  std::vector<TagDefinition> items;  // between the two D_SET entries
  std::string listTemplate;
  std::string line;
};

TEST(CreateIndex, FillsPlaceholdersOfTheTemplate) {
  const TagDefinition from = Item("From", "F:", "\r\n");
  const TagDefinition to = Item("To", "T:", "\r\n");
  const TagDefinition repeatedTo = Item("To", "T:", "\r\n", true);
  const LineCase cases[] = {
      {"padded width 16, value of 4", "F:abcd\r\n", {from}, "[??From        ??]", "[abcd            ]"},
      {"bare", "F:abcd\r\n", {from}, "[??From??]", "[abcd]"},
      {"longer value is not cut", "F:abcdefghijk\r\n", {from}, "[??From  ??]", "[abcdefghijk]"},
      {"empty value, padded", "F:\r\n", {from}, "[??From  ??]", "[          ]"},
      {"missing item gets the empty value", "", {from}, "[??From??]", "[]"},
      {"a name that starts another fills its placeholder first", "F:x\r\nFr:y\r\n",
       {Item("Fr", "Fr:", "\r\n"), from}, "??From??", "y       "},
      // A placeholder left without a value is blank, as in the layout: a
      // bare one vanishes, a padded one leaves spaces of its width.
      {"repeated item named twice: only the first", "T:1\r\nT:2\r\n", {repeatedTo}, "??To?? ??To??", "1 "},
      {"repeated item stops the record once counted", "T:1\r\nT:2\r\nF:f\r\n", {repeatedTo, from},
       "??To??,??To??,??From??", "1,2,"},
      {"repeated item never found, padded", "F:f\r\n", {repeatedTo, from}, "[??To    ??][??From??]", "[          ][f]"},
      {"unreferenced items leave no trace", "F:f\r\nT:t\r\n", {from, to}, "[??From??]", "[f]"},
      {"no placeholder: the template itself", "F:f\r\n", {from}, "fixed", "fixed"},
      {"NUL bytes are removed from the line", "F:a\0b\r\n"s, {from}, "\0[??From??]\0"s, "[ab]"},
      {"multipart marker is the value",
       "M:Content-Type: multipart/mixed; boundary=\"b\"\r\n\r\n--b--\r\n", {[] {
          TagDefinition m = Item("Mail", "M:", "\r\n\r\n");
          m.dataTypeStartTag = m.dataTypeEndTag = "*";
          return m;
        }()},
       "??Mail??", "multipart/mixed"},
  };
  for (const LineCase& c : cases) {
    IndexApp f;
    std::vector<TagDefinition> table{kRecord};
    table.insert(table.end(), c.items.begin(), c.items.end());
    table.push_back(kRecord);
    f.Load("<R>" + c.record + "</R>", table, c.listTemplate);
    ASSERT_EQ(CreateIndex(f.app), 0) << c.what;
    EXPECT_EQ(f.app.index.count, 1) << c.what;
    EXPECT_EQ(f.app.index.lines[1], c.line) << c.what;
  }
}

TEST(CreateIndex, RecordEndingAtTheLastByteEndsTheScan) {
  IndexApp f;
  f.Load("<R>F:1\r\n</R><R>F:2\r\n</R>", {kRecord, Item("From", "F:", "\r\n"), kRecord}, "??From??");
  ASSERT_EQ(CreateIndex(f.app), 0);
  EXPECT_EQ(f.Lines(), (std::vector<std::string>{"1", "2"}));
}

TEST(CreateIndex, RefusesWithoutWhatItNeedsAndKeepsTheOldIndex) {
  struct Refusal {
    std::string mobile;
    std::vector<TagDefinition> table;
    std::string listTemplate;
    std::string warning;
  };
  const TagDefinition from = Item("From", "F:", "\r\n");
  const Refusal refusals[] = {
      {"", {kRecord, from, kRecord}, "??From??", "携帯データを読み込んでください!!"},
      {"<R></R>", {}, "??From??", "抽出設定ファイルを読み込んでください!!"},
      {"<R></R>", {kRecord, from, kRecord}, "", "表示設定ファイルを読み込んでください!!"},
      {"<R></R>", {from}, "??From??", "D_SETタグが設定されていません!!"},
  };
  for (const Refusal& r : refusals) {
    IndexApp f;
    f.app.index.count = 2;
    f.app.index.positions[1] = 7;
    f.app.index.lines[2] = "old";
    f.Load(r.mobile, r.table, r.listTemplate);
    CreateAndSaveIndex(f.app);
    ASSERT_EQ(f.platform.boxes.size(), 2u) << r.warning;
    EXPECT_EQ(f.platform.boxes[0].text, r.warning);
    EXPECT_EQ(f.platform.boxes[0].caption, "警告");
    EXPECT_EQ(f.platform.boxes[1].text, "インデックス作成に失敗しました！！");
    EXPECT_EQ(f.app.index.count, 2);
    EXPECT_EQ(f.app.index.positions[1], 7);
    EXPECT_EQ(f.app.index.lines[2], "old");
    EXPECT_TRUE(f.platform.dialogs.empty());  // nothing to save
  }
}

TEST(CreateIndex, UsesTheFirstTwentyNamedEntriesAndWarnsOnce) {
  IndexApp f;
  std::vector<TagDefinition> table{kRecord};
  std::string record, listTemplate, line;
  for (int i = 1; i <= 21; ++i) {
    const std::string n = std::to_string(i);
    table.push_back(Item("D" + n, "<" + n + ">", "</" + n + ">"));
    record += "<" + n + ">v" + n + "</" + n + ">";
    listTemplate += "??D" + n + "??,";
    line += i <= 20 ? "v" + n + "," : ",";  // the entry past twenty is blank
  }
  table.push_back(kRecord);
  f.Load("<R>" + record + "</R><R>" + record + "</R>", table, listTemplate);
  ASSERT_EQ(CreateIndex(f.app), 0);
  EXPECT_EQ(f.Lines(), (std::vector<std::string>{line, line}));
  ASSERT_EQ(f.platform.boxes.size(), 1u);
  EXPECT_EQ(f.platform.boxes[0].caption, "警告");
  EXPECT_NE(f.platform.boxes[0].text.find("20"), std::string::npos);
}

TEST(CreateIndex, StopsAtTheIndexCapacity) {
  for (int records : {kIndexSlots, kIndexSlots + 1}) {
    IndexApp f;
    std::string mobile;
    for (int i = 1; i <= records; ++i) mobile += "<R>F:" + std::to_string(i) + "\r\n</R>";
    f.Load(mobile, {kRecord, Item("From", "F:", "\r\n"), kRecord}, "??From??");
    ASSERT_EQ(CreateIndex(f.app), 0);
    EXPECT_EQ(f.app.index.count, kIndexSlots);
    EXPECT_EQ(f.app.index.lines[kIndexSlots], std::to_string(kIndexSlots));
    ASSERT_EQ(f.platform.boxes.size(), records > kIndexSlots ? 1u : 0u) << records;
    if (records > kIndexSlots) {
      EXPECT_EQ(f.platform.boxes[0].text, "レコードが2500件を超えています(全2501件)。2501件目以降はインデックスに登録されません!!");
    }
  }
}

TEST(CreateIndexCommand, AsksFirstThenSavesUnderTheProposedName) {
  IndexApp f;
  f.Load("<R>F:1\r\n</R>", {kRecord, Item("From", "F:", "\r\n"), kRecord}, "??From??");
  f.app.state.mobileFilePath = PathParts{"D:\\work", "phone", "dat"};
  f.platform.boxAnswers.push_back(BoxAnswer::Cancel);
  CreateIndexCommand(f.app);
  ASSERT_EQ(f.platform.boxes.size(), 1u);
  EXPECT_EQ(f.platform.boxes[0].text, "処理に時間が掛かります．\r\n実行して宜しいですか？");
  EXPECT_EQ(f.platform.boxes[0].caption, "注意");
  EXPECT_EQ(f.platform.boxes[0].buttons, BoxButtons::OkCancel);
  EXPECT_EQ(f.app.index.count, 0);

  f.platform.dialogAnswers.push_back("D:\\work\\phonedat.ini");
  CreateIndexCommand(f.app);
  EXPECT_EQ(f.app.index.count, 1);
  ASSERT_EQ(f.platform.dialogs.size(), 1u);
  EXPECT_TRUE(f.platform.dialogs[0].save);
  EXPECT_EQ(f.platform.dialogs[0].decl.title, "インデックスファイルの保存");
  EXPECT_EQ(f.platform.dialogs[0].decl.fileName, "phonedat.ini");
  EXPECT_EQ(f.platform.dialogs[0].decl.filters[0].label, "インデックスファイル(*.ini)");
  EXPECT_EQ(f.platform.dialogs[0].decl.filters[0].pattern, "*.ini");
  EXPECT_EQ(f.platform.files.count("D:\\work\\phonedat.ini"), 1u);
}

}  // namespace
}  // namespace tanavo
