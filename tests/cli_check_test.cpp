#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "cli/cli.h"
#include "app/result_window.h"
#include "check/trial_extraction.h"
#include "extract/kta_file.h"
#include "files/extraction_file.h"
#include "test_support.h"

namespace tanavo {
namespace {

namespace fs = std::filesystem;

struct Entry {
  std::string kind, name, start, end, multiple;
};

TagDefinition Definition(const Entry& e) {
  return Flagged(Def(e.kind, e.name, e.start, e.end), e.multiple, false);
}

const Entry kEntries[] = {
    {"D_SET", "D_SET", "<R>", "</R>", "N"},
    {"Data", "Data01", "F:", "\r\n", "N"},
    {"D_SET", "D_SET", "<R>", "</R>", "N"},
};
const std::string kMobile = "<R>\r\nF:one\r\n</R>\r\n<R>\r\nF:two words\r\n</R>\r\n<R>\r\nF:three\r\n</R>\r\n";

class CliCheckTest : public ::testing::Test {
 protected:
  void SetUp() override {
    dir = fs::temp_directory_path() / ("tanavo_cli_check_" + std::to_string(getpid()));
    fs::create_directories(dir);
    mobile = (dir / "phone.dat").string();
    kta = (dir / "mail.kta").string();
    std::string settings;
    for (const Entry& e : kEntries) settings += EncodeEntry(Definition(e));
    Write(mobile, kMobile);
    Write(kta, settings);
  }
  void TearDown() override { fs::remove_all(dir); }
  static void Write(const std::string& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary) << bytes;
  }
  int Run(const std::vector<std::string>& args) { return RunCli(args, nullptr, &out, &err); }

  // What the result window shows after the same steps in the program.
  std::string InProgram(const std::string& steps) {
    FakeApp f;
    f.app.state.mobileFile = kMobile;
    int i = 0;
    for (const Entry& e : kEntries) f.app.extraction.entries[i++] = Definition(e);
    TrialExtraction(f.app);
    for (char c : steps) c == 'n' ? NextRecord(f.app) : PreviousRecord(f.app);
    return f.Win(kResultWindowClass).Text(kResultTextView);
  }

  fs::path dir;
  std::string mobile, kta, out, err;
};

TEST_F(CliCheckTest, PrintsWhatTheResultWindowShowsAfterTheSteps) {
  EXPECT_EQ(Run({"check", mobile, kta}), kExitOk);
  EXPECT_EQ(out, InProgram(""));
  EXPECT_EQ(out.rfind("D_SET\r\n<R>\r\nF:one\r\n</R>\r\n\r\nData01\r\nF:one\r\n", 0), 0u);
  EXPECT_EQ(err, "");

  EXPECT_EQ(Run({"check", mobile, kta, "nb n"}), kExitUsage);  // steps are checked before anything runs
  EXPECT_NE(err.find("usage"), std::string::npos);

  EXPECT_EQ(Run({"check", mobile, kta, "nnbn"}), kExitOk);
  EXPECT_EQ(out, InProgram("nnbn"));
  EXPECT_NE(out.find("F:three"), std::string::npos);
  EXPECT_EQ(out.find("F:two words"), std::string::npos);
}

TEST_F(CliCheckTest, AFailedStepKeepsTheTextAndItsBoxGoesToStandardError) {
  EXPECT_EQ(Run({"check", mobile, kta, "nnnn"}), kExitFailed);
  EXPECT_NE(out.find("F:three"), std::string::npos);
  EXPECT_EQ(err, "警告: D_SETタグが検出されませんでした!!\n警告: D_SETタグが検出されませんでした!!\n");
}

TEST_F(CliCheckTest, FilesThatCannotBeLoadedFail) {
  EXPECT_EQ(Run({"check", (dir / "none.dat").string(), kta}), kExitFailed);
  EXPECT_NE(err.find("ファイルオープンに失敗"), std::string::npos);
  EXPECT_EQ(out, "");
  EXPECT_EQ(Run({"check", mobile, (dir / "none.kta").string()}), kExitFailed);
  EXPECT_NE(err.find("ファイルオープンに失敗"), std::string::npos);
  EXPECT_EQ(out, "");

  Write(mobile, "");
  EXPECT_EQ(Run({"check", mobile, kta}), kExitFailed);
  EXPECT_NE(err.find("携帯データを読み込んでください!!"), std::string::npos);
  // Every step is tried, each with its warning, as at the window.
  EXPECT_EQ(Run({"check", mobile, kta, "nb"}), kExitFailed);
  EXPECT_EQ(err,
            "警告: 携帯データを読み込んでください!!\n警告: 携帯データを読み込んでください!!\n"
            "警告: 携帯データを読み込んでください!!\n");
  EXPECT_EQ(out, "");

  EXPECT_EQ(Run({"check", mobile}), kExitUsage);
  EXPECT_EQ(Run({"check", mobile, kta, "n", "b"}), kExitUsage);
}

TEST_F(CliCheckTest, SettingsLoadedWithAWarningStillRun) {
  // More definitions than the table holds: the loader keeps the first ones and warns.
  std::string settings;
  for (const Entry& e : kEntries) settings += EncodeEntry(Definition(e));
  for (int i = 3; i <= kTagEntries; ++i) settings += EncodeEntry(Definition({"Data", "X" + std::to_string(i), "Q:", "\r\n", "N"}));
  Write(kta, settings);
  EXPECT_EQ(Run({"check", mobile, kta}), kExitOk);
  EXPECT_NE(err.find("警告: "), std::string::npos);
  EXPECT_EQ(out.rfind("D_SET\r\n<R>\r\nF:one", 0), 0u);
}

TEST_F(CliCheckTest, PrintsTheTextAsBuiltWithItsNulBytes) {
  static const char kRecord[] = "<R>\r\nF:a\0b\r\n</R>\r\n";
  const std::string record(kRecord, sizeof kRecord - 1);
  Write(mobile, record);
  EXPECT_EQ(Run({"check", mobile, kta}), kExitOk);
  const std::string built = "D_SET\r\n" + record.substr(0, 16) + "\r\n\r\n" + "Data01\r\n" + record.substr(5, 7) +
                            "\r\n抽出結果\r\n\r\n\r\n";
  EXPECT_EQ(out, built);
  // The window shows what its control can: the text up to the first NUL.
  FakeApp f;
  f.app.state.mobileFile = record;
  for (int i = 0; i < 3; ++i) f.app.extraction.entries[i] = Definition(kEntries[i]);
  TrialExtraction(f.app);
  EXPECT_EQ(f.Win(kResultWindowClass).Text(kResultTextView), built.substr(0, built.find('\0')));
}

TEST_F(CliCheckTest, ARefusedStepFailsAfterTheOthersRan) {
  // Without a D_SET entry the check walks the whole file, but there is no
  // record to go on to.
  Write(kta, EncodeEntry(Definition({"Data", "Data01", "F:", "\r\n", "N"})));
  EXPECT_EQ(Run({"check", mobile, kta, "nb"}), kExitFailed);
  EXPECT_EQ(out, "Data01\r\nF:one\r\n\r\n抽出結果\r\n\r\n\r\n");
  EXPECT_EQ(err, "警告: D_SETタグが設定されていません!!\n警告: D_SETタグが設定されていません!!\n");
  EXPECT_EQ(Run({"check", mobile, kta}), kExitOk);
}

}  // namespace
}  // namespace tanavo
