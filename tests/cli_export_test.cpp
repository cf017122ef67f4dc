#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "cli/cli.h"
#include "export/export_text.h"
#include "display/attachment.h"
#include "display/render.h"
#include "cli/cmd_export.h"
#include "export_support.h"
#include "platform/digest.h"

namespace tanavo {
namespace {

namespace fs = std::filesystem;
using namespace std::string_literals;

std::vector<std::string> Split(const std::string& text, const std::string& separator) {
  std::vector<std::string> parts;
  std::size_t at = 0;
  for (std::size_t end; (end = text.find(separator, at)) != std::string::npos; at = end + separator.size()) {
    parts.push_back(text.substr(at, end - at));
  }
  parts.push_back(text.substr(at));
  return parts;
}

// The TSV table as rows of fields, without the empty line after the last row end.
std::vector<std::vector<std::string>> Table(const fs::path& tsv) {
  std::vector<std::vector<std::string>> rows;
  std::vector<std::string> lines = Split(ReadBytes(tsv), "\r\n");
  EXPECT_EQ(lines.back(), "");
  lines.pop_back();
  for (const std::string& line : lines) rows.push_back(Split(line, "\t"));
  return rows;
}

// sha256sum -c run in the folder, quietly; true when every line checked out.
bool ChecksumsVerify(const fs::path& folder) {
  const std::string command = "cd '" + folder.string() + "' && sha256sum --quiet -c SHA256SUMS";
  return std::system(command.c_str()) == 0;
}

struct Stamp {
  std::string bytes;
  struct timespec modified, changed;
};

Stamp StampOf(const fs::path& p) {
  struct stat st {};
  EXPECT_EQ(::stat(p.c_str(), &st), 0) << p;
  return {ReadBytes(p), st.st_mtim, st.st_ctim};
}

void ExpectSameStamp(const Stamp& a, const Stamp& b, const fs::path& p) {
  EXPECT_EQ(a.bytes, b.bytes) << p;
  EXPECT_TRUE(a.modified.tv_sec == b.modified.tv_sec && a.modified.tv_nsec == b.modified.tv_nsec) << p;
  EXPECT_TRUE(a.changed.tv_sec == b.changed.tv_sec && a.changed.tv_nsec == b.changed.tv_nsec) << p;
}

std::set<std::string> Listing(const fs::path& folder) {
  std::set<std::string> names;
  for (const auto& e : fs::recursive_directory_iterator(folder)) names.insert(e.path().string());
  return names;
}

std::string PageName(int k) {
  char name[32];
  std::snprintf(name, sizeof name, "%04d.html", k);
  return name;
}

// Where the export writes attachment NAME (its folder by record), and the
// link to it from the page of the record table.
std::string AttachmentPath(const std::string& name) { return "attachments/0001/" + name; }
std::string LinkFromPage(const std::string& path) { return "../" + path; }
// Every page of the report, one after another.
std::string ReportPages(const fs::path& out) {
  std::string pages;
  for (int k = 1; fs::exists(out / "report" / PageName(k)); ++k) pages += ReadBytes(out / "report" / PageName(k));
  return pages;
}

const std::string kJpeg = "\xff\xd8\xff\xe0JFIF\0\x01\x02\x80\xff\xd9"s;
// Items lose their TAB and NUL bytes in decoding; the list line keeps a TAB
// of its template and a body its NUL.
const std::string kHostileSubject = "<script>alert(\"x&y\")</script>\x80\xff";

const std::vector<Mail> kMails = {
    {"a@x", "plain", "body\0with NUL"s, {}},
    {"b@y", "photos", "see", {{"p.jpg", kJpeg}, {"../../evil.exe", "MZ"}, {"p.jpg", "second"}}},
    {"c@z", kHostileSubject, "<b>bold</b> & \"q\"", {{"<img src=x>&'.jpg", "img"}}},
};

// The evidence (a generated mail dump, its settings and index) in one folder,
// the exports in another.
class CliExportTest : public ::testing::Test {
 protected:
  void SetUp() override {
    dir = FreshTestFolder("tanavo_cli_export");
    evidence = dir / "evidence";
    fs::create_directories(evidence);
    LoadMails(program, kMails, "From: ??From??\r\nSubject: ??Subject??\r\n??Body??");
    program.app.display.listLineTemplate = "??Subject??\t!";
    WriteEvidence(program.app, evidence, "m");
    ini = (evidence / "m.ini").string();
    ASSERT_EQ(Run({"index", (evidence / "m.dat").string(), (evidence / "m.kta").string(),
                   (evidence / "m.kdp").string(), ini}),
              kExitOk);
  }
  void TearDown() override { fs::remove_all(dir); }
  int Run(const std::vector<std::string>& args) { return RunCli(args, nullptr, &out, &err); }

