// What an examiner meets on real-size vMessage dumps with the ready-made
// preset: more mails than the default capacity, a dump cut inside its last
// mail, a mail without its end tag. tanavo-cli names each, and export refuses
// to pass a partial result off as whole.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "cli/cli.h"
#include "index/index_file.h"
#include "test_support.h"

namespace tanavo {
namespace {

namespace fs = std::filesystem;

std::string Mail(int n) {
  const std::string k = std::to_string(n);
  return "BEGIN:VMSG\r\nVERSION:1.1\r\nX-IRMC-BOX:INBOX\r\nBEGIN:VENV\r\nBEGIN:VBODY\r\n"
         "Date: Tue, 10 Jan 2006 09:15:00 +0900\r\nFrom: user" + k + "@example.jp\r\nSubject: mail " + k +
         "\r\n\r\nbody of mail " + k + "\r\nEND:VBODY\r\nEND:VENV\r\nEND:VMSG\r\n";
}

std::string Dump(int mails) {
  std::string d;
  for (int n = 1; n <= mails; ++n) d += Mail(n);
  return d;
}

int Lines(const std::string& text) { return static_cast<int>(std::count(text.begin(), text.end(), '\n')); }

class CliCoverageTest : public ::testing::Test {
 protected:
  void SetUp() override { dir = FreshTestFolder("tanavo_cli_coverage"); }
  void TearDown() override { fs::remove_all(dir); }
  int Run(const std::vector<std::string>& args) { return RunCli(args, nullptr, &out, &err); }
  std::string Preset(const char* name) const { return (fs::path(TANAVO_SOURCE_DIR) / "presets" / name).string(); }
  // Writes the dump and indexes it with the preset; extra arguments go first.
  int Index(const std::string& dump, std::vector<std::string> extra = {}) {
    std::ofstream(dir / "mail.vmg", std::ios::binary) << dump;
    std::vector<std::string> args{"index"};
    args.insert(args.end(), extra.begin(), extra.end());
    args.insert(args.end(), {(dir / "mail.vmg").string(), Preset("vmessage.kta"), Preset("vmessage.kdp"), Ini()});
    return Run(args);
  }
  std::string Ini() const { return (dir / "mail.ini").string(); }
  std::string Out(const char* name) const { return (dir / name).string(); }

