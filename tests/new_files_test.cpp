#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <memory>
#include <string>

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

// Everything beneath an output folder is created through the folder opened
// once: renaming it away and planting a link at its name changes nothing.
TEST(NewFiles, AnOutputFolderIsHeldOpenAndNeverFollowsALink) {
  const fs::path dir = FreshTestFolder("tanavo_new_files");
  std::unique_ptr<OutputFolder> out;
  bool made = false;
  ASSERT_EQ(OutputFolder::Open((dir / "out").string(), true, &out, &made), FolderOpen::Ok);
  EXPECT_TRUE(made);
  fs::rename(dir / "out", dir / "moved");
  fs::create_directories(dir / "elsewhere");
  fs::create_directory_symlink(dir / "elsewhere", dir / "out");
  ASSERT_TRUE(WriteNewFileIn(*out, "a.txt", "one"));
  std::unique_ptr<OutputFolder> sub = out->MakeFolder("records");
  ASSERT_TRUE(sub);
  ASSERT_TRUE(WriteNewFileIn(*sub, "0001.txt", "r"));
  EXPECT_EQ(ReadBytes(dir / "moved" / "a.txt"), "one");
  EXPECT_EQ(ReadBytes(dir / "moved" / "records" / "0001.txt"), "r");
  EXPECT_TRUE(fs::is_empty(dir / "elsewhere"));

  // Nothing already there is replaced or followed.
  bool exists = false;
  EXPECT_FALSE(out->Create("a.txt", &exists));
  EXPECT_TRUE(exists);
  fs::create_symlink(dir / "elsewhere" / "x", dir / "moved" / "dangling");
  EXPECT_FALSE(out->Create("dangling", &exists));
  EXPECT_FALSE(fs::exists(dir / "elsewhere" / "x"));
  EXPECT_FALSE(out->MakeFolder("records"));
  EXPECT_FALSE(out->MakeFolder("a.txt"));

  // A file never finished is not left behind; a scratch file has no name.
  { std::unique_ptr<NewFile> f = out->Create("half.txt"); ASSERT_TRUE(f && f->Append("x")); }
  EXPECT_FALSE(fs::exists(dir / "moved" / "half.txt"));
  std::unique_ptr<ScratchFile> scratch = out->CreateScratch();
  ASSERT_TRUE(scratch);
  const std::string big(3 * kNewFileBufferBytes + 7, 's');
  ASSERT_TRUE(scratch->Append("ab") && scratch->Append(big));
  std::string back;
  ASSERT_TRUE(scratch->ReadBack([&](std::string_view piece) { back.append(piece); return true; }));
  EXPECT_EQ(back, "ab" + big);
  EXPECT_TRUE(out->Sync());

  struct Case {
    fs::path path;
    bool emptyOnly;
    FolderOpen expected;
  };
  fs::create_directories(dir / "empty");
  const Case cases[] = {
      {dir / "out", true, FolderOpen::NotAFolder},         // a link to an empty folder
      {dir / "out", false, FolderOpen::NotAFolder},
      {dir / "moved", true, FolderOpen::NotEmpty},
      {dir / "moved" / "a.txt", true, FolderOpen::NotAFolder},
      {dir / "none" / "out", true, FolderOpen::CannotCreate},
      {dir / "empty", true, FolderOpen::Ok},
      {dir / "moved", false, FolderOpen::Ok},
  };
  for (const Case& c : cases) {
    std::unique_ptr<OutputFolder> f;
    EXPECT_EQ(OutputFolder::Open(c.path.string(), c.emptyOnly, &f, &made), c.expected) << c.path;
    EXPECT_EQ(f != nullptr, c.expected == FolderOpen::Ok) << c.path;
    EXPECT_FALSE(made) << c.path;
  }
  fs::remove_all(dir);
}

}  // namespace
}  // namespace tanavo
