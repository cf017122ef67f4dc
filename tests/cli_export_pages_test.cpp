// The export at many records: the report in pages of a thousand records
// linked from its index page, record and attachment files in folders of a
// thousand, and a chosen subset.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include <unistd.h>

#include "cli/cli.h"
#include "export/export_report.h"
#include "export/record_choice.h"
#include "export_support.h"
#include "index/index_file.h"

namespace tanavo {
namespace {

namespace fs = std::filesystem;

std::string Page(int k) {
  char name[32];
  std::snprintf(name, sizeof name, "%04d.html", k);
  return name;
}

// Every href of an HTML text, in order.
std::vector<std::string> Links(const std::string& html) {
  std::vector<std::string> links;
  const std::string mark = "href=\"";
  for (std::size_t at = html.find(mark); at != std::string::npos; at = html.find(mark, at)) {
    at += mark.size();
    links.push_back(html.substr(at, html.find('"', at) - at));
  }
  return links;
}

// The href of the link with rel (prev or next), empty when there is none.
std::string RelLink(const std::string& html, const std::string& rel) {
  const std::size_t at = html.find("\" rel=\"" + rel + "\"");
  if (at == std::string::npos) return std::string();
  const std::size_t start = html.rfind("href=\"", at) + 6;
  return html.substr(start, at - start);
}

std::size_t Occurrences(const std::string& text, const std::string& what) {
  std::size_t n = 0;
  for (std::size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + 1)) ++n;
  return n;
}

class CliExportPagesTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    // Made here, before any test runs: no test's name to take.
    dir = new fs::path(fs::path(::testing::TempDir()) / ("tanavo_cli_export_pages_" + std::to_string(getpid())));
    fs::remove_all(*dir);
    fs::create_directories(*dir);
    FakeApp program;
    std::vector<Mail> mails;
    for (int n = 1; n <= kMails; ++n) {
      Mail m{"a@x", "s" + std::to_string(n), "b", {}};
      if (n % 500 == 1) m.attachments.push_back({"p.jpg", "\xff\xd8\xff\xe0"});
      mails.push_back(m);
    }
    LoadMails(program, mails, "??Subject??\r\n??Body??");
    WriteEvidence(program.app, *dir, "m");
    std::string out, err;
    ASSERT_EQ(RunCli({"index", (*dir / "m.dat").string(), (*dir / "m.kta").string(), (*dir / "m.kdp").string(),
                      (*dir / "m.ini").string()},
                     nullptr, &out, &err),
              kExitOk)
        << err;
  }
  static void TearDownTestSuite() {
    fs::remove_all(*dir);
    delete dir;
  }

  // Exports the index (with --records when chosen is not empty) into dir/name.
  int Export(const std::string& name, const std::string& chosen, const std::string& ini = "m.ini",
             bool partial = false) {
    std::vector<std::string> args = {"export", (*dir / ini).string(), (*dir / name).string()};
    if (!chosen.empty()) args.insert(args.end(), {"--records", chosen});
    if (partial) args.push_back("--partial");
    return RunCli(args, nullptr, &out, &err);
  }

  static constexpr int kMails = 2500;
  static fs::path* dir;
  std::string out, err;
};

fs::path* CliExportPagesTest::dir = nullptr;

// Pages hold at most a thousand records; each links to the index page and
// to its neighbours, and they back to it; the index page links every page
// and holds the counts.
TEST_F(CliExportPagesTest, PagesOfAThousandLinkedBothWays) {
  struct Case {
    std::string chosen;  // empty: all
    int records, first;
  };
  const Case cases[] = {{"1", 1, 1}, {"1-1000", 1000, 1}, {"1500-", 1001, 1500}, {"", 2500, 1}};
  for (const Case& c : cases) {
    const std::string name = "out" + std::to_string(c.records);
    ASSERT_EQ(Export(name, c.chosen), kExitOk) << err;
    const fs::path o = *dir / name;
    const std::string index = ReadBytes(o / "report.html");
    const int pages = (c.records + 999) / 1000;
    std::vector<std::string> pageLinks;
    for (const std::string& l : Links(index)) {
      if (l.rfind("report/", 0) == 0) pageLinks.push_back(l);
    }
    ASSERT_EQ(pageLinks.size(), static_cast<std::size_t>(pages)) << name;
    EXPECT_EQ(std::distance(fs::directory_iterator(o / "report"), fs::directory_iterator()), pages);
    EXPECT_NE(index.find(u8"<th>インデックスのレコード数</th><td class=\"n\">2500</td>"), std::string::npos);
    EXPECT_EQ(index.find(u8"これはインデックスの一部です") != std::string::npos, !c.chosen.empty()) << name;
    const std::string chosen = c.chosen.empty() ? u8"全件 2500" : "(" + std::to_string(c.records) + u8"件)";
    EXPECT_NE(index.find("<th>" + std::string(u8"書き出したレコード") + "</th><td class=\"n\">"), std::string::npos);
    EXPECT_NE(index.find(chosen), std::string::npos) << name;
    int seen = 0;
    for (int k = 1; k <= pages; ++k) {
      EXPECT_EQ(pageLinks[static_cast<std::size_t>(k - 1)], "report/" + Page(k));
      const std::string html = ReadBytes(o / "report" / Page(k));
      EXPECT_EQ(Occurrences(html, "<a href=\"../report.html\">"), 2u) << k;  // above and below
      EXPECT_EQ(RelLink(html, "prev"), k > 1 ? Page(k - 1) : "") << k;
      EXPECT_EQ(RelLink(html, "next"), k < pages ? Page(k + 1) : "") << k;
      const int rows = static_cast<int>(Occurrences(html, "<tr><td class=\"n\">"));
      EXPECT_EQ(rows, std::min(1000, c.records - seen)) << k;
      // Every link leads to a file of the export.
      for (const std::string& l : Links(html)) {
        if (l[0] == '#') continue;
        EXPECT_TRUE(fs::is_regular_file(o / "report" / l)) << l;
      }
      const int first = c.first + seen;
      EXPECT_NE(html.find("<a href=\"#r" + std::string(6 - std::to_string(first).size(), '0') + std::to_string(first) +
                          "\">" + std::to_string(first) + "</a>"),
                std::string::npos)
          << k;
      seen += rows;
    }
    EXPECT_EQ(seen, c.records);
  }
}

