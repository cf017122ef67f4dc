// The settings check on a mobile file of the largest size read, whose last
// bytes are what the settings look for: every position after a match still
// fits, and every search past the end finds nothing. Needs 2 GiB of memory,
// so it is skipped when that is short and under AddressSanitizer.
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "state/record_history.h"
#include "app/result_window.h"
#include "check/trial_extraction.h"
#include "platform/files.h"
#include "test_support.h"

namespace tanavo {
namespace {

namespace fs = std::filesystem;

constexpr unsigned long long kMemoryNeeded = 4ull << 30;

unsigned long long AvailableMemory() {
  std::ifstream meminfo("/proc/meminfo");
  std::string key;
  unsigned long long kib = 0;
  while (meminfo >> key >> kib) {
    if (key == "MemAvailable:") return kib * 1024;
    meminfo.ignore(256, '\n');
  }
  return 0;
}

TEST(PositionLimit, AFileOfTheLargestSizeIsWalkedToItsLastByte) {
#if defined(__SANITIZE_ADDRESS__)
  GTEST_SKIP() << "2 GiB of input is kept out of the AddressSanitizer run";
#endif
  if (AvailableMemory() < kMemoryNeeded) GTEST_SKIP() << "not enough free memory for a 2 GiB file";
  const fs::path path = fs::path(::testing::TempDir()) / ("position_limit_" + std::to_string(getpid()) + ".dat");
  {
    std::ofstream out(path, std::ios::binary);
    out.seekp(static_cast<std::streamoff>(kMaxFileBytes - 2));
    out << "YZ";  // sparse up to its last two bytes
  }
  FakeApp f;
  const ReadStatus rs = ReadRealFile(path.string(), &f.app.state.mobileFile);
  fs::remove(path);
  ASSERT_EQ(rs, ReadStatus::Ok);
  ASSERT_EQ(f.app.state.mobileFile.size(), kMaxFileBytes);

  const TagDefinition item = Def("Data", "D", "Y", "Z");
  const std::string itemBlock = "D\r\nYZ\r\n抽出結果\r\n\r\n\r\n";
  struct Case {
    const char* what;
    std::vector<TagDefinition> entries;
    std::string steps;
    int status;
    std::string shown;
    int32_t recordStart;  // 0: no record
  };
  const Case cases[] = {
      {"item", {Flagged(item, false)}, "", 0, itemBlock, 0},
      {"repeated item", {Flagged(item, true)}, "", 0, itemBlock, 0},
      {"item after it", {Flagged(item, false), Flagged(Def("Data", "E", "Y", "Z"), false, true)}, "", 0,
       itemBlock + "E\r\n\r\n抽出結果\r\n\r\n\r\n", 0},
      {"repeated group",
       {Flagged(Def("Group", "G", "Y", "Z"), true), Flagged(item, false), Flagged(Def("Group", "G", "Y", "Z"), true)},
       "", 0, "G\r\nYZ\r\n\r\n" + itemBlock, 0},
      {"record with an empty end tag, then next",
       {Def("D_SET", "R", "Y", ""), Def("D_SET", "R", "Y", "")}, "n", 1, "R\r\nY\r\n\r\n",
       static_cast<int32_t>(kMaxFileBytes - 1)},
  };
  for (const Case& c : cases) {
    ResetSettings(f.app.extraction);
    for (std::size_t i = 0; i < c.entries.size(); ++i) f.app.extraction.entries[i] = c.entries[i];
    const int32_t topBefore = f.app.history.top;
    int status = TrialExtraction(f.app);
    EXPECT_EQ(f.app.history.top > topBefore ? Top(f.app.history) : 0, c.recordStart) << c.what;
    for (char s : c.steps) status |= s == 'n' ? NextRecord(f.app) : PreviousRecord(f.app);
    EXPECT_EQ(status, c.status) << c.what;
    EXPECT_EQ(f.app.resultWindow->resultText, c.shown) << c.what;
  }
}

}  // namespace
}  // namespace tanavo
