#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "cli/cli.h"
#include "app/data_display.h"
#include "display/render.h"
#include "dispset/kdp_file.h"
#include "files/display_file.h"
#include "extract/kta_file.h"
#include "files/extraction_file.h"
#include "index/index_creation.h"
#include "test_support.h"

namespace tanavo {
namespace {

namespace fs = std::filesystem;

void WriteAll(const fs::path& p, const std::string& bytes) { std::ofstream(p, std::ios::binary) << bytes; }

class CliIndexTest : public ::testing::Test {
 protected:
  void SetUp() override {
    dir = FreshTestFolder("tanavo_cli_index");
    samples = fs::path(TANAVO_SOURCE_DIR) / "samples";
  }
  void TearDown() override { fs::remove_all(dir); }
  int Run(const std::vector<std::string>& args) { return RunCli(args, nullptr, &out, &err); }
  std::string Sample(const char* name) const { return (samples / name).string(); }

  // The samples loaded and indexed in the program.
  void LoadSamples(FakeApp& f) {
    f.app.state.mobileFile = ReadBytes(samples / "mail.dat");
    ReadSettingsEntries(f.app, ReadBytes(samples / "mail.kta"));
    TakeDisplaySettingsFile(f.app, ReadBytes(samples / "mail.kdp"));
    EXPECT_EQ(CreateIndex(f.app), 0);
  }
  // The record list the program shows for the same three files.
  std::string ListInProgram() {
    FakeApp f;
    LoadSamples(f);
    std::string rows;
    for (int32_t n = 1; n <= f.app.index.count; ++n) rows += RecordListRow(f.app.index, n) + "\n";
    return rows;
  }