  FakeApp program;
  fs::path dir, evidence;
  std::string ini, out, err;
};

TEST_F(CliExportTest, ExportsTheBundledSamplesVerifiably) {
  const fs::path samples = fs::path(TANAVO_SOURCE_DIR) / "samples";
  const std::string sampleIni = (dir / "mail.ini").string();
  ASSERT_EQ(Run({"index", (samples / "mail.dat").string(), (samples / "mail.kta").string(),
                 (samples / "mail.kdp").string(), sampleIni}),
            kExitOk);
  const fs::path o = dir / "samples-out";
  ASSERT_EQ(Run({"export", sampleIni, o.string()}), kExitOk) << err;
  EXPECT_TRUE(ChecksumsVerify(o));
  const std::string sums = ReadBytes(o / "SHA256SUMS");
  for (const char* name : {"mail.dat", "mail.kta", "mail.kdp"}) {
    EXPECT_NE(sums.find("  " + (samples / name).string() + "\n"), std::string::npos) << name;
  }
  EXPECT_NE(sums.find("  " + sampleIni + "\n"), std::string::npos);
  EXPECT_EQ(sums.find("SHA256SUMS"), std::string::npos);

  // The same records in the program: each text, value and attachment as the
  // data display gives it, whatever the samples hold.
  FakeApp f;
  f.app.state.mobileFile = ReadBytes(samples / "mail.dat");
  ReadSettingsEntries(f.app, ReadBytes(samples / "mail.kta"));
  TakeDisplaySettingsFile(f.app, ReadBytes(samples / "mail.kdp"));
  ASSERT_EQ(CreateIndex(f.app), 0);
  const int32_t records = f.app.index.count;
  ASSERT_GT(records, 0);
  const auto rows = Table(o / "records.tsv");
  ASSERT_EQ(rows.size(), static_cast<std::size_t>(records) + 1);
  std::vector<std::string> header = {u8"番号", u8"位置", u8"オフセット", u8"一覧行"};
  std::vector<int> data;
  for (int i = 0; i < UsedCount(f.app.extraction); ++i) {
    if (f.app.extraction.entries[i].kind.Text() == "Data") {
      data.push_back(i);
      header.push_back(TsvField(f.app.extraction.entries[i].name));
    }
  }
  header.push_back(u8"添付ファイル");
  EXPECT_EQ(rows[0], header);
  int attachments = 0;
  for (int32_t n = 1; n <= records; ++n) {
    const std::vector<std::string>& row = rows[static_cast<std::size_t>(n)];
    ASSERT_EQ(row.size(), header.size()) << n;
    EXPECT_EQ(row[0], std::to_string(n));
    EXPECT_EQ(row[1], std::to_string(f.app.index.positions[n]));
    char offset[16], file[32];
    std::snprintf(offset, sizeof offset, "0x%08X", f.app.index.positions[n] - 1);
    EXPECT_EQ(row[2], offset);
    EXPECT_EQ(row[3], TsvField(f.app.index.lines[n]));
    const RenderedRecord r = RenderRecord(f.app, n, nullptr, RenderValues::Collect);
    ASSERT_EQ(r.status, RenderStatus::Rendered);
    std::snprintf(file, sizeof file, "records/%04d/%06d.txt", (n - 1) / 1000 + 1, n);
    EXPECT_EQ(ReadBytes(o / file), r.text) << file;
    for (std::size_t k = 0; k < data.size(); ++k) {
      std::string joined;
      for (const std::string& v : r.values[static_cast<std::size_t>(data[k])]) {
        joined += (joined.empty() ? "" : " | ") + TsvField(v);
      }
      EXPECT_EQ(row[4 + k], joined) << n << " " << k;
    }
    const int listed = static_cast<int>(r.attachmentFiles.size());
    const std::vector<std::string> names = listed > 0 ? Split(row.back(), " | ") : std::vector<std::string>();
    ASSERT_EQ(names.size(), static_cast<std::size_t>(listed)) << n;
    for (int slot = 1; slot <= listed; ++slot) {
      const std::string& name = names[static_cast<std::size_t>(slot - 1)];
      std::snprintf(file, sizeof file, "%04d/%06d-%d-", (n - 1) / 1000 + 1, n, slot);
      EXPECT_EQ(name.rfind(file, 0), 0u) << name;
      EXPECT_EQ(ReadBytes(o / "attachments" / name), DecodeAttachment(r.attachmentFiles[slot - 1].content)) << name;
      ++attachments;
    }
  }
  EXPECT_EQ(std::distance(fs::recursive_directory_iterator(o / "attachments"), fs::recursive_directory_iterator()),
            attachments + 1);  // and their folder
  EXPECT_TRUE(fs::is_regular_file(o / "report.html"));

  // The attachments are the files the samples were made from.
  const fs::path originals = fs::path(TANAVO_SOURCE_DIR) / "tests/data/samples";
  std::istringstream list(ReadBytes(originals / "mail-attachments.txt"));
  int compared = 0;
  for (std::string line; std::getline(list, line);) {
    if (line.empty() || line[0] == '#') continue;
    const std::vector<std::string> f = Split(line, "\t");
    ASSERT_EQ(f.size(), 4u) << line;
    char prefix[32];
    std::snprintf(prefix, sizeof prefix, "0001/%06d-%s-", std::stoi(f[0]), f[1].c_str());
    EXPECT_EQ(ReadBytes(o / "attachments" / (prefix + f[2])), ReadBytes(originals / f[3])) << line;
    ++compared;
  }
  EXPECT_EQ(compared, attachments);
}

TEST_F(CliExportTest, WritesRecordsAttachmentsAndTheirTableRows) {
  const fs::path o = dir / "out";
  ASSERT_EQ(Run({"export", ini, o.string()}), kExitOk) << err;
  EXPECT_TRUE(ChecksumsVerify(o));
  EXPECT_EQ(ReadBytes(o / "attachments/0001/000002-1-p.jpg"), kJpeg);
  EXPECT_EQ(ReadBytes(o / "attachments/0001/000002-2-.._.._evil.exe"), "MZ");
  EXPECT_EQ(ReadBytes(o / "attachments/0001/000002-3-p.jpg"), "second");
  EXPECT_EQ(ReadBytes(o / "attachments/0001/000003-1-_img src=x_&'.jpg"), "img");
  EXPECT_EQ(std::distance(fs::directory_iterator(o / "attachments/0001"), fs::directory_iterator()), 4);
  EXPECT_EQ(std::distance(fs::directory_iterator(o / "records/0001"), fs::directory_iterator()), 3);
  EXPECT_EQ(ReadBytes(o / "records/0001/000001.txt"), "From: a@x\r\nSubject: plain\r\nbody\0with NUL"s);

  const auto rows = Table(o / "records.tsv");
  ASSERT_EQ(rows.size(), 4u);
  EXPECT_EQ(rows[0], (std::vector<std::string>{u8"番号", u8"位置", u8"オフセット", u8"一覧行", "From", "Subject", "Body",
                                               u8"添付ファイル"}));
  EXPECT_EQ(rows[1], (std::vector<std::string>{"1", "1", "0x00000000", "plain\\t!", "a@x", "plain",
                                               "body\\x00with NUL", ""}));
  EXPECT_EQ(rows[2][4], "b@y");
  EXPECT_EQ(rows[2][6], "see\\r\\n");
  EXPECT_EQ(rows[2][7], "0001/000002-1-p.jpg | 0001/000002-2-.._.._evil.exe | 0001/000002-3-p.jpg");
  const std::size_t second = program.app.state.mobileFile.find("<MAIL>", 1);
  EXPECT_EQ(rows[2][1], std::to_string(second + 1));

  // The hostile mail, escaped in the table and in the report.
  const std::string subjectTsv = "<script>alert(\"x&y\")</script>\\x80\\xFF";
  EXPECT_EQ(rows[3][3], subjectTsv + "\\t!");
  EXPECT_EQ(rows[3][5], subjectTsv);
  EXPECT_EQ(rows[3][6], "<b>bold</b> & \"q\"\\r\\n");
  EXPECT_EQ(rows[3][7], "0001/000003-1-_img src=x_&'.jpg");
  const std::string html = ReadBytes(o / "report/0001.html");
  for (const char* markup : {"<script", "<img", "<b>", "\"q\""}) {
    EXPECT_EQ(html.find(markup), std::string::npos) << markup;
  }
  EXPECT_EQ(html.find('\0'), std::string::npos);
  EXPECT_NE(html.find("&lt;script&gt;alert(&quot;x&amp;y&quot;)&lt;/script&gt;<span class=\"x\">\\x80</span>"
                      "<span class=\"x\">\\xFF</span>\t!"),
            std::string::npos);
  EXPECT_NE(html.find("&lt;b&gt;bold&lt;/b&gt; &amp; &quot;q&quot;"), std::string::npos);
  EXPECT_NE(html.find("body<span class=\"x\">\\x00</span>with NUL"), std::string::npos);
  EXPECT_NE(html.find("<a href=\"../attachments/0001/000003-1-_img%20src%3Dx_%26%27.jpg\">000003-1-_img src=x_&amp;&#39;.jpg</a>"),
            std::string::npos);
  EXPECT_NE(html.find("<a href=\"../records/0001/000002.txt\">000002.txt</a>"), std::string::npos);
  EXPECT_NE(err.find("エクスポート: 3件のレコードを書き出します\n"), std::string::npos) << err;
  EXPECT_NE(err.find("エクスポート終了: 3件 (見つからないもの 0件)、添付ファイル 4個、ファイル 11個、"), std::string::npos);
}

TEST_F(CliExportTest, LeavesTheEvidenceAsItWas) {
  std::vector<std::pair<fs::path, Stamp>> before;
  for (const char* name : {"m.dat", "m.kta", "m.kdp", "m.ini"}) before.push_back({evidence / name, StampOf(evidence / name)});
  const std::set<std::string> listing = Listing(evidence);
  ::sleep(1);  // a write would show in the time stamps even on a coarse clock
  ASSERT_EQ(Run({"export", ini, (dir / "out").string()}), kExitOk) << err;
  for (const auto& [path, stamp] : before) ExpectSameStamp(stamp, StampOf(path), path);
  EXPECT_EQ(Listing(evidence), listing);
}

TEST_F(CliExportTest, RefusesAFolderThatIsNotEmptyOrNotAFolder) {
  const fs::path full = dir / "full";
  fs::create_directories(full);
  WriteFileBytes(full / "keep.txt", "mine");
  WriteFileBytes(dir / "file", "a file");
  struct Case {
    fs::path outDir;
    std::string box;
  };
  const Case cases[] = {
      {full, u8"警告: 出力フォルダ " + full.string() + u8" は空ではありません!!\n"},
      {dir / "file", u8"警告: 出力フォルダ " + (dir / "file").string() + u8" はフォルダではありません!!\n"},
      {dir / "no" / "parent", u8"エクスポート: フォルダを作成できません!! " + (dir / "no" / "parent").string() + "\n"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(RunCli({"--utf8", "export", ini, c.outDir.string()}, nullptr, &out, &err), kExitFailed);
    EXPECT_EQ(err, c.box);
  }
  EXPECT_EQ(ReadBytes(full / "keep.txt"), "mine");
  EXPECT_EQ(std::distance(fs::directory_iterator(full), fs::directory_iterator()), 1);
  EXPECT_EQ(ReadBytes(dir / "file"), "a file");

  const fs::path empty = dir / "empty";
  fs::create_directories(empty);
  EXPECT_EQ(Run({"export", ini, empty.string()}), kExitOk) << err;
  EXPECT_EQ(Run({"export", ini}), kExitUsage);
}

TEST_F(CliExportTest, RecordsMissingFromAChangedFileAreMarkedAndExitOne) {
  std::string changed = program.app.state.mobileFile;
  changed.replace(changed.rfind("<MAIL>"), 6, "<MALL>");  // no record starts at or after the last one's position
  WriteFileBytes(evidence / "m.dat", changed);
  const fs::path o = dir / "out";
  EXPECT_EQ(RunCli({"--utf8", "export", ini, o.string()}, nullptr, &out, &err), kExitFailed);
  EXPECT_NE(err.find(u8"警告: 1件のレコードが携帯ファイルの記録位置に見つかりませんでした!!\n"), std::string::npos) << err;
  EXPECT_TRUE(ChecksumsVerify(o));
  EXPECT_FALSE(fs::exists(o / "records/0001/000003.txt"));
  EXPECT_TRUE(fs::exists(o / "records/0001/000002.txt"));
  const auto rows = Table(o / "records.tsv");
  ASSERT_EQ(rows.size(), 4u);
  EXPECT_EQ(rows[3], (std::vector<std::string>{"3", rows[3][1], rows[3][2], rows[3][3], "", "", "", ""}));
  EXPECT_NE(ReadBytes(o / "report/0001.html").find(u8"見つかりません"), std::string::npos);
}

// Exports the mails with the fixture's settings into dir/out; its exit status.
int ExportMails(const fs::path& dir, const std::vector<Mail>& mails, std::string* err,
                const std::string& layout = "??Subject??\r\n??Body??") {
  FakeApp program;
  LoadMails(program, mails, layout);
  WriteEvidence(program.app, dir, "m");
  std::string out;
  const std::string ini = (dir / "m.ini").string();
  if (RunCli({"index", (dir / "m.dat").string(), (dir / "m.kta").string(), (dir / "m.kdp").string(), ini}, nullptr,
             &out, err) != kExitOk) {
    return -1;
  }
  return RunCli({"export", ini, (dir / "out").string()}, nullptr, &out, err);
}

// A click in the report opens what a link names in the browser: only what the
// window program would open is linked; an HTML or SVG attachment would run as
// a page of its own, outside the report's Content-Security-Policy.
TEST(CliExportAttachments, OnlyWhatTheWindowProgramOpensIsLinked) {
  const fs::path dir = FreshTestFolder("tanavo_cli_export");
  struct Case {
    std::string name, bytes;
    bool linked;
  };
  const Case cases[] = {
      {"photo.jpg", kJpeg, true},
      {"notes.txt", "text", true},
      {"invoice.html", "<script>fetch('http://x/')</script>", false},
      {"page.HTM", "<p>", false},
      {"chart.svg", "<svg onload=x>", false},
      {"page.xhtml", "<html>", false},
      {"program.jpg", "MZ\x90", false},  // a program under a photo's name
      {"noextension", "x", false},
  };
  Mail mail{"a@x", "s", "b", {}};
  for (const Case& c : cases) mail.attachments.push_back({c.name, c.bytes});
  std::string err;
  ASSERT_EQ(ExportMails(dir, {mail}, &err), kExitOk) << err;
  const std::string html = ReportPages(dir / "out");
  int k = 0;
  for (const Case& c : cases) {
    const std::string name = "000001-" + std::to_string(++k) + "-" + c.name;
    EXPECT_EQ(ReadBytes(dir / "out" / AttachmentPath(name)), c.bytes) << name;
    const std::string link = "<a href=\"" + LinkFromPage(AttachmentPath(name)) + "\">" + name + "</a>";
    const std::string plain = "<span class=\"nolink\">" + name + "</span>";
    EXPECT_EQ(html.find(link) != std::string::npos, c.linked) << name;
    EXPECT_EQ(html.find(plain) != std::string::npos, !c.linked) << name;
  }
  fs::remove_all(dir);
}

// A spreadsheet importing records.tsv runs no formula and keeps one row per
// record: cells that start like a formula or a quoted field get an apostrophe.
TEST(CliExportTable, CellsASpreadsheetWouldTakeAsFormulaOrQuoteAreNeutralised) {
  const fs::path dir = FreshTestFolder("tanavo_cli_export");
  struct Case {
    std::string subject, listCell, bodyCell;
  };
  const Case cases[] = {
      {"=HYPERLINK(\"http://x\")", "'=HYPERLINK(\"http://x\")", "plain"},
      {"+1", "'+1", "plain"},
      {"-2", "'-2", "plain"},
      {"@SUM(A1)", "'@SUM(A1)", "plain"},
      {"'quoted", "''quoted", "plain"},
      {"cmd|' /C calc'!A0", "cmd|' /C calc'!A0", "plain"},
      {"a=b", "a=b", "plain"},
  };
  std::vector<Mail> mails;
  for (const Case& c : cases) mails.push_back({"x@y", c.subject, "plain", {}});
  mails.push_back({"x@y", "q", "\"row\r\nend", {}});
  std::string err;
  ASSERT_EQ(ExportMails(dir, mails, &err), kExitOk) << err;
  const auto rows = Table(dir / "out" / "records.tsv");
  ASSERT_EQ(rows.size(), mails.size() + 1);
  for (std::size_t i = 0; i < std::size(cases); ++i) {
    ASSERT_EQ(rows[i + 1].size(), 8u) << i;
    EXPECT_EQ(rows[i + 1][3], cases[i].listCell) << i;
    EXPECT_EQ(rows[i + 1][5], cases[i].listCell) << i;
    EXPECT_EQ(rows[i + 1][6], cases[i].bodyCell) << i;
  }
  EXPECT_EQ(rows.back()[6], "'\"row\\r\\nend");
  fs::remove_all(dir);
}

// Every attachment of a record is written, the sixth and later ones and those
// of every multipart item, by the export and by render --attachments alike.
TEST(CliExportAttachments, EveryAttachmentOfEveryItemIsWritten) {
  const fs::path dir = FreshTestFolder("tanavo_cli_export");
  FakeApp program;
  Mail six{"a@x", "six", "b", {}};
  for (int i = 1; i <= 6; ++i) six.attachments.push_back({"f" + std::to_string(i) + ".txt", "data" + std::to_string(i)});
  LoadMails(program, {six}, "??Subject??\r\n??Body??");
  // A second record with two multipart items: the body and a forwarded mail.
  const std::string forwarded = "<FWD>" + MultipartHeader("boundary=\"c\"") + Attachment("c", "fwd.txt", "fwd") +
                                "--c--\r\n</FWD>\r\n";
  std::string second = MailRecord({"b@y", "two", "b", {{"body.txt", "body"}}});
  second.insert(second.find("</MAIL>"), forwarded);
  program.app.state.mobileFile += second;
  TagDefinition fwd = MailBody();
  fwd.name = "Fwd";
  fwd.rangeStartTag = "<FWD>";
  fwd.rangeEndTag = fwd.contentEndTag = "</FWD>";
  const TagDefinition body = MailBody();
  const TagDefinition record = Def("D_SET", "MAIL", "<MAIL>", "</MAIL>");
  SetTable(program.app.extraction, {record, Item("Subject", "Subject: ", "\r\n"), body, fwd, record});
  ASSERT_EQ(CreateIndex(program.app), 0);
  ASSERT_EQ(program.app.index.count, 2);
  WriteEvidence(program.app, dir, "m");
  std::string out, err;
  const std::string ini = (dir / "m.ini").string();
  ASSERT_EQ(RunCli({"index", (dir / "m.dat").string(), (dir / "m.kta").string(), (dir / "m.kdp").string(), ini},
                   nullptr, &out, &err),
            kExitOk);

  const fs::path o = dir / "out";
  ASSERT_EQ(RunCli({"export", ini, o.string()}, nullptr, &out, &err), kExitOk) << err;
  for (int i = 1; i <= 6; ++i) {
    EXPECT_EQ(ReadBytes(o / "attachments/0001" / ("000001-" + std::to_string(i) + "-f" + std::to_string(i) + ".txt")),
              "data" + std::to_string(i));
  }
  EXPECT_EQ(ReadBytes(o / "attachments/0001/000002-1-body.txt"), "body");
  EXPECT_EQ(ReadBytes(o / "attachments/0001/000002-2-fwd.txt"), "fwd");
  EXPECT_EQ(std::distance(fs::directory_iterator(o / "attachments/0001"), fs::directory_iterator()), 8);
  EXPECT_TRUE(ChecksumsVerify(o));

  ASSERT_EQ(RunCli({"render", ini, "1", "--attachments", (dir / "r1").string()}, nullptr, &out, &err), kExitOk);
  EXPECT_EQ(ReadBytes(dir / "r1/f6.txt"), "data6");
  EXPECT_EQ(std::distance(fs::directory_iterator(dir / "r1"), fs::directory_iterator()), 6);
  ASSERT_EQ(RunCli({"render", ini, "2", "--attachments", (dir / "r2").string()}, nullptr, &out, &err), kExitOk);
  EXPECT_EQ(ReadBytes(dir / "r2/body.txt"), "body");
  EXPECT_EQ(ReadBytes(dir / "r2/fwd.txt"), "fwd");
  fs::remove_all(dir);
}

// An item of more attachments than one item keeps: those kept are written,
// the rest named, and the export says it failed.
TEST(CliExportAttachments, AttachmentsPastWhatAnItemKeepsAreNamedAndExitOne) {
  const fs::path dir = FreshTestFolder("tanavo_cli_export");
  Mail many{"a@x", "many", "b", {}};
  for (std::size_t i = 0; i <= kMaxItemAttachments; ++i) many.attachments.push_back({"f.txt", "x"});
  std::string err;
  EXPECT_EQ(ExportMails(dir, {many}, &err), kExitFailed);
  EXPECT_NE(err.find("警告: レコード1の添付ファイルのうち1件は書き出していません (1項目1000件まで)!!\n"), std::string::npos)
      << err;
  EXPECT_EQ(std::distance(fs::directory_iterator(dir / "out" / "attachments/0001"), fs::directory_iterator()),
            static_cast<std::ptrdiff_t>(kMaxItemAttachments));
  EXPECT_TRUE(ChecksumsVerify(dir / "out"));
  fs::remove_all(dir);
}

// A console platform whose file system changes every evidence file on disk
// once the loading has read the last of them (the display settings), as
// someone swapping the files during an export would.
class SwappingFileSystem : public ConsoleFileSystem {
 public:
  explicit SwappingFileSystem(fs::path evidence) : evidence_(std::move(evidence)) {}
  ReadStatus ReadWholeFile(const std::string& path, std::string* bytes) override {
    const ReadStatus rs = ConsoleFileSystem::ReadWholeFile(path, bytes);
    if (path.size() >= 4 && path.compare(path.size() - 4, 4, ".kdp") == 0) {
      for (const char* name : {"m.dat", "m.kta", "m.kdp", "m.ini"}) {
        std::string swapped = ReadBytes(evidence_ / name);
        for (char& c : swapped) c = c == 'a' ? 'b' : c;  // same size, other bytes
        WriteFileBytes(evidence_ / name, swapped);
      }
    }
    return rs;
  }

 private:
  fs::path evidence_;
};

class SwappingPlatform : public ConsolePlatform {
 public:
  SwappingPlatform(std::string* err, fs::path evidence) : ConsolePlatform(err), files_(std::move(evidence)) {}
  FileSystem& Files() override { return files_; }

 private:
  SwappingFileSystem files_;
};

std::string Sha256Hex(const std::string& bytes) {
  Sha256Digest d;
  EXPECT_TRUE(Sha256OfBytes(bytes, &d));
  return HexDigest(d);
}

// SHA256SUMS and the report name the bytes that were loaded and examined,
// whatever happens to the files afterwards, each under its absolute path as
// it was opened, also when the index names them relative to where it runs.
TEST_F(CliExportTest, EvidenceIsHashedAsLoadedUnderItsAbsolutePath) {
  std::vector<std::pair<fs::path, std::string>> loaded;
  for (const char* name : {"m.dat", "m.kta", "m.kdp", "m.ini"}) loaded.push_back({evidence / name, ReadBytes(evidence / name)});

  CliContext ctx;
  SwappingPlatform platform(&ctx.err, evidence);
  ctx.platform = &platform;
  const fs::path o = dir / "out";
  ASSERT_EQ(ExportIndex(ctx, ini, o.string()), kExitOk) << ctx.err;
  const std::string sums = ReadBytes(o / "SHA256SUMS");
  const std::string report = ReadBytes(o / "report.html");
  for (const auto& [path, bytes] : loaded) {
    EXPECT_NE(sums.find(Sha256Hex(bytes) + "  " + path.string() + "\n"), std::string::npos) << path;
    EXPECT_NE(report.find(Sha256Hex(bytes)), std::string::npos) << path;
    EXPECT_NE(bytes, ReadBytes(path)) << path;  // the files did change
  }
  EXPECT_EQ(ReadBytes(o / "records/0001/000001.txt"), "From: a@x\r\nSubject: plain\r\nbody\0with NUL"s);

  // The index naming its files relative to the working folder.
  std::string relative = loaded[3].second;
  for (std::size_t at; (at = relative.find(evidence.string() + "/")) != std::string::npos;) {
    relative.replace(at, evidence.string().size(), ".");
  }
  for (const auto& [path, bytes] : loaded) WriteFileBytes(path, bytes);
  WriteFileBytes(evidence / "m.ini", relative);
  const fs::path before = fs::current_path();
  fs::current_path(evidence);
  const fs::path o2 = dir / "out2";
  const int code = Run({"export", "m.ini", o2.string()});
  fs::current_path(before);
  ASSERT_EQ(code, kExitOk) << err;
  const std::string sums2 = ReadBytes(o2 / "SHA256SUMS");
  for (const char* name : {"m.dat", "m.kta", "m.kdp"}) {
    EXPECT_NE(sums2.find("  " + (evidence / ".").string() + "/" + name + "\n"), std::string::npos) << sums2;
  }
  EXPECT_NE(sums2.find("  " + (evidence / "m.ini").string() + "\n"), std::string::npos) << sums2;
  EXPECT_TRUE(ChecksumsVerify(o2));
}

// OUTDIR is never reached through a link: a link planted at its name is
// refused, and nothing is written where it points.
TEST_F(CliExportTest, AnOutputFolderThatIsALinkIsRefused) {
  const fs::path elsewhere = dir / "elsewhere";
  fs::create_directories(elsewhere);
  fs::create_directory_symlink(elsewhere, dir / "link");
  EXPECT_EQ(RunCli({"--utf8", "export", ini, (dir / "link").string()}, nullptr, &out, &err), kExitFailed);
  EXPECT_EQ(err, u8"警告: 出力フォルダ " + (dir / "link").string() + u8" はフォルダではありません!!\n");
  EXPECT_TRUE(fs::is_empty(elsewhere));
}

// Progress as tanavo-cli writes it: a line every 100 records into a file, a
// counter rewritten in place on a terminal.
TEST(CliExportProgress, LinesIntoAFileAndACounterOnATerminal) {
  const fs::path dir = FreshTestFolder("tanavo_cli_export");
  FakeApp program;
  LoadMails(program, std::vector<Mail>(250, Mail{"a@x", "s", "b", {}}), "??Body??");
  WriteEvidence(program.app, dir, "m");
  const std::string cli = TANAVO_CLI, d = dir.string();
  ASSERT_EQ(std::system((cli + " index " + d + "/m.dat " + d + "/m.kta " + d + "/m.kdp " + d + "/m.ini").c_str()), 0);

  ASSERT_EQ(std::system((cli + " --utf8 export " + d + "/m.ini " + d + "/a 2>" + d + "/a.err").c_str()), 0);
  const std::vector<std::string> lines = Split(ReadBytes(dir / "a.err"), "\n");
  ASSERT_EQ(lines.size(), 5u) << ReadBytes(dir / "a.err");
  EXPECT_EQ(lines[0], u8"エクスポート: 250件のレコードを書き出します");
  EXPECT_EQ(lines[1], u8"エクスポート: 100/250件目");
  EXPECT_EQ(lines[2], u8"エクスポート: 200/250件目");
  EXPECT_EQ(lines[3].rfind(u8"エクスポート終了: 250件", 0), 0u);
  EXPECT_EQ(lines[4], "");

  // script gives the command a terminal; its output holds what the terminal got.
  if (std::system("command -v script >/dev/null") != 0) GTEST_SKIP() << "script (util-linux) is not installed";
  // On a UTF-8 terminal the counter reads in UTF-8.
  const std::string command =
      "script -qec 'LC_ALL=C.UTF-8 " + cli + " export " + d + "/m.ini " + d + "/b' " + d + "/b.log";
  ASSERT_EQ(std::system((command + " >/dev/null 2>&1").c_str()), 0);
  const std::string screen = ReadBytes(dir / "b.log");
  EXPECT_NE(screen.find("\r" + std::string(u8"エクスポート: 1/250件目") + "\r"), std::string::npos);
  EXPECT_NE(screen.find("\r" + std::string(u8"エクスポート: 250/250件目") + "\r\n" + u8"エクスポート終了: 250件"),
            std::string::npos);
  fs::remove_all(dir);
}

}  // namespace
}  // namespace tanavo
