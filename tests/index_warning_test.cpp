// What index creation and the index file loader warn of, as codes through
// the caller's reporter, and as the same boxes without one.
#include <gtest/gtest.h>

#include <string>
#include <tuple>
#include <vector>

#include "dispset/kdp_file.h"
#include "extract/kta_file.h"
#include "index/index_creation.h"
#include "index/index_file.h"
#include "index/index_warning.h"
#include "state/workspace.h"
#include "test_support.h"

namespace tanavo {
namespace {

using Warned = std::tuple<IndexWarning, int64_t, int64_t>;

class Recorder : public IndexReporter {
 public:
  void Warn(IndexWarning w, int64_t count, int64_t total) override { warned.emplace_back(w, count, total); }
  std::vector<Warned> warned;
};

const char kIni[] = "D:\\w\\x.ini";
const std::string kHead = "((D:\\w\\m.dat))\r\n((D:\\w\\m.kta))\r\n((D:\\w\\m.kdp))\r\n";

// The three files an index names, on the fake disk.
void PutNamedFiles(FakePlatform& p) {
  p.files["D:\\w\\m.dat"] = "<R>F:one\r\n</R>\r\n<R>F:two\r\n</R>";
  p.files["D:\\w\\m.kta"] = EncodeEntry(Def("D_SET", "MAIL", "<R>", "</R>")) + EncodeEntry(Item("From", "F:", "\r\n")) +
                            EncodeEntry(Def("D_SET", "MAIL", "<R>", "</R>"));
  p.files["D:\\w\\m.kdp"] = BuildDisplaySettingsFile("??From??", "??From??");
}

TEST(IndexWarnings, TheIndexFileReportsWhatItCouldNotReadByCode) {
  struct Case {
    const char* what;
    std::string records;
    int32_t capacity;
    IndexFileStatus status;
    Warned warned;
  };
  const Case cases[] = {
      {"cut after its first record", "((2))\r\n((1))[one][[1]]\r\n", kAllRecords, IndexFileStatus::Partial,
       {IndexWarning::Truncated, 1, 0}},
      {"second record without its number's end", "((2))\r\n((1))[one][[1]]\r\n((2[two][[17]]", kAllRecords,
       IndexFileStatus::Partial, {IndexWarning::Damaged, 1, 0}},
      {"more records than the capacity", "((2))\r\n((1))[one][[1]]\r\n((2))[two][[17]]\r\n", 1, IndexFileStatus::Done,
       {IndexWarning::OverCapacity, 1, 0}},
  };
  for (const Case& c : cases) {
    FakePlatform p;
    PutNamedFiles(p);
    p.files[kIni] = kHead + c.records;
    Workspace ws(p);
    SetRecordCapacity(ws.index, c.capacity);
    Recorder r;
    EXPECT_EQ(LoadIndexFile(ws, kIni, &r), c.status) << c.what;
    EXPECT_EQ(r.warned, std::vector<Warned>{c.warned}) << c.what;
    EXPECT_TRUE(p.boxes.empty()) << c.what;
    EXPECT_EQ(ws.index.count, 1) << c.what;

    // Without a reporter, the box that says it.
    FakePlatform boxed;
    PutNamedFiles(boxed);
    boxed.files[kIni] = p.files[kIni];
    Workspace shown(boxed);
    SetRecordCapacity(shown.index, c.capacity);
    EXPECT_EQ(LoadIndexFile(shown, kIni), c.status) << c.what;
    ASSERT_EQ(boxed.boxes.size(), 1u) << c.what;
    EXPECT_EQ(boxed.boxes[0].caption, "警告") << c.what;
    EXPECT_EQ(boxed.boxes[0].text, IndexWarningText(std::get<0>(c.warned), 1)) << c.what;
  }
  EXPECT_EQ(IndexWarningText(IndexWarning::Truncated, 1), "インデックスファイルが途中で終わっています。1件目までを読み込みました!!");
  EXPECT_EQ(IndexWarningText(IndexWarning::Damaged, 1), "インデックスファイルの2件目が壊れています。1件目までを読み込みました!!");
  EXPECT_EQ(IndexWarningText(IndexWarning::OverCapacity, 1),
            "インデックスファイルのレコードが1件を超えています。2件目以降は読み込みませんでした!!");
}

TEST(IndexWarnings, CreationRefusesWithTheCodeOfWhatIsMissing) {
  FakePlatform p;
  PutNamedFiles(p);
  Workspace ws(p);
  Recorder r;
  EXPECT_EQ(CreateIndex(ws, false, &r), 1);
  ws.state.mobileFile = p.files["D:\\w\\m.dat"];
  EXPECT_EQ(CreateIndex(ws, false, &r), 1);
  SetTable(ws.extraction, {Item("From", "F:", "\r\n")});
  EXPECT_EQ(CreateIndex(ws, false, &r), 1);
  ws.display.listLineTemplate = "??From??";
  EXPECT_EQ(CreateIndex(ws, false, &r), 1);
  SetTable(ws.extraction, {Def("D_SET", "MAIL", "<R>", "</R>"), Item("From", "F:", "\r\n"), Def("D_SET", "MAIL", "<R>", "</R>")});
  SetRecordCapacity(ws.index, 1);
  EXPECT_EQ(CreateIndex(ws, false, &r), 0);
  EXPECT_EQ(r.warned, (std::vector<Warned>{{IndexWarning::NoMobileFile, 0, 0},
                                           {IndexWarning::NoExtractionSettings, 0, 0},
                                           {IndexWarning::NoDisplaySettings, 0, 0},
                                           {IndexWarning::NoDSet, 0, 0},
                                           {IndexWarning::RecordsLeftOut, 1, 2}}));
  EXPECT_TRUE(p.boxes.empty());
  EXPECT_EQ(IndexWarningText(IndexWarning::RecordsLeftOut, 1, 2), LeftOutWarningText(1, 2));
}

}  // namespace
}  // namespace tanavo
