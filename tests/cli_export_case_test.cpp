// tanavo-cli export with a case file: each record's time and tags as
// columns of records.tsv, the tagged records first in the report with a
// timeline drawn beside them, the case covered by SHA256SUMS, and --tagged.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "case/case_file.h"
#include "test_support.h"

namespace tanavo {
namespace {

namespace fs = std::filesystem;

std::vector<std::string> Split(const std::string& text, const std::string& separator) {
  std::vector<std::string> parts;
  std::size_t at = 0;
  for (std::size_t end; (end = text.find(separator, at)) != std::string::npos; at = end + separator.size()) {
    parts.push_back(text.substr(at, end - at));
  }
  parts.push_back(text.substr(at));
  return parts;
}

std::size_t Occurrences(const std::string& text, const std::string& what) {
  std::size_t n = 0;
  for (std::size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + 1)) ++n;
  return n;
}

// A mail as a vMessage record, with a Date line when date is not empty.
std::string VMessage(const std::string& date, const std::string& subject) {
  return "BEGIN:VMSG\r\nVERSION:1.1\r\nBEGIN:VENV\r\nBEGIN:VBODY\r\n" +
         (date.empty() ? std::string() : "Date: " + date + "\r\n") + "From: a@example.jp\r\nSubject: " + subject +
         "\r\n\r\nbody " + subject + "\r\nEND:VBODY\r\nEND:VENV\r\nEND:VMSG\r\n";
}

class CliExportCaseTest : public ::testing::Test {
 protected:
  void SetUp() override {
    dir = FreshTestFolder("cli_export_case");
    // A zone given, none given (assumed), no time at all, another day.
    Index("mail", VMessage("Tue, 10 Jan 2006 09:15:00 +0900", "one") + VMessage("2006/01/10 18:00", "two") +
                      VMessage("", "three") + VMessage("Mon, 16 Jan 2006 07:05:00 +0900", "four"));
    ASSERT_EQ(Run("case " + Q("mail.idx") + " " + Q("mail.tcase")), 0) << err;
    ASSERT_EQ(Run("tag " + Q("mail.tcase") + " 3 '" + std::string(u8"確認") + "'"), 0) << err;
    ASSERT_EQ(Run("tag " + Q("mail.tcase") + " 1 '" + std::string(u8"重要") + "' --note '" +
                  std::string(u8"会議\tの件") + "'"),
              0)
        << err;
    ASSERT_EQ(Run("tag " + Q("mail.tcase") + " 1 second"), 0) << err;
  }
  void TearDown() override { fs::remove_all(dir); }

  int Run(const std::string& args) {
    const std::string command = std::string("LC_ALL=C '") + TANAVO_CLI + "' " + args + " >'" + (dir / "out").string() +
                                "' 2>'" + (dir / "err").string() + "'";
    const int status = std::system(command.c_str());
    out = ReadBytes(dir / "out");
    err = ReadBytes(dir / "err");
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  }
  std::string Q(const std::string& name) const { return "'" + (dir / name).string() + "'"; }

  // name.vmg with the vMessage preset's settings, indexed as name.idx.
  void Index(const std::string& name, const std::string& dump) {
    std::ofstream(dir / (name + ".vmg"), std::ios::binary) << dump;
    const std::string presets = std::string(TANAVO_SOURCE_DIR) + "/presets/";
    fs::copy_file(presets + "vmessage.kta", dir / (name + ".kta"));
    fs::copy_file(presets + "vmessage.kdp", dir / (name + ".kdp"));
    ASSERT_EQ(Run("index " + Q(name + ".vmg") + " " + Q(name + ".kta") + " " + Q(name + ".kdp") + " " +
                  Q(name + ".idx")),
              0)
        << err;
  }

  // The rows of an export's records.tsv, header first, each split into cells.
  std::vector<std::vector<std::string>> Table(const std::string& folder) {
    std::vector<std::vector<std::string>> rows;
    for (const std::string& line : Split(ReadBytes(dir / folder / "records.tsv"), "\r\n")) {
      if (!line.empty()) rows.push_back(Split(line, "\t"));
    }
    return rows;
  }