TEST_F(CliExportPagesTest, AnIndexOfNoRecordsHasAnIndexPageAndNoPages) {
  RecordIndex none;
  none.count = 0;
  WriteFileBytes(*dir / "none.ini", BuildIndexFileText({(*dir / "m.dat").string(), (*dir / "m.kta").string(),
                                                        (*dir / "m.kdp").string()},
                                                       none));
  // It leaves every record of the mobile file out: only a partial export.
  ASSERT_EQ(Export("out0", "", "none.ini"), kExitFailed) << err;
  ASSERT_EQ(Export("out0", "", "none.ini", true), kExitOk) << err;
  const std::string index = ReadBytes(*dir / "out0/report.html");
  EXPECT_NE(index.find(u8"書き出したレコードはありません。"), std::string::npos);
  EXPECT_TRUE(fs::is_empty(*dir / "out0/report"));
  EXPECT_TRUE(fs::is_empty(*dir / "out0/records"));
  EXPECT_EQ(std::system(("cd '" + (*dir / "out0").string() + "' && sha256sum --quiet -c SHA256SUMS").c_str()), 0);
}

// Files in folders of a thousand by record number; SHA256SUMS names them
// as sha256sum -c finds them from the output folder.
TEST_F(CliExportPagesTest, FilesInFoldersOfAThousandVerifyWithSha256sum) {
  ASSERT_EQ(Export("sharded", "999-1001,2001"), kExitOk) << err;
  const fs::path o = *dir / "sharded";
  EXPECT_EQ(ReadBytes(o / "records/0001/000999.txt"), "s999\r\nb");
  for (const char* file : {"records/0001/001000.txt", "records/0002/001001.txt", "records/0003/002001.txt",
                           "attachments/0002/001001-1-p.jpg", "attachments/0003/002001-1-p.jpg"}) {
    EXPECT_TRUE(fs::is_regular_file(o / file)) << file;
  }
  EXPECT_EQ(std::distance(fs::recursive_directory_iterator(o / "records"), fs::recursive_directory_iterator()), 3 + 4);
  const std::string sums = ReadBytes(o / "SHA256SUMS");
  for (const char* file : {"  records/0002/001001.txt\n", "  attachments/0003/002001-1-p.jpg\n", "  report/0001.html\n",
                           "  report.html\n", "  records.tsv\n"}) {
    EXPECT_NE(sums.find(file), std::string::npos) << file;
  }
  EXPECT_EQ(std::system(("cd '" + o.string() + "' && sha256sum --quiet -c SHA256SUMS").c_str()), 0);
  const std::string index = ReadBytes(o / "report.html");
  EXPECT_NE(index.find(u8"999-1001,2001 (4件)"), std::string::npos);
  EXPECT_NE(index.find(u8"インデックスの2500件のうち、選んだ4件だけを書き出しました"), std::string::npos);
  EXPECT_EQ(Occurrences(ReadBytes(o / "records.tsv"), "\r\n"), 5u);
}

