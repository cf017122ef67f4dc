// The coverage of a mobile file by its index, on dumps built piece by piece:
// each piece says what it is, and the builder counts records, gaps and
// findings itself, so the coverage is checked against a count of its own.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "index/coverage.h"
#include "index/index_creation.h"
#include "test_support.h"

namespace tanavo {
namespace {

enum class Piece { Record, Blank, Junk, Merged, Cut };

// A dump and what it holds, counted as it is built.
struct Dump {
  std::string text;
  int records = 0;
  int64_t recordBytes = 0, gapBytes = 0, cutBytes = 0;
  std::vector<int64_t> starts;  // 0-based offset of each whole record
  std::vector<std::pair<CoverageKind, int64_t>> findings;

  void Add(Piece p) {
    const int64_t at = static_cast<int64_t>(text.size());
    const std::string n = std::to_string(records + 1);
    switch (p) {
      case Piece::Record: Whole("<R>\r\nF:" + n + "\r\n</R>"); break;
      case Piece::Blank: Gap(" \t\r\n\r\n"); break;
      case Piece::Junk:
        Gap("\r\n garbage\r\n");
        findings.push_back({CoverageKind::NonBlankGap, at + 3});  // its first byte that is not blank
        break;
      case Piece::Merged:  // the end tag of the first is missing: two records read as one
        Whole("<R>\r\nF:" + n + "\r\n<R>\r\nF:x\r\n</R>");
        findings.push_back({CoverageKind::MergedRecords, static_cast<int64_t>(text.find("\n<R>", at)) + 1});
        break;
      case Piece::Cut:
        findings.push_back({CoverageKind::CutTail, at});
        text += "<R>\r\nF:" + n + "\r\nSubj";
        cutBytes = static_cast<int64_t>(text.size()) - at;
        break;
    }
  }
  void Whole(const std::string& r) {
    starts.push_back(static_cast<int64_t>(text.size()));
    text += r;
    ++records;
    recordBytes += static_cast<int64_t>(r.size());
  }
  void Gap(const std::string& g) {
    text += g;
    gapBytes += static_cast<int64_t>(g.size());
  }
};

struct CoverageCase {
  const char* what;
  std::vector<Piece> pieces;
  int capacity;
};

TEST(Coverage, AccountsForEveryByteAsTheDumpWasBuilt) {
  using P = Piece;
  const CoverageCase cases[] = {
      {"records only", {P::Record, P::Record, P::Record}, kIndexSlots},
      {"blank gaps are no finding", {P::Blank, P::Record, P::Blank, P::Record, P::Blank}, kIndexSlots},
      {"junk before, between and after", {P::Junk, P::Record, P::Junk, P::Record, P::Junk}, kIndexSlots},
      {"cut last record", {P::Record, P::Record, P::Cut}, kIndexSlots},
      {"cut after a gap with junk", {P::Record, P::Junk, P::Cut}, kIndexSlots},
      {"missing end tag merges two", {P::Record, P::Merged, P::Record}, kIndexSlots},
      {"nothing but a cut record", {P::Cut}, kIndexSlots},
      {"nothing but junk", {P::Junk}, kIndexSlots},
      {"left out by the capacity", {P::Record, P::Record, P::Junk, P::Record, P::Merged, P::Cut}, 2},
      {"capacity of exactly the records", {P::Record, P::Record}, 2},
  };
  for (const CoverageCase& c : cases) {
    Dump d;
    for (Piece p : c.pieces) d.Add(p);
    FakeApp f;
    f.app.state.mobileFile = d.text;
    SetTable(f.app.extraction, {Def("D_SET", "R", "<R>", "</R>"), Item("From", "F:", "\r\n"), Def("D_SET", "R", "<R>", "</R>")});
    f.app.display.listLineTemplate = "??From??";
    SetRecordCapacity(f.app.index, c.capacity);
    ASSERT_EQ(CreateIndex(f.app), 0) << c.what;
    const Coverage& cov = f.app.coverage;
    const int indexed = std::min(d.records, c.capacity);
    ASSERT_TRUE(cov.made) << c.what;
    EXPECT_EQ(f.app.index.count, indexed) << c.what;
    EXPECT_EQ(cov.fileBytes, static_cast<int64_t>(d.text.size())) << c.what;
    EXPECT_EQ(cov.recordsFound, d.records) << c.what;
    EXPECT_EQ(cov.recordsIndexed, indexed) << c.what;
    EXPECT_EQ(cov.recordsLeftOut, d.records - indexed) << c.what;
    EXPECT_EQ(cov.recordBytes, d.recordBytes) << c.what;
    EXPECT_EQ(cov.gapBytes, d.gapBytes) << c.what;
    EXPECT_EQ(cov.cutBytes, d.cutBytes) << c.what;
    EXPECT_EQ(cov.recordBytes + cov.gapBytes + cov.cutBytes, cov.fileBytes) << c.what;

    auto expected = d.findings;
    if (d.records > indexed) expected.push_back({CoverageKind::LeftOut, d.starts[static_cast<std::size_t>(indexed)]});
    std::sort(expected.begin(), expected.end(), [](auto& a, auto& b) { return a.second < b.second; });
    std::vector<std::pair<CoverageKind, int64_t>> found;
    for (const CoverageFinding& x : cov.findings) found.push_back({x.kind, x.offset});
    EXPECT_EQ(found, expected) << c.what;
    for (const CoverageFinding& x : cov.findings) {
      if (x.kind != CoverageKind::LeftOut) continue;
      EXPECT_EQ(x.records, d.records - indexed) << c.what;
      EXPECT_EQ(x.record, indexed + 1) << c.what;
    }
  }
}

// The start tag again inside a record counts where a line starts, after any
// line break, or anywhere for a start tag that begins with a line break.
TEST(Coverage, TheStartTagAgainCountsAtTheStartOfALine) {
  const struct {
    const char* what;
    std::string startTag, record;
    int merged;
  } cases[] = {
      {"after CR LF", "<R>", "<R>a\r\n<R>b\r\n</R>", 1},
      {"after LF", "<R>", "<R>a\n<R>b\n</R>", 1},
      {"after a bare CR", "<R>", "<R>a\r<R>b\r</R>", 1},
      {"inside a line", "<R>", "<R>a <R>b\r\n</R>", 0},
      {"at the end, cut short", "<R>", "<R>a\r\n<R</R>", 0},
      {"twice", "<R>", "<R>\r\n<R>\r\n<R>\r\n</R>", 2},
      {"a tag led by a line break, anywhere", "\n<R>", "\n<R>a\n<R>b</R>", 1},
  };
  for (const auto& c : cases) {
    RecordIndex index;
    ExtractionSettings s;
    SetTable(s, {Def("D_SET", "R", c.startTag, "</R>"), Def("D_SET", "R", c.startTag, "</R>")});
    const Coverage cov = ComputeCoverage(c.record, s, index);
    EXPECT_EQ(cov.recordsFound, 1) << c.what;
    EXPECT_EQ(cov.mergedRecords, c.merged) << c.what;
  }
}

// Records of every length from a few bytes to past several 64-byte steps,
// the start tag placed anywhere in them: each place at a line start (or, for
// a tag led by a line break, each place at all) is one finding at its offset.
TEST(Coverage, TheStartTagAgainIsFoundAtEveryPlaceOfARecord) {
  const char* const tags[] = {"<R>", "R", "\n<R>", "BEGIN:MAIL", "\r\nR"};
  const char alphabet[] = {'\r', '\n', 'x', '<', 'R', '>', 'B', 'L'};
  uint32_t seed = 12345;
  const auto next = [&seed] { return (seed = seed * 1103515245u + 12345u) >> 16; };
  for (const std::string tag : tags) {
    ExtractionSettings s;
    SetTable(s, {Def("D_SET", "R", tag, "#"), Def("D_SET", "R", tag, "#")});
    const bool ownLineBreak = tag.front() == '\r' || tag.front() == '\n';
    for (int round = 0; round < 400; ++round) {
      std::string record = tag;
      const std::size_t length = next() % 200;
      while (record.size() < tag.size() + length) {
        if (next() % 6 == 0) record += tag;
        else record += alphabet[next() % sizeof alphabet];
      }
      record += "#";
      std::vector<int64_t> expected;
      for (std::size_t at = 1; at + tag.size() <= record.size() - 1; ++at) {
        if (record.compare(at, tag.size(), tag) != 0) continue;
        if (ownLineBreak || record[at - 1] == '\n' || record[at - 1] == '\r') expected.push_back(static_cast<int64_t>(at));
      }
      RecordIndex index;
      const Coverage cov = ComputeCoverage(record, s, index);
      std::vector<int64_t> found;
      for (const CoverageFinding& f : cov.findings) {
        if (f.kind == CoverageKind::MergedRecords) found.push_back(f.offset);
      }
      ASSERT_EQ(cov.recordsFound, 1) << record;
      EXPECT_EQ(found, expected) << record;
    }
  }
}

TEST(Coverage, FindingTextsLeadWithTheOffset) {
  CoverageFinding cut;
  cut.kind = CoverageKind::CutTail;
  cut.offset = 0x1A2B;
  cut.length = 40;
  cut.record = 3;
  EXPECT_EQ(CoverageFindingText(cut).rfind("0x00001A2B: 3件目のレコードが途中で切れています", 0), 0u) << CoverageFindingText(cut);
  Coverage c;
  c.recordsFound = 3000;
  c.recordsIndexed = 2500;
  c.recordsLeftOut = 500;
  c.fileBytes = 1000;
  c.recordBytes = 999;
  c.findings.push_back(cut);
  EXPECT_EQ(CoverageSummaryText(c), "レコード 3000件 (登録 2500件)、レコード内 99.9%、指摘 1件");
}

}  // namespace
}  // namespace tanavo