  fs::path dir;
  std::string out, err;
};

TEST_F(CliExportCaseTest, TimesAndTagsBecomeColumnsAndOpenTheReport) {
  ASSERT_EQ(Run("export " + Q("mail.idx") + " " + Q("x") + " --case " + Q("mail.tcase")), 0) << err;
  const std::vector<std::vector<std::string>> rows = Table("x");
  ASSERT_EQ(rows.size(), 5u);
  // The case's columns come after every column of an export without one.
  const std::vector<std::string> header = rows[0];
  ASSERT_GE(header.size(), 4u);
  EXPECT_EQ(std::vector<std::string>(header.end() - 5, header.end()),
            (std::vector<std::string>{u8"添付ファイル", u8"時刻", u8"時間帯の仮定", u8"タグ", u8"メモ"}));
  const struct {
    const char* time;
    const char* assumed;
    const char* tags;
    const char* notes;
  } expected[] = {
      {"2006-01-10T09:15:00+09:00", "", u8"重要 | second", u8"会議\\tの件"},
      {"2006-01-10T18:00:00+09:00", u8"仮定", "", ""},
      {"", "", u8"確認", ""},
      {"2006-01-16T07:05:00+09:00", "", "", ""},
  };
  for (std::size_t i = 0; i < 4; ++i) {
    const std::vector<std::string>& row = rows[i + 1];
    ASSERT_EQ(row.size(), header.size()) << i;
    EXPECT_EQ(row[0], std::to_string(i + 1));
    EXPECT_EQ(std::vector<std::string>(row.end() - 4, row.end()),
              (std::vector<std::string>{expected[i].time, expected[i].assumed, expected[i].tags, expected[i].notes}))
        << "record " << i + 1;
  }

  // The tagged records open the index page, each linked to its section.
  const std::string report = ReadBytes(dir / "x" / "report.html");
  const std::size_t tagged = report.find(u8"<h2>タグを付けたレコード</h2>");
  ASSERT_NE(tagged, std::string::npos);
  EXPECT_LT(tagged, report.find(u8"<h2>網羅性</h2>"));
  EXPECT_LT(tagged, report.find(u8"<h2>証拠ファイル</h2>"));
  const std::string page = ReadBytes(dir / "x" / "report" / "0001.html");
  for (const char* record : {"000001", "000003"}) {
    EXPECT_NE(report.find(std::string("<a href=\"report/0001.html#r") + record + "\">"), std::string::npos) << record;
    EXPECT_NE(page.find(std::string("id=\"r") + record + "\""), std::string::npos) << record;
  }
  EXPECT_NE(report.find(u8"<td>重要</td><td>会議\tの件</td>"), std::string::npos);
  EXPECT_EQ(Occurrences(report, "<a href=\"report/0001.html#r"), 3u);  // record 1 tagged twice

  // The timeline: a bar a day, records without a time counted apart, and
  // still no script.
  EXPECT_EQ(Occurrences(report, "<svg "), 1u);
  EXPECT_EQ(Occurrences(report, "<rect "), 2u);
  EXPECT_NE(report.find(u8"<title>2006-01-10: 2件</title>"), std::string::npos);
  EXPECT_NE(report.find(u8"<title>2006-01-16: 1件</title>"), std::string::npos);
  EXPECT_NE(report.find(u8"時刻のないレコード 1件"), std::string::npos);
  EXPECT_EQ(report.find("<script"), std::string::npos);
  EXPECT_NE(report.find("content=\"default-src 'none'; style-src 'unsafe-inline'\""), std::string::npos);

  // SHA256SUMS covers the case where it is, as the other evidence; a tag
  // saved later no longer verifies.
  const std::string tcase = (dir / "mail.tcase").string();
  EXPECT_NE(ReadBytes(dir / "x" / "SHA256SUMS").find("  " + tcase + "\n"), std::string::npos);
  EXPECT_NE(report.find(u8"<th>ケースファイル</th><td class=\"path\">" + tcase + "</td>"), std::string::npos);
  const std::string check = "cd " + Q("x") + " && sha256sum --quiet -c SHA256SUMS >/dev/null 2>&1";
  EXPECT_EQ(std::system(check.c_str()), 0);
  ASSERT_EQ(Run("tag " + Q("mail.tcase") + " 2 later"), 0) << err;
  EXPECT_NE(std::system(check.c_str()), 0);
}

TEST_F(CliExportCaseTest, TaggedExportsTheTaggedRecordsOnly) {
  Index("untagged", VMessage("", "alone"));
  ASSERT_EQ(Run("case " + Q("untagged.idx") + " " + Q("untagged.tcase")), 0) << err;
  const struct {
    std::string args;
    int exit;
    std::vector<std::string> records;  // in records.tsv
    std::string said;                  // in report.html, or on stderr when the call is wrong
  } cases[] = {
      {"mail.idx t1 --tagged --case mail.tcase", 0, {"1", "3"}, u8"選んだ2件だけを書き出しました (--tagged)"},
      {"untagged.idx t2 --case untagged.tcase --tagged", 0, {}, u8"書き出したレコードはありません"},
      {"mail.idx t3 --tagged", 2, {}, "--tagged: needs --case CASE and no --records"},
      {"mail.idx t4 --tagged --records 1 --case mail.tcase", 2, {}, "--tagged: needs --case CASE and no --records"},
      {"mail.idx t5 --case", 2, {}, "--case: needs one case file"},
  };
  for (const auto& c : cases) {
    std::string args;
    // Options and numbers as they are, file names in the test's folder.
    for (const std::string& a : Split(c.args, " ")) args += (a.rfind("--", 0) == 0 || a == "1" ? a : Q(a)) + " ";
    ASSERT_EQ(Run("export " + args), c.exit) << c.args << "\n" << err;
    const std::string folder = Split(c.args, " ")[1];
    if (c.exit != 0) {
      EXPECT_NE(err.find(c.said), std::string::npos) << c.args << "\n" << err;
      EXPECT_FALSE(fs::exists(dir / folder)) << c.args;
      continue;
    }
    std::vector<std::string> records;
    for (const auto& row : Table(folder)) records.push_back(row[0]);
    records.erase(records.begin());
    EXPECT_EQ(records, c.records) << c.args;
    EXPECT_NE(ReadBytes(dir / folder / "report.html").find(c.said), std::string::npos) << c.args;
  }
}

// A case another program holds open (the window program) keeps tags saved
// meanwhile in its log: the export hashes the case with them written into
// the file, so that it still verifies once that program closes it.
TEST_F(CliExportCaseTest, ACaseHeldOpenElsewhereVerifiesOnceClosed) {
  std::unique_ptr<CaseFile> window;
  ASSERT_EQ(CaseFile::Open((dir / "mail.tcase").string(), false, &window), CaseOpenStatus::Ok);
  ASSERT_TRUE(window->Built());
  ASSERT_EQ(Run("tag " + Q("mail.tcase") + " 4 meanwhile"), 0) << err;
  ASSERT_EQ(Run("export " + Q("mail.idx") + " " + Q("x") + " --case " + Q("mail.tcase")), 0) << err;
  EXPECT_NE(ReadBytes(dir / "x" / "records.tsv").find("\tmeanwhile\t"), std::string::npos);
  window.reset();
  EXPECT_EQ(std::system(("cd " + Q("x") + " && sha256sum --quiet -c SHA256SUMS >/dev/null 2>&1").c_str()), 0);
}

// A case of other evidence, or whose evidence changed, is refused before
// anything is written.
TEST_F(CliExportCaseTest, RefusesACaseOfOtherOrChangedEvidence) {
  Index("other", VMessage("", "other"));
  ASSERT_EQ(Run("case " + Q("other.idx") + " " + Q("other.tcase")), 0) << err;
  EXPECT_EQ(Run("export " + Q("mail.idx") + " " + Q("a") + " --case " + Q("other.tcase")), 1);
  EXPECT_NE(err.find("別のインデックスから作成されています"), std::string::npos) << err;
  EXPECT_FALSE(fs::exists(dir / "a"));
  EXPECT_EQ(Run("export " + Q("mail.idx") + " " + Q("b") + " --case " + Q("missing.tcase")), 1);
  EXPECT_FALSE(fs::exists(dir / "b"));
  std::ofstream(dir / "mail.kdp", std::ios::binary | std::ios::app) << " ";
  ASSERT_EQ(Run("index " + Q("mail.vmg") + " " + Q("mail.kta") + " " + Q("mail.kdp") + " " + Q("mail2.idx")), 0);
  EXPECT_EQ(Run("export " + Q("mail2.idx") + " " + Q("c") + " --case " + Q("mail.tcase")), 1);
  EXPECT_NE(err.find("変更されています"), std::string::npos) << err;
  EXPECT_FALSE(fs::exists(dir / "c"));
}

}  // namespace
}  // namespace tanavo