TEST_F(CliExportPagesTest, ChoicesPastTheLastRecordOrBadlyWrittenAreRefused) {
  struct Case {
    std::vector<std::string> args;
    int code;
    std::string message;
  };
  const Case cases[] = {
      {{"--records", "2501"}, kExitFailed, "tanavo-cli: no record 2501 (the index holds 2500 records)\n"},
      {{"--records", "2400-2600"}, kExitFailed, "tanavo-cli: no record 2600 (the index holds 2500 records)\n"},
      {{"--records", "3000-"}, kExitFailed, "tanavo-cli: no record 3000 (the index holds 2500 records)\n"},
      {{"--records", "1-2,x"}, kExitUsage,
       "tanavo-cli: --records: \"x\" is no record number N, range N-M or open range N- (N from 1)\n"},
      {{"--records", "5-3"}, kExitUsage, "tanavo-cli: --records: \"5-3\" ends before it starts\n"},
      {{"--records"}, kExitUsage, "tanavo-cli: --records: needs a list such as 1-100,250,300-\n"},
      {{"--records", "1", "--records", "2"}, kExitUsage, "tanavo-cli: --records: given twice\n"},
  };
  for (const Case& c : cases) {
    std::vector<std::string> args = {"export", (*dir / "m.ini").string(), (*dir / "refused").string()};
    args.insert(args.end(), c.args.begin(), c.args.end());
    EXPECT_EQ(RunCli(args, nullptr, &out, &err), c.code) << c.args.back();
    EXPECT_EQ(err.rfind(c.message, 0), 0u) << err;
    EXPECT_FALSE(fs::exists(*dir / "refused")) << c.args.back();
  }
}

TEST(RecordChoice, TheSyntaxOfChosenRecords) {
  struct Case {
    std::string text;
    bool ok;
    std::string resolved;  // against 2500 records
    int64_t count;
  };
  const Case cases[] = {
      {"1-100,250,300-", true, "1-100,250,300-2500", 2302},
      {"7", true, "7", 1},
      {"300-,1-100", true, "1-100,300-2500", 2301},
      {"1-10,5-20,21", true, "1-21", 21},  // overlapping and touching ranges are one
      {"2500-", true, "2500", 1},
      {"3-3", true, "3", 1},
      {"", false, "", 0},
      {"0", false, "", 0},
      {"-5", false, "", 0},
      {"1,,2", false, "", 0},
      {"1,", false, "", 0},
      {"1 -2", false, "", 0},
      {"1-2-3", false, "", 0},
      {"+1", false, "", 0},
      {"5-3", false, "", 0},
      {"99999999999", false, "", 0},
      {"1-x", false, "", 0},
  };
  for (const Case& c : cases) {
    RecordChoice choice;
    std::string why;
    ASSERT_EQ(RecordChoice::Parse(c.text, &choice, &why), c.ok) << c.text;
    if (!c.ok) {
      EXPECT_FALSE(why.empty()) << c.text;
      continue;
    }
    int32_t beyond = 0;
    ASSERT_TRUE(choice.Resolve(2500, &beyond)) << c.text;
    EXPECT_EQ(choice.Text(), c.resolved) << c.text;
    EXPECT_EQ(choice.Count(), c.count) << c.text;
  }
  RecordChoice all;
  int32_t beyond = 0;
  ASSERT_TRUE(all.Resolve(3, &beyond));
  EXPECT_TRUE(all.All());
  EXPECT_EQ(all.Count(), 3);
}

// The tagged records as a choice: numbers in any order, repeated, merged
// into ranges; none chosen is no record, never all of them.
TEST(RecordChoice, OfRecordNumbers) {
  RecordChoice tagged = RecordChoice::Of({9, 3, 5, 4, 3});
  int32_t beyond = 0;
  ASSERT_TRUE(tagged.Resolve(10, &beyond));
  EXPECT_EQ(tagged.Text(), "3-5,9");
  EXPECT_EQ(tagged.Count(), 4);
  for (int32_t n : {1, 2, 6, 8, 10}) EXPECT_FALSE(tagged.Holds(n)) << n;
  for (int32_t n : {3, 4, 5, 9}) EXPECT_TRUE(tagged.Holds(n)) << n;
  RecordChoice none = RecordChoice::Of({});
  ASSERT_TRUE(none.Resolve(10, &beyond));
  EXPECT_FALSE(none.All());
  EXPECT_EQ(none.Count(), 0);
  EXPECT_FALSE(none.Holds(1));
}

// records.tsv stays one file; past the rows a spreadsheet sheet holds, the
// index page says so.
TEST(ReportIndexPage, SaysWhenTheTableOutgrowsASpreadsheet) {
  ReportSummary s;
  s.tableRows = kSpreadsheetRows;
  EXPECT_EQ(ReportIndexPage(s).find(u8"表計算ソフト"), std::string::npos);
  s.tableRows = kSpreadsheetRows + 1;
  EXPECT_NE(ReportIndexPage(s).find(u8"records.tsv は見出しを含めて1048577行あり、表計算ソフトの1シートに入る1048576行を超えています"),
            std::string::npos);
}

}  // namespace
}  // namespace tanavo
