#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "platform/new_files.h"
#include "test_support.h"

namespace tanavo {
namespace {

namespace fs = std::filesystem;

// The export's files are only ever created: whatever is at a name stays.
TEST(NewFiles, AreCreatedNeverReplacingOrFollowingWhatIsThere) {
  const fs::path dir = FreshTestFolder("tanavo_new_files");
  const std::string a = (dir / "a.txt").string();
  EXPECT_EQ(WriteNewFile(a, std::string("one\0two", 7)), WriteStatus::Ok);
  EXPECT_EQ(ReadBytes(a), std::string("one\0two", 7));
  EXPECT_EQ(WriteNewFile(a, "other"), WriteStatus::CannotCreate);
  EXPECT_EQ(ReadBytes(a), std::string("one\0two", 7));

  std::ofstream(dir / "target") << "kept";
  fs::create_symlink(dir / "target", dir / "link");
  EXPECT_EQ(WriteNewFile((dir / "link").string(), "through"), WriteStatus::CannotCreate);
  EXPECT_EQ(ReadBytes(dir / "target"), "kept");
  EXPECT_EQ(WriteNewFile((dir / "none" / "b.txt").string(), "x"), WriteStatus::CannotCreate);

  EXPECT_TRUE(SyncNewFiles({a}));
  EXPECT_TRUE(SyncNewFiles({}));
  EXPECT_FALSE(SyncNewFiles({(dir / "gone").string()}));
  fs::remove_all(dir);
}

}  // namespace
}  // namespace tanavo