  fs::path dir, samples;
  std::string out, err;
};

TEST_F(CliIndexTest, IndexThenListTheBundledSamples) {
  const std::string ini = (dir / "mail.ini").string();
  ASSERT_EQ(Run({"index", Sample("mail.dat"), Sample("mail.kta"), Sample("mail.kdp"), ini}), kExitOk) << err;
  EXPECT_EQ(out, "");
  EXPECT_EQ(err, "");
  const std::string file = ReadBytes(ini);
  EXPECT_EQ(file.rfind("((" + Sample("mail.dat") + "))\r\n((" + Sample("mail.kta") + "))\r\n", 0), 0u);

  ASSERT_EQ(Run({"list", ini}), kExitOk) << err;
  EXPECT_EQ(out, ListInProgram());
  EXPECT_EQ(out.rfind("(1)", 0), 0u);
  EXPECT_EQ(err, "");
}

TEST_F(CliIndexTest, RenderGivesEachSampleMailAndItsOriginalAttachments) {
  const std::string ini = (dir / "mail.ini").string();
  ASSERT_EQ(Run({"index", Sample("mail.dat"), Sample("mail.kta"), Sample("mail.kdp"), ini}), kExitOk) << err;
  FakeApp f;
  LoadSamples(f);
  ASSERT_GT(f.app.index.count, 20);
  for (int n = 1; n <= f.app.index.count; ++n) {
    const RenderedRecord r = RenderRecord(f.app, n);
    ASSERT_EQ(r.status, RenderStatus::Rendered) << n;
    ASSERT_EQ(Run({"render", ini, std::to_string(n)}), kExitOk) << n << err;
    EXPECT_EQ(out, r.text) << n;
  }
  // Which mail carries which original, from the list beside the originals.
  const fs::path originals = fs::path(TANAVO_SOURCE_DIR) / "tests" / "data" / "samples";
  std::istringstream list(ReadBytes(originals / "mail-attachments.txt"));
  int checked = 0;
  for (std::string line; std::getline(list, line);) {
    if (line.empty() || line[0] == '#') continue;
    std::istringstream row(line);
    std::string mail, slot, shown, file;
    std::getline(row, mail, '\t');
    std::getline(row, slot, '\t');
    std::getline(row, shown, '\t');
    std::getline(row, file, '\t');
    const fs::path att = dir / ("att" + mail);
    ASSERT_EQ(Run({"render", ini, mail, "--attachments", att.string()}), kExitOk) << line << err;
    EXPECT_NE(err.find("attachment " + slot + " "), std::string::npos) << line;
    // The name shown is UTF-8 in the list; the file of that name is written as such.
    EXPECT_EQ(ReadBytes(att / shown), ReadBytes(originals / file)) << line;
    ++checked;
  }
  EXPECT_GE(checked, 5);
}

TEST_F(CliIndexTest, FailuresAndRefusalsExitOne) {
  const std::string ini = (dir / "x.ini").string();
  const std::string none = (dir / "none").string();
  struct Call {
    std::vector<std::string> args;
    std::string box;
  };
  WriteAll(dir / "nodset.kta", EncodeEntry(Item("From", "F:", "\r\n")));
  const Call calls[] = {
      {{"index", none, Sample("mail.kta"), Sample("mail.kdp"), ini}, "TextEditor: ファイルオープンに失敗"},
      {{"index", Sample("mail.dat"), none, Sample("mail.kdp"), ini}, "TextEditor: ファイルオープンに失敗"},
      {{"index", Sample("mail.dat"), Sample("mail.kta"), none, ini}, "表示設定読込: ファイルオープンに失敗"},
      {{"index", Sample("mail.dat"), (dir / "nodset.kta").string(), Sample("mail.kdp"), ini},
       "警告: D_SETタグが設定されていません!!\n警告: インデックス作成に失敗しました！！"},
      {{"index", Sample("mail.dat"), Sample("mail.kta"), Sample("mail.kdp"), (dir / "no" / "x.ini").string()},
       "インデックス保存: ファイルオープンに失敗"},
      {{"list", none}, "インデックス読込: ファイルオープンに失敗"},
  };
  for (const Call& c : calls) {
    EXPECT_EQ(Run(c.args), kExitFailed) << c.box;
    EXPECT_EQ(err, c.box + "\n");
    EXPECT_EQ(out, "");
  }
  EXPECT_FALSE(fs::exists(ini));
  EXPECT_EQ(Run({"index", Sample("mail.dat")}), kExitUsage);
  EXPECT_EQ(Run({"list"}), kExitUsage);
}

TEST_F(CliIndexTest, ListShowsTheIndexEvenWhenAFileItNamesIsGone) {
  // Paths rebuilt with "/" on POSIX; an empty extension ends in "." and is
  // opened without it.
  const fs::path mobile = dir / "dump";
  WriteAll(mobile, "<R>F:a\r\n</R>");
  WriteAll(dir / "k.kta", EncodeEntry(Def("D_SET", "R", "<R>", "</R>")) + EncodeEntry(Item("From", "F:", "\r\n")) +
                              EncodeEntry(Def("D_SET", "R", "<R>", "</R>")));
  WriteAll(dir / "d.kdp", BuildDisplaySettingsFile("[??From??]", ""));
  const std::string ini = (dir / "dump.ini").string();
  ASSERT_EQ(Run({"index", mobile.string(), (dir / "k.kta").string(), (dir / "d.kdp").string(), ini}), kExitOk) << err;
  EXPECT_EQ(ReadBytes(ini).rfind("((" + mobile.string() + ".))\r\n", 0), 0u);
  ASSERT_EQ(Run({"list", ini}), kExitOk) << err;
  EXPECT_EQ(out, "(1)[a]\n");
  // The export hashes the file that was opened, not the name with its ".".
  ASSERT_EQ(Run({"export", ini, (dir / "out").string()}), kExitOk) << err;
  EXPECT_NE(ReadBytes(dir / "out" / "SHA256SUMS").find("  " + mobile.string() + "\n"), std::string::npos);

  fs::remove(dir / "d.kdp");
  EXPECT_EQ(Run({"list", ini}), kExitFailed);
  EXPECT_EQ(out, "(1)[a]\n");
  EXPECT_EQ(err, "インデックス読込: ファイルオープンに失敗\n開けなかったファイル: " + (dir / "d.kdp").string() + "\n");
}

TEST_F(CliIndexTest, AnIndexSavedUnderWineIsReadWithItsFilesWhereTheyAre) {
  WriteAll(dir / "m.dat", "<R>F:a\r\n</R>");
  WriteAll(dir / "k.kta", EncodeEntry(Def("D_SET", "R", "<R>", "</R>")) + EncodeEntry(Item("From", "F:", "\r\n")) +
                              EncodeEntry(Def("D_SET", "R", "<R>", "</R>")));
  WriteAll(dir / "d.kdp", BuildDisplaySettingsFile("[??From??]", ""));
  std::string wine = "Z:" + dir.string();
  for (char& c : wine) c = c == '/' ? '\\' : c;
  const std::string index = "((" + wine + "\\m.dat))\r\n((" + wine + "\\k.kta))\r\n((" + wine +
                            "\\d.kdp))\r\n((1))\r\n((1))[a][[1]]\r\n";
  WriteAll(dir / "w.ini", index);
  ASSERT_EQ(Run({"list", (dir / "w.ini").string()}), kExitOk) << err;
  EXPECT_EQ(out, "(1)[a]\n");
  EXPECT_EQ(err, wine + "\\m.dat が開けないため、" + (dir / "m.dat").string() + " を読み込みました\n" + wine +
                     "\\k.kta が開けないため、" + (dir / "k.kta").string() + " を読み込みました\n" + wine +
                     "\\d.kdp が開けないため、" + (dir / "d.kdp").string() + " を読み込みました\n");
  EXPECT_EQ(ReadBytes(dir / "w.ini"), index);
}

TEST_F(CliIndexTest, AnIndexNamingAFifoADeviceOrAnotherComputerIsRefused) {
  // Reading a FIFO would wait for a writer for ever; a network path would
  // send the user's credentials.
  const fs::path fifo = dir / "fifo.dat";
  ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
  const std::string notAFile =
      "インデックス読込: 通常のファイルでないもの(デバイス、パイプ等)を指しているため、このインデックスファイルは読み込みません!! ";
  const std::pair<std::string, std::string> cases[] = {
      {fifo.string(), notAFile},
      {"/dev/null", notAFile},
      {dir.string(), notAFile},  // a folder
      {"//host/share/mail.kta", "インデックス読込: ネットワーク上のファイルを指しているため、このインデックスファイルは読み込みません!! "},
  };
  WriteAll(dir / "m.dat", "<R>F:a\r\n</R>");
  for (const auto& [named, box] : cases) {
    WriteAll(dir / "x.ini", "((" + (dir / "m.dat").string() + "))\r\n((" + named + "))\r\n((/x.kdp))\r\n((1))\r\n((1))[a][[1]]\r\n");
    EXPECT_EQ(Run({"list", (dir / "x.ini").string()}), kExitFailed) << named;
    EXPECT_EQ(out, "") << named;
    EXPECT_EQ(err, box + named + "\n");
  }
}

}  // namespace
}  // namespace tanavo