  fs::path dir;
  std::string out, err;
};

TEST_F(CliCoverageTest, MailsPastTheDefaultCapacityAreNamedAndCanBeIndexed) {
  const std::string dump = Dump(3000);
  ASSERT_EQ(Index(dump), kExitOk) << err;
  EXPECT_NE(err.find("レコードが2500件を超えています"), std::string::npos) << err;
  const std::size_t at = dump.find(Mail(2501));
  char offset[32];
  std::snprintf(offset, sizeof offset, "0x%08zX", at);
  EXPECT_NE(err.find(std::string("tanavo-cli: ") + offset + ": 2501件目から500件のレコードが"), std::string::npos) << err;
  ASSERT_EQ(Run({"list", Ini()}), kExitOk) << err;
  EXPECT_EQ(Lines(out), 2500);
  // The export names what the index left out and writes nothing.
  EXPECT_EQ(Run({"export", Ini(), Out("x")}), kExitFailed);
  EXPECT_NE(err.find("インデックスに登録されていないレコードが500件あります (全3000件中)"), std::string::npos) << err;
  EXPECT_FALSE(fs::exists(Out("x")));

  for (const char* bad : {"0", "-1", "abc", "2500x", "99999999999", ""}) {
    EXPECT_EQ(Index(dump, {"--max-records", bad}), kExitUsage) << bad;
  }
  EXPECT_EQ(Run({"index", "--max-records"}), kExitUsage);

  ASSERT_EQ(Index(dump, {"--max-records", "2999"}), kExitOk) << err;
  EXPECT_NE(err.find("2999件を超えています"), std::string::npos) << err;
  EXPECT_NE(err.find(": 3000件目から1件のレコードが"), std::string::npos) << err;

  ASSERT_EQ(Index(dump, {"--max-records", "all"}), kExitOk) << err;
  EXPECT_EQ(err, "");
  // An index file of more records than the default capacity is read whole.
  ASSERT_EQ(Run({"list", Ini()}), kExitOk) << err;
  EXPECT_EQ(Lines(out), 3000);
  ASSERT_NE(out.rfind("\n(3000)"), std::string::npos);
  EXPECT_NE(out.find("mail 3000", out.rfind("\n(3000)")), std::string::npos);
  ASSERT_EQ(Run({"render", Ini(), "3000"}), kExitOk) << err;
  EXPECT_NE(out.find("mail 3000"), std::string::npos);
}

TEST_F(CliCoverageTest, ADumpCutInsideItsLastMailIsNamedAndRefusedByTheExport) {
  std::string dump = Dump(5);
  const std::size_t last = dump.find(Mail(5));
  dump.resize(dump.find("Subject:", last) + 5);  // cut inside Subject:
  ASSERT_EQ(Index(dump), kExitOk) << err;
  char line[160];
  std::snprintf(line, sizeof line, "tanavo-cli: 0x%08zX: 5件目のレコードが途中で切れています", last);
  EXPECT_EQ(err.rfind(line, 0), 0u) << err;
  EXPECT_EQ(Lines(err), 1) << err;
  ASSERT_EQ(Run({"list", Ini()}), kExitOk);
  EXPECT_EQ(Lines(out), 4);

  EXPECT_EQ(Run({"export", Ini(), Out("x")}), kExitFailed);
  EXPECT_NE(err.find("携帯ファイルの最後のレコードが途中で切れています"), std::string::npos) << err;
  EXPECT_NE(err.find("--partial"), std::string::npos) << err;
  EXPECT_FALSE(fs::exists(Out("x")));

  ASSERT_EQ(Run({"export", "--partial", Ini(), Out("y")}), kExitOk) << err;
  const std::string report = ReadBytes(dir / "y" / "report.html");
  const std::size_t coverage = report.find(u8"<h2>網羅性</h2>");
  ASSERT_NE(coverage, std::string::npos);
  EXPECT_LT(coverage, report.find(u8"<h2>証拠ファイル</h2>"));  // the coverage first
  char offset[32];
  std::snprintf(offset, sizeof offset, "0x%08zX", last);
  EXPECT_NE(report.find(std::string("<td class=\"mono\">") + offset + u8"</td><td class=\"missing\">途中で切れたレコード"),
            std::string::npos);
  EXPECT_NE(report.find(u8"<tr><th>書き出したレコード</th><td class=\"n\">4</td></tr>"), std::string::npos);
}

TEST_F(CliCoverageTest, AMailWithoutItsEndTagIsNamedAsTwoMailsMerged) {
  std::string dump = Dump(200);
  const std::size_t hundred = dump.find(Mail(100));
  const std::size_t end = dump.find("END:VMSG\r\n", hundred);
  dump.erase(end, 10);
  ASSERT_EQ(Index(dump), kExitOk) << err;
  char line[160];
  std::snprintf(line, sizeof line, "tanavo-cli: 0x%08zX: 100件目のレコードの中に、行頭の開始タグがもう一度あります",
                dump.find(Mail(101)));
  EXPECT_EQ(err.rfind(line, 0), 0u) << err;
  EXPECT_EQ(Lines(err), 1) << err;
  ASSERT_EQ(Run({"list", Ini()}), kExitOk);
  EXPECT_EQ(Lines(out), 199);
  // Nothing is left out: record 100 holds mail 101, and the export says so in its report.
  ASSERT_EQ(Run({"export", Ini(), Out("x")}), kExitOk) << err;
  EXPECT_NE(ReadBytes(dir / "x" / "report.html").find(u8"つながったレコード"), std::string::npos);
}

// A contact's list line through the ready-made preset: a value the record
// lacks leaves blanks of its placeholder's width, never the placeholder.
TEST_F(CliCoverageTest, AContactWithoutAPhoneNumberHasBlanksInItsListLine) {
  struct Case {
    const char* what;
    const char* tel;  // the TEL line, or "" for none
    std::string line;
  };
  const Case cases[] = {
      {"with a number", "TEL;CELL:090-1111-2222\r\n", "(1)Taro" + std::string(46, ' ') + "090-1111-2222   \n"},
      {"without a number", "", "(1)Taro" + std::string(46 + 16, ' ') + "\n"},
  };
  for (const Case& c : cases) {
    const std::string card = std::string("BEGIN:VCARD\r\nVERSION:2.1\r\nFN:Taro\r\n") + c.tel + "END:VCARD\r\n";
    std::ofstream(dir / "c.vcf", std::ios::binary) << card;
    ASSERT_EQ(Run({"index", (dir / "c.vcf").string(), Preset("vcard.kta"), Preset("vcard.kdp"), Ini()}), kExitOk)
        << c.what << err;
    ASSERT_EQ(Run({"list", Ini()}), kExitOk) << c.what << err;
    EXPECT_EQ(out.find("??"), std::string::npos) << c.what << out;
    EXPECT_EQ(out, c.line) << c.what;
  }
}

// Saving and loading an index count their records at a visible rate, ending
// on the last.
TEST(IndexFileProgress, SavingAndLoadingShowTheirCounterSeldom) {
  FakeApp f;
  constexpr int kRecords = 20000;
  SetRecordCapacity(f.app.index, kAllRecords);
  f.app.index.count = kRecords;
  for (int n = 1; n <= kRecords; ++n) {
    const std::size_t slot = RecordSlotFor(f.app.index, n);
    f.app.index.positions[slot] = n;
    f.app.index.lines[slot] = "line " + std::to_string(n);
  }
  f.platform.dialogAnswers = {"C:\\x.ini"};
  ASSERT_EQ(SaveIndexFile(f.app), IndexFileStatus::Done);
  auto counters = [&f] {
    std::vector<std::string> shown;
    for (const auto& s : f.platform.statusLog) {
      if (s.first == kProgressPart && !s.second.empty()) shown.push_back(s.second);
    }
    f.platform.statusLog.clear();
    return shown;
  };
  std::vector<std::string> shown = counters();
  ASSERT_FALSE(shown.empty());
  EXPECT_LT(shown.size(), 100u);
  EXPECT_EQ(shown.back(), "20000/20000件目");

  RecordIndex read;
  SetRecordCapacity(read, kAllRecords);
  IndexFilePaths paths;
  ReadIndexFileText(f.platform.files["C:\\x.ini"], &paths, &read);
  EXPECT_EQ(read.count, kRecords);
  EXPECT_EQ(read.lines[kRecords], "line 20000");
  f.platform.dialogAnswers = {"C:\\x.ini"};
  LoadIndexFileCommand(f.app);  // the mobile file it names is not there: read up to it
  EXPECT_EQ(f.app.index.count, kRecords);
  shown = counters();
  ASSERT_FALSE(shown.empty());
  EXPECT_LT(shown.size(), 100u);
  EXPECT_EQ(shown.back(), "20000/20000件目");
}

}  // namespace
}  // namespace tanavo
