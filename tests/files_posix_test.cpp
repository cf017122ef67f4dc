// The POSIX file back end of tanavo-cli: whole reads that fail, the size
// limit, saves that replace a file without following planted links, and
// relative paths when the working directory cannot be read.
#include <gtest/gtest.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "platform/files.h"
#include "test_support.h"

namespace tanavo {
namespace {

namespace fs = std::filesystem;

class FilesPosixTest : public ::testing::Test {
 protected:
  void SetUp() override {
    dir = FreshTestFolder("files_posix");
  }
  void TearDown() override { fs::remove_all(dir); }
  std::string At(const std::string& name) const { return (dir / name).string(); }
  static void Write(const std::string& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary) << bytes;
  }
  // Names in the folder other than the given ones: temporary files left behind.
  std::vector<std::string> Others(std::initializer_list<std::string> known) const {
    std::vector<std::string> left;
    for (const auto& e : fs::directory_iterator(dir)) {
      std::string name = e.path().filename().string();
      if (std::find(known.begin(), known.end(), name) == known.end()) left.push_back(name);
    }
    return left;
  }
  fs::path dir;
};

TEST_F(FilesPosixTest, AReadThatFailsIsNoWholeFile) {
  const std::string path = At("mail.dat");
  Write(path, "evidence");
  // A descriptor open for writing only: every read() on it fails.
  int fd = ::open(path.c_str(), O_WRONLY);
  ASSERT_GE(fd, 0);
  std::string bytes = "kept";
  EXPECT_EQ(ReadOpenFile(fd, &bytes), ReadStatus::CannotOpen);
  ::close(fd);
  EXPECT_EQ(bytes, "kept");

  EXPECT_EQ(ReadRealFile(path, &bytes), ReadStatus::Ok);
  EXPECT_EQ(bytes, "evidence");
}

TEST_F(FilesPosixTest, AFileWhoseLastPositionHasNoSuccessorIsTooLarge) {
  // 2^31 - 1 bytes: its last byte is at position 0x7FFFFFFF, and the position
  // after it does not fit a signed 32-bit number. Sparse, so nothing is stored.
  const std::string path = At("huge.dat");
  Write(path, "");
  ASSERT_EQ(::truncate(path.c_str(), 0x7FFFFFFF), 0);
  std::string bytes = "kept";
  EXPECT_EQ(ReadRealFile(path, &bytes), ReadStatus::TooLarge);
  EXPECT_TRUE(bytes == "kept");  // compared quietly: a failure would print 2 GiB
  EXPECT_LT(kMaxFileBytes, static_cast<std::size_t>(0x7FFFFFFF));
}

TEST_F(FilesPosixTest, SavingNeverFollowsALinkAndKeepsTheMode) {
  const mode_t oldMask = ::umask(022);
  const std::string victim = At("victim.txt");
  const std::string target = At("mail.kta");
  Write(victim, "someone else's file");

  // A link planted at the name the save once used for its temporary file.
  ASSERT_EQ(::symlink(victim.c_str(), (target + ".tanavo-tmp").c_str()), 0);
  EXPECT_EQ(WriteRealFileReplacing(target, "new settings"), WriteStatus::Ok);
  EXPECT_EQ(ReadBytes(victim), "someone else's file");
  EXPECT_EQ(ReadBytes(target), "new settings");
  struct stat st;
  ASSERT_EQ(::lstat(target.c_str(), &st), 0);
  EXPECT_TRUE(S_ISREG(st.st_mode));
  EXPECT_EQ(st.st_mode & 07777, 0644u);  // a new file as the user's umask makes it
  EXPECT_EQ(Others({"victim.txt", "mail.kta", "mail.kta.tanavo-tmp"}), std::vector<std::string>{});

  // Replacing keeps the mode the file had.
  ASSERT_EQ(::chmod(target.c_str(), 0600), 0);
  EXPECT_EQ(WriteRealFileReplacing(target, "second"), WriteStatus::Ok);
  EXPECT_EQ(ReadBytes(target), "second");
  ASSERT_EQ(::stat(target.c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 07777, 0600u);

  // A save that cannot be put in place leaves nothing behind.
  fs::create_directories(dir / "folder.kdp");
  EXPECT_EQ(WriteRealFileReplacing(At("folder.kdp"), "x"), WriteStatus::WriteFailed);
  EXPECT_EQ(Others({"victim.txt", "mail.kta", "mail.kta.tanavo-tmp", "folder.kdp"}), std::vector<std::string>{});

  // The memo is only ever created, never opened through a link.
  const std::string memo = At("memo.txt");
  ASSERT_EQ(::symlink(At("elsewhere.txt").c_str(), memo.c_str()), 0);
  EXPECT_FALSE(CreateRealNewEmptyFile(memo));
  EXPECT_FALSE(fs::exists(At("elsewhere.txt")));
  EXPECT_TRUE(CreateRealNewEmptyFile(At("new.txt")));
  EXPECT_FALSE(CreateRealNewEmptyFile(At("new.txt")));
  ::umask(oldMask);
}

TEST_F(FilesPosixTest, RelativePathsStayRelativeWhenTheWorkingDirectoryCannotBeRead) {
  const int home = ::open(".", O_RDONLY | O_DIRECTORY);
  ASSERT_GE(home, 0);
  ASSERT_EQ(::chdir(dir.c_str()), 0);
  // Deeper than a path buffer holds, so the working directory cannot be read.
  const std::string level(200, 'd');
  int depth = 0;
  while (depth * (level.size() + 1) <= 4096 + dir.string().size()) {
    ASSERT_EQ(::mkdir(level.c_str(), 0755), 0);
    ASSERT_EQ(::chdir(level.c_str()), 0);
    ++depth;
  }
  Write("mail.dat", "the right file");
  const std::string path = MakeAbsolute("mail.dat");
  std::string bytes;
  const ReadStatus rs = ReadRealFile(path, &bytes);
  // Back out and clean up by relative steps: the full path is too long to use.
  ::unlink("mail.dat");
  for (int i = 0; i < depth; ++i) {
    ASSERT_EQ(::chdir(".."), 0);
    ::rmdir(level.c_str());
  }
  ASSERT_EQ(::fchdir(home), 0);
  ::close(home);
  EXPECT_EQ(RealCurrentDirectory().empty(), false);
  EXPECT_EQ(path, "mail.dat");
  EXPECT_EQ(rs, ReadStatus::Ok);
  EXPECT_EQ(bytes, "the right file");
}

}  // namespace
}  // namespace tanavo
