// tanavo-cli as a process: what reaches its standard streams, and what it
// takes from standard input.
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "cli/cli.h"
#include "extract/kta_file.h"
#include "files/extraction_file.h"
#include "test_support.h"

namespace tanavo {
namespace {

namespace fs = std::filesystem;

class CliProcessTest : public ::testing::Test {
 protected:
  void SetUp() override {
    dir = FreshTestFolder("cli_process");
    std::ofstream(dir / "phone.dat", std::ios::binary) << "<R>\r\nF:one\r\n</R>\r\n";
    std::ofstream(dir / "mail.kta", std::ios::binary)
        << EncodeEntry(Def("D_SET", "D_SET", "<R>", "</R>")) + EncodeEntry(Def("Data", "F", "F:", "\r\n")) +
               EncodeEntry(Def("D_SET", "D_SET", "<R>", "</R>"));
  }
  void TearDown() override { fs::remove_all(dir); }

  // Runs "tanavo-cli ARGS" through the shell with the given redirections of
  // standard input and output; standard error goes to a file, read into err
  // (in the "C" locale: the Shift_JIS bytes as they are).
  int Run(const std::string& args, const std::string& redirections) {
    const std::string errPath = (dir / "stderr").string();
    const std::string command = std::string("LC_ALL=C '") + TANAVO_CLI + "' " + args + " " + redirections + " 2>'" + errPath + "'";
    const int status = std::system(command.c_str());
    err = ReadBytes(errPath);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  }
  std::string Path(const char* name) const { return "'" + (dir / name).string() + "'"; }

  fs::path dir;
  std::string err;
};

TEST_F(CliProcessTest, OutputThatCannotBeWrittenFails) {
  if (!fs::exists("/dev/full")) GTEST_SKIP() << "no /dev/full";
  EXPECT_EQ(Run("codec base64-encode", "< " + Path("phone.dat") + " > /dev/full"), kExitFailed);
  EXPECT_NE(err.find("standard output"), std::string::npos);
  EXPECT_EQ(Run("check " + Path("phone.dat") + " " + Path("mail.kta"), "< /dev/null > /dev/full"), kExitFailed);
  EXPECT_NE(err.find("standard output"), std::string::npos);
  // Nothing is left to report the error on.
  const std::string command = std::string("'") + TANAVO_CLI + "' codec rot13 </dev/null >/dev/null 2>/dev/full";
  const int status = std::system(command.c_str());
  EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) != kExitOk);

  EXPECT_EQ(Run("codec base64-encode", "< " + Path("phone.dat") + " > " + Path("out")), kExitOk);
  EXPECT_EQ(ReadBytes(dir / "out"), "PFI+DQpGOm9uZQ0KPC9SPg0K");
  EXPECT_EQ(err, "");
}

TEST_F(CliProcessTest, StandardInputOverTheFileLimitIsRefused) {
  // One byte over the limit, sparse: refused before anything is read.
  std::ofstream(dir / "huge", std::ios::binary) << "";
  ASSERT_EQ(::truncate((dir / "huge").c_str(), static_cast<off_t>(kMaxFileBytes) + 1), 0);
  EXPECT_EQ(Run("codec base64-decode", "< " + Path("huge") + " > " + Path("out")), kExitFailed);
  EXPECT_NE(err.find("ファイルが大きすぎるため読み込めません!!"), std::string::npos);
  EXPECT_EQ(ReadBytes(dir / "out"), "");
  EXPECT_EQ(Run("item " + Path("mail.kta") + " F", "< " + Path("huge") + " > " + Path("out")), kExitFailed);
  EXPECT_NE(err.find("ファイルが大きすぎるため読み込めません!!"), std::string::npos);
}

}  // namespace
}  // namespace tanavo
