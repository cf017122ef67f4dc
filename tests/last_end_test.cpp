// What a search-after-previous item finds after an entry that matched
// nothing, seen the same in the check, the data display and the index.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/result_window.h"
#include "check/trial_extraction.h"
#include "display/render.h"
#include "index/index_creation.h"
#include "test_support.h"

namespace tanavo {
namespace {

TagDefinition AfterPrevious(TagDefinition e) {
  e.searchAfterPrevious = "Y";
  return e;
}

TagDefinition Repeated(TagDefinition e) {
  e.applyToMultiple = "Y";
  return e;
}

const TagDefinition kR = Def("D_SET", "R", "<r>", "</r>");
const TagDefinition kX = Item("X", "X:", ";");
const TagDefinition kM = AfterPrevious(Item("M", "M:", ";"));
const TagDefinition kG = Def("Group", "G", "<g>", "</g>");

// Entries that match nothing in the record before M: none of them moves M's
// search start, which stays just after the start of the record text.
struct Case {
  const char* what;
  std::vector<TagDefinition> table;
};
const Case kCases[] = {
    {"repeated Data item without occurrence", {kR, kX, Item("T", "T:", ";", true), kM, kR}},
    {"repeated Group never found", {kR, kX, Repeated(kG), kG, kM, kR}},
    {"closing entry searched as an opening one", {kR, kG, kX, kG, kM, kR}},
};
const std::string kRecord = "<r>M:m;X:1;</r>";

void Load(FakeApp& f, const Case& c, const std::string& mobile) {
  f.app.state.mobileFile = mobile;
  SetTable(f.app.extraction, c.table);
  f.app.display.listLineTemplate = "[??M??]";
  f.app.display.layoutText = "[??M??]";
}

TEST(SearchAfterPrevious, EntryThatMatchedNothingKeepsItsLastEnd) {
  for (const Case& c : kCases) {
    {
      FakeApp f;
      Load(f, c, kRecord);
      TrialExtraction(f.app);
      const std::string shown = f.Win(kResultWindowClass).Text(kResultTextView);
      EXPECT_NE(shown.find("M\r\nM:m;\r\n抽出結果\r\nm\r\n"), std::string::npos) << c.what << ": check\n" << shown;
    }
    {
      FakeApp f;
      Load(f, c, kRecord);
      ASSERT_EQ(CreateIndex(f.app), 0) << c.what;
      ASSERT_EQ(f.app.index.count, 1) << c.what;
      EXPECT_EQ(f.app.index.lines[1], "[m]") << c.what << ": index";
      const RenderedRecord r = RenderRecord(f.app, 1);
      ASSERT_EQ(r.status, RenderStatus::Rendered) << c.what;
      EXPECT_EQ(r.text, "[m]") << c.what << ": render";
    }
  }
}

TEST(SearchAfterPrevious, EveryListLineHoldsWhatItsRecordShows) {
  // Record 2 lacks the optional entry that record 1 holds: its M is searched
  // from the start of its own text, as rendering searches it.
  const std::string r1 = "<r>X:1;T:a;<g></g>M:m;</r>", r2 = "<r>M:n;X:2;</r>";
  const Case tables[] = {
      {"repeated Data item", {kR, kX, Item("T", "T:", ";", true), kM, kR}},
      {"repeated Group", {kR, kX, Item("T", "T:", ";"), Repeated(kG), kG, kM, kR}},
  };
  for (const Case& c : tables) {
    FakeApp f;
    Load(f, c, r1 + r2);
    ASSERT_EQ(CreateIndex(f.app), 0) << c.what;
    ASSERT_EQ(f.app.index.count, 2) << c.what;
    for (int n = 1; n <= 2; ++n) {
      const RenderedRecord r = RenderRecord(f.app, n);
      ASSERT_EQ(r.status, RenderStatus::Rendered) << c.what << " " << n;
      EXPECT_EQ(f.app.index.lines[n], r.text) << c.what << " " << n;
    }
    EXPECT_EQ(f.app.index.lines[2], "[n]") << c.what;
  }
}

}  // namespace
}  // namespace tanavo
