// The index text read in pieces reads what the whole text reads, whatever
// the window's size and wherever the text is cut or damaged.
#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "index/index_stream.h"
#include "index/index_text.h"

namespace tanavo {
namespace {

// Every way of reading text gives what ReadIndexFileText gives; the bytes
// seen by firstRead are the text.
void ExpectSameAsWhole(const std::string& text, const std::string& what) {
  IndexFilePaths wholePaths;
  RecordIndex whole;
  SetRecordCapacity(whole, kAllRecords);
  const IndexTextNotes w = ReadIndexFileText(text, &wholePaths, &whole);
  for (const std::size_t window : {std::size_t{1}, std::size_t{3}, std::size_t{7}, std::size_t{64}, kFileWindowBytes}) {
    for (const bool keepLines : {true, false}) {
      BytesFileReader reader(text);
      std::string seen;
      IndexTextStream stream(reader, window, [&](std::string_view b) {
        seen.append(b);
        return true;
      });
      IndexFilePaths paths;
      RecordIndex index;
      SetRecordCapacity(index, kAllRecords);
      bool unreadable = false;
      std::string countText;
      const bool head = stream.ReadHead(&paths, &countText);
      const IndexTextNotes n = stream.ReadRecords(countText, &index, keepLines, nullptr, &unreadable);
      const std::string at = what + " window " + std::to_string(window) + (keepLines ? " lines" : "");
      EXPECT_TRUE(head && !unreadable) << at;
      EXPECT_EQ(paths.mobile, wholePaths.mobile) << at;
      EXPECT_EQ(paths.extraction, wholePaths.extraction) << at;
      EXPECT_EQ(paths.display, wholePaths.display) << at;
      EXPECT_EQ(n.storedCount, w.storedCount) << at;
      EXPECT_EQ(n.truncated, w.truncated) << at;
      EXPECT_EQ(n.damaged, w.damaged) << at;
      EXPECT_EQ(n.overCapacity, w.overCapacity) << at;
      ASSERT_EQ(index.count, whole.count) << at;
      for (int32_t r = 1; r <= whole.count; ++r) {
        EXPECT_EQ(index.positions[r], whole.positions[r]) << at << " record " << r;
        if (keepLines) {
          EXPECT_EQ(index.lines[r], whole.lines[r]) << at << " record " << r;
        }
      }
      if (!keepLines) {
        EXPECT_EQ(index.lines.size(), static_cast<std::size_t>(kIndexSlots) + 1) << at;
      }
      ASSERT_TRUE(stream.ReadRest());
      EXPECT_EQ(seen, text) << at;
    }
  }
}

TEST(IndexTextStream, ReadsWhatTheWholeTextReads) {
  const std::string head = "((D:\\a\\p.dat))\r\n((k.kta))\r\n((k.kdp))\r\n";
  const struct {
    const char* what;
    std::string text;
  } cases[] = {
      {"normal", head + "((2))\r\n((1))[one][[1]]\r\n((2))[two][[17]]\r\n"},
      {"empty file", ""},
      {"empty index", head + "((0))\r\n"},
      {"no markers", "just some text\r\n"},
      {"head cut", "((D:\\a\\p.dat))\r\n((k.k"},
      {"cut inside a record", head + "((3))\r\n((1))x[[5]]\r\n((2))y[[6"},
      {"cut after ]]", head + "((3))\r\n((1))x[[5]]\r\n((2))y[[6]]"},
      {"cut inside the line end", head + "((2))\r\n((1))x[[5]]\r"},
      {"lines holding markers", head + "((2))((1))a]]\r\nb[[1]]c]][[8]]\r\n((2))x[[y[[5]]\n((3))z[[9]]"},
      {"missing markers", head + "((2))\r\n((1[[5]]\r\n((2))))y[[6]]\r\n"},
      {"a record without its number's end", head + "((2))((1))x[[5]]\r\n((2y[[6]]"},
      {"count past the records", head + "((99))\r\n((1))x[[5]]\r\n"},
      {"negative count", head + "((-4))((1))x[[5]]"},
      {"huge position", head + "((1))((1))x[[99999999999]]"},
      {"LF alone", head + "((2))\n((1))x[[5]]\n((2))y[[6]]\n"},
  };
  for (const auto& c : cases) ExpectSameAsWhole(c.text, c.what);
}

TEST(IndexTextStream, OverCapacityKeepsTheFirstRecords) {
  std::string text = "((a))((b))((c))((5))";
  for (int n = 1; n <= 5; ++n) text += "((" + std::to_string(n) + "))L[[" + std::to_string(n) + "]]\r\n";
  BytesFileReader reader(text);
  IndexTextStream stream(reader, 3);
  IndexFilePaths paths;
  RecordIndex index;
  SetRecordCapacity(index, 2);
  bool unreadable = false;
  std::string countText;
  ASSERT_TRUE(stream.ReadHead(&paths, &countText));
  const IndexTextNotes n = stream.ReadRecords(countText, &index, true, nullptr, &unreadable);
  EXPECT_TRUE(n.overCapacity);
  EXPECT_EQ(index.count, 2);
  EXPECT_EQ(index.positions[2], 2);
}

// Random lists with the markers' bytes in their lines, cut and damaged at
// random places.
TEST(IndexTextStream, RandomCutAndDamagedTextsReadAsWhole) {
  std::mt19937 random(33);
  const std::string pieces[] = {"((", "))", "[[", "]]", "\r\n", "\n", "7", "x", "[", "]", "(", ")"};
  for (int round = 0; round < 60; ++round) {
    RecordIndex index;
    index.count = static_cast<int32_t>(random() % 20);
    for (int32_t n = 1; n <= index.count; ++n) {
      std::string line;
      for (unsigned k = random() % 6; k > 0; --k) line += pieces[random() % std::size(pieces)];
      index.lines[n] = line;
      index.positions[n] = static_cast<int32_t>(random() % 100000);
    }
    std::string text = BuildIndexFileText({"m", "k", "d"}, index);
    if (round % 3 == 1) text.resize(random() % (text.size() + 1));
    if (round % 3 == 2 && !text.empty()) text.erase(random() % text.size(), 1 + random() % 3);
    ExpectSameAsWhole(text, "round " + std::to_string(round));
  }
}

}  // namespace
}  // namespace tanavo
