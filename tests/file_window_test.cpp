// A mobile file read a window at a time must give what the whole file gives:
// the D_SET search, the bytes a record's walk needs, and the coverage, on
// random files of tags, line breaks and continuation marks, with windows
// from one byte up, so that every boundary falls everywhere.
#include <gtest/gtest.h>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "engine/file_window.h"
#include "engine/walk.h"
#include "index/coverage.h"
#include "platform/fake/fake_file_system.h"
#include "support/entries.h"

namespace tanavo {
namespace {

struct Random {
  uint32_t seed;
  uint32_t Next() { return (seed = seed * 1103515245u + 12345u) >> 16; }
};

// A file of pieces that make matches, near misses and continuations likely.
std::string RandomFile(Random& r, std::size_t length) {
  static const char* const kPieces[] = {"<R>", "</R>", "\r\n", "\n", "=", " ", "x", "<R", "R>", "\t", "</R>="};
  std::string f;
  while (f.size() < length) f += kPieces[r.Next() % (sizeof kPieces / sizeof kPieces[0])];
  return f;
}

// The D_SET entries looked for: plain, with a line end before the end tag,
// with a next-line head after it, with empty tags.
std::vector<TagDefinition> RecordEntries() {
  std::vector<TagDefinition> entries = {Def("D_SET", "R", "<R>", "</R>"), Def("D_SET", "R", "", "</R>"),
                                        Def("D_SET", "R", "<R>", ""), Def("D_SET", "R", "\r\n", "\n")};
  TagDefinition lineEnd = Def("D_SET", "R", "<R>", "</R>");
  lineEnd.lineEnd = "=";
  TagDefinition head = Def("D_SET", "R", "<R>", "</R>");
  head.nextLineHead = " ";
  TagDefinition both = Def("D_SET", "R", "<R>", "\r\n");
  both.lineEnd = "=";
  both.nextLineHead = "\t";
  entries.insert(entries.end(), {lineEnd, head, both});
  return entries;
}

struct Opened {
  FakeFileSystem fs;
  std::unique_ptr<FileReader> reader;
  explicit Opened(const std::string& bytes) {
    fs.files["f"] = bytes;
    EXPECT_EQ(fs.OpenFileReader("f", &reader), ReadStatus::Ok);
  }
};

TEST(FileWindow, TheRecordSearchFindsWhatTheWholeFileGives) {
  Random r{7};
  for (int round = 0; round < 60; ++round) {
    const std::string file = RandomFile(r, r.Next() % 300);
    for (const TagDefinition& e : RecordEntries()) {
      for (std::size_t windowBytes : {1, 3, 16, 1000}) {
        Opened o(file);
        FileWindow w(*o.reader, windowBytes);
        // Rising positions as a walk of records asks, and one that goes back.
        for (int32_t from = 0; from <= static_cast<int32_t>(file.size()) + 2; from += 1 + static_cast<int32_t>(r.Next() % 9)) {
          const TagMatch whole = ExtractBetweenTags(file, e.rangeStartTag, e.rangeEndTag, from, e.lineEnd,
                                                    e.nextLineHead, ExtractMode::WithTags);
          TagMatch m;
          ASSERT_TRUE(FindRangeInFile(w, e, from, ExtractMode::WithTags, &m));
          const std::string what = file + " from " + std::to_string(from) + " window " + std::to_string(windowBytes);
          ASSERT_EQ(m.status, whole.status) << what;
          if (whole.status != MatchStatus::Found) continue;
          EXPECT_EQ(m.start, whole.start) << what;
          EXPECT_EQ(m.end, whole.end) << what;
          EXPECT_EQ(m.text, whole.text) << what;
          // The bytes kept for the record's walk give it the same record.
          const RecordBytes b = RecordBytesOf(e, from, m, file.size());
          const std::string part = file.substr(b.first, b.end - b.first);
          const TagMatch inPart = ExtractBetweenTags(part, e.rangeStartTag, e.rangeEndTag,
                                                     from - static_cast<int32_t>(b.first), e.lineEnd, e.nextLineHead,
                                                     ExtractMode::WithTags);
          ASSERT_EQ(inPart.status, MatchStatus::Found) << what;
          EXPECT_EQ(inPart.start + static_cast<int32_t>(b.first), whole.start) << what;
          EXPECT_EQ(inPart.text, whole.text) << what;
        }
      }
    }
  }
}

TEST(FileWindow, CoverageInPiecesIsTheWholeFilesAndEveryByteIsReadOnce) {
  Random r{11};
  for (int round = 0; round < 80; ++round) {
    const std::string file = RandomFile(r, r.Next() % 400);
    for (const TagDefinition& e : RecordEntries()) {
      ExtractionSettings s;
      SetTable(s, {e, e});
      RecordIndex index;
      index.count = static_cast<int32_t>(r.Next() % 3);
      for (int32_t n = 1; n <= index.count; ++n) index.positions[static_cast<std::size_t>(n)] = static_cast<int32_t>(r.Next() % 200);
      const Coverage whole = ComputeCoverage(file, s, index);
      for (std::size_t windowBytes : {1, 5, 64}) {
        Opened o(file);
        std::string seen;
        FileWindow w(*o.reader, windowBytes, [&](std::string_view piece) {
          seen.append(piece);
          return true;
        });
        Coverage c;
        ASSERT_TRUE(ComputeCoverageInPieces(w, s, index, &c));
        ASSERT_TRUE(w.ReadRest());
        const std::string what = file + " window " + std::to_string(windowBytes);
        EXPECT_EQ(seen, file) << what;
        EXPECT_EQ(c.fileBytes, whole.fileBytes) << what;
        EXPECT_EQ(c.recordsFound, whole.recordsFound) << what;
        EXPECT_EQ(c.recordsIndexed, whole.recordsIndexed) << what;
        EXPECT_EQ(c.recordsLeftOut, whole.recordsLeftOut) << what;
        EXPECT_EQ(c.recordBytes, whole.recordBytes) << what;
        EXPECT_EQ(c.indexedBytes, whole.indexedBytes) << what;
        EXPECT_EQ(c.gapBytes, whole.gapBytes) << what;
        EXPECT_EQ(c.cutBytes, whole.cutBytes) << what;
        EXPECT_EQ(c.cutTail, whole.cutTail) << what;
        EXPECT_EQ(c.mergedRecords, whole.mergedRecords) << what;
        EXPECT_EQ(c.nonBlankGaps, whole.nonBlankGaps) << what;
        ASSERT_EQ(c.findings.size(), whole.findings.size()) << what;
        for (std::size_t i = 0; i < c.findings.size(); ++i) {
          EXPECT_EQ(CoverageFindingText(c.findings[i]), CoverageFindingText(whole.findings[i])) << what;
          EXPECT_EQ(c.findings[i].records, whole.findings[i].records) << what;
        }
      }
    }
  }
}

TEST(FileWindow, AFileThatCannotBeReadWholeFailsTheRead) {
  // The file shrinks after it was opened: its size stays as it was seen.
  class Shrunk : public FileReader {
   public:
    std::uint64_t Size() const override { return 100; }
    bool ReadAt(std::uint64_t offset, std::size_t length, std::string* bytes) override {
      if (offset + length > 40) return false;
      bytes->append(length, 'x');
      return true;
    }
  } reader;
  FileWindow w(reader, 16);
  EXPECT_TRUE(w.Cover(0, 16));
  EXPECT_FALSE(w.Cover(30, 20));
  TagMatch m;
  EXPECT_FALSE(FindRangeInFile(w, Def("D_SET", "R", "<R>", "</R>"), 1, ExtractMode::PositionsOnly, &m));
}

// Only a table whose walk searches the file for its record alone is read in
// pieces by the export.
TEST(FileWindow, AWalkReadsTheFileForItsRecordOnlyWhenNothingFollowsTheRecord) {
  const TagDefinition rec = Def(EntryKind::DSet, "R", "<R>", "</R>");
  const TagDefinition other = Def("D_SET", "Q", "<Q>", "</Q>");
  const TagDefinition item = Item("F", "F:", "\r\n");
  const TagDefinition group = Def(EntryKind::Group, "G", "<G>", "</G>");
  const struct {
    const char* what;
    std::vector<TagDefinition> table;
    bool only;
  } cases[] = {
      {"items inside the record", {rec, item, group, item, group, rec}, true},
      {"no closing entry", {rec, item}, true},
      {"another D_SET inside", {rec, other, item, other, rec}, true},
      {"an item after the record closes", {rec, item, rec, item}, false},
      {"a group after the record closes", {rec, rec, group, group}, false},
      {"an item before the record", {item, rec, rec}, false},
      {"no record at all", {item}, false},
      {"an empty table", {}, false},
  };
  for (const auto& c : cases) {
    ExtractionSettings s;
    SetTable(s, c.table);
    EXPECT_EQ(WalkReadsFileForRecordOnly(s), c.only) << c.what;
  }
}

}  // namespace
}  // namespace tanavo
