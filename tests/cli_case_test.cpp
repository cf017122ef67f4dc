// tanavo-cli case, search, tag and tags as processes: search results against
// an independent scan of the exported decoded texts of real mail, and tags
// that survive a program killed while it writes.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include "case/search_tokens.h"
#include "cli/cli.h"
#include "test_support.h"

namespace tanavo {
namespace {

namespace fs = std::filesystem;

std::vector<std::string> Split(const std::string& text, char separator) {
  std::vector<std::string> parts;
  std::size_t at = 0;
  for (std::size_t end; (end = text.find(separator, at)) != std::string::npos; at = end + 1) {
    parts.push_back(text.substr(at, end - at));
  }
  parts.push_back(text.substr(at));
  return parts;
}

class CliCaseTest : public ::testing::Test {
 protected:
  void SetUp() override { dir = FreshTestFolder("cli_case"); }
  void TearDown() override { fs::remove_all(dir); }

  int Run(const std::string& args) {
    const std::string command = std::string("LC_ALL=C '") + TANAVO_CLI + "' " + args + " >'" + (dir / "out").string() +
                                "' 2>'" + (dir / "err").string() + "'";
    const int status = std::system(command.c_str());
    out = ReadBytes(dir / "out");
    err = ReadBytes(dir / "err");
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  }
  std::string Q(const fs::path& p) const { return "'" + p.string() + "'"; }
  std::string Q(const char* name) const { return Q(dir / name); }

  // mail.vmg with the vMessage preset's settings, indexed.
  void IndexDump(const std::string& dump) {
    std::ofstream(dir / "mail.vmg", std::ios::binary) << dump;
    const std::string presets = std::string(TANAVO_SOURCE_DIR) + "/presets/";
    fs::copy_file(presets + "vmessage.kta", dir / "mail.kta");
    fs::copy_file(presets + "vmessage.kdp", dir / "mail.kdp");
    ASSERT_EQ(Run("index " + Q("mail.vmg") + " " + Q("mail.kta") + " " + Q("mail.kdp") + " " + Q("mail.idx")), 0) << err;
  }

  // The record numbers search prints, one hit per line.
  std::set<int> Hits(const std::string& query) {
    EXPECT_EQ(Run("search " + Q("mail.tcase") + " '" + query + "'"), 0) << query << err;
    std::set<int> hits;
    for (const std::string& line : Split(out, '\n')) {
      if (line.empty()) continue;
      const std::vector<std::string> f = Split(line, '\t');
      EXPECT_GE(f.size(), 3u) << line;  // a list line may hold a TAB of its own
      EXPECT_EQ(f[1].substr(0, 2), "0x") << line;
      hits.insert(std::stoi(f[0]));
    }
    return hits;
  }

  fs::path dir;
  std::string out, err;
};

// A mail as a vMessage record, its lines ending in CR LF.
std::string VMessage(const std::string& mail) {
  std::string crlf;
  for (std::size_t i = 0; i < mail.size(); ++i) {
    if (mail[i] == '\n' && (i == 0 || mail[i - 1] != '\r')) crlf += '\r';
    crlf += mail[i];
  }
  if (crlf.size() < 2 || crlf.compare(crlf.size() - 2, 2, "\r\n") != 0) crlf += "\r\n";
  return "BEGIN:VMSG\r\nVERSION:1.1\r\nBEGIN:VENV\r\nBEGIN:VBODY\r\n" + crlf + "END:VBODY\r\nEND:VENV\r\nEND:VMSG\r\n";
}

// Every mail of the shared corpus when it is there, and the ones kept in the tree.
std::vector<fs::path> CorpusMails() {
  std::vector<fs::path> mails;
  const std::string src = TANAVO_SOURCE_DIR;
  for (const std::string& folder : {src + "/../shared/corpus/mail", src + "/../../shared/corpus/mail", src + "/tests/data/mail"}) {
    if (!fs::is_directory(folder)) continue;
    for (const auto& e : fs::recursive_directory_iterator(folder)) {
      if (e.is_regular_file() && e.path().filename() != "SOURCES.md") mails.push_back(e.path());
    }
  }
  std::sort(mails.begin(), mails.end());
  return mails;
}

// A character of a word (ASCII letters and digits, Latin letters with marks,
// Greek, Cyrillic) just before or at byte i of utf8.
bool WordCharacterAt(const std::string& utf8, std::size_t i, bool before) {
  if (before) {
    if (i == 0) return false;
    do --i;
    while (i > 0 && (static_cast<unsigned char>(utf8[i]) & 0xC0) == 0x80);
  } else if (i >= utf8.size()) {
    return false;
  }
  const char32_t c = NextCodePoint(utf8, &i);
  return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') ||
         (c >= 0xC0 && c <= 0x24F && c != 0xD7 && c != 0xF7) || (c >= 0x370 && c <= 0x4FF);
}

// The independent scan: the query found in a decoded value of the export's
// records.tsv, as a whole word when it is Latin.
bool TextHolds(std::string text, const std::string& query, bool word) {
  for (char& c : text) {
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c + 0x20);
  }
  for (std::size_t at = text.find(query); at != std::string::npos; at = text.find(query, at + 1)) {
    if (!word || (!WordCharacterAt(text, at, true) && !WordCharacterAt(text, at + query.size(), false))) return true;
  }
  return false;
}

// A TSV field with its escapes undone.
std::string Unescaped(const std::string& field) {
  std::string s;
  for (std::size_t i = 0; i < field.size(); ++i) {
    if (field[i] == '\\' && i + 1 < field.size()) {
      const char n = field[++i];
      s += n == 'r' ? '\r' : n == 'n' ? '\n' : n == 't' ? '\t' : n;
    } else {
      s += field[i];
    }
  }
  return s;
}

TEST_F(CliCaseTest, SearchFindsWhatAScanOfTheDecodedTextsFinds) {
  std::string dump;
  const std::vector<fs::path> mails = CorpusMails();
  ASSERT_FALSE(mails.empty());
  for (const fs::path& m : mails) dump += VMessage(ReadBytes(m));
  IndexDump(dump);
  ASSERT_EQ(Run("case " + Q("mail.idx") + " " + Q("mail.tcase")), 0) << err;
  ASSERT_EQ(Run("export " + Q("mail.idx") + " " + Q("export")), 0) << err;
  // The decoded values of each record, UTF-8.
  std::vector<std::vector<std::string>> values;
  std::vector<std::string> rows = Split(ReadBytes(dir / "export" / "records.tsv"), '\n');
  ASSERT_GT(rows.size(), mails.size());
  for (std::size_t r = 1; r < rows.size(); ++r) {
    if (!rows[r].empty() && rows[r].back() == '\r') rows[r].pop_back();
    if (rows[r].empty()) continue;
    const std::vector<std::string> f = Split(rows[r], '\t');
    ASSERT_GE(f.size(), 6u);
    values.emplace_back();
    for (std::size_t i = 4; i + 1 < f.size(); ++i) values.back().push_back(Unescaped(f[i]));
  }
  ASSERT_EQ(values.size(), mails.size());
  const struct {
    const char* query;
    bool word;
  } queries[] = {
      {u8"日本", false}, {u8"メール", false}, {u8"テスト", false}, {u8"添付", false},
      {u8"です", false}, {u8"送信", false},   {u8"会", false},     {"test", true},
      {"attachment", true}, {"hello", true}, {"mail", true},     {"2009", true},
  };
  for (const auto& q : queries) {
    std::set<int> scanned;
    for (std::size_t r = 0; r < values.size(); ++r) {
      for (const std::string& v : values[r]) {
        if (TextHolds(v, q.query, q.word)) scanned.insert(static_cast<int>(r + 1));
      }
    }
    EXPECT_EQ(Hits(q.query), scanned) << q.query;
  }
}

// Starts tanavo-cli ARGS (quiet) and kills it after the wait.
void KillAfter(const std::vector<std::string>& args, std::chrono::microseconds wait) {
  const pid_t pid = fork();
  ASSERT_GE(pid, 0);
  if (pid == 0) {
    std::vector<char*> argv;
    argv.push_back(const_cast<char*>(TANAVO_CLI));
    for (const std::string& a : args) argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    freopen("/dev/null", "w", stdout);
    freopen("/dev/null", "w", stderr);
    execv(TANAVO_CLI, argv.data());
    _exit(127);
  }
  std::this_thread::sleep_for(wait);
  kill(pid, SIGKILL);
  int status = 0;
  waitpid(pid, &status, 0);
}

TEST_F(CliCaseTest, AKilledBuildOrTagLosesNoSavedTag) {
  // Enough records that a build takes a while.
  const std::string preset = ReadBytes(std::string(TANAVO_SOURCE_DIR) + "/presets/vmessage.vmg");
  std::string dump;
  while (dump.size() < 4 * 1024 * 1024) dump += preset;
  IndexDump(dump);
  const std::string idx = (dir / "mail.idx").string(), tcase = (dir / "mail.tcase").string();
  ASSERT_EQ(Run("case " + Q("mail.idx") + " " + Q("mail.tcase")), 0) << err;
  ASSERT_EQ(Run("tag " + Q("mail.tcase") + " 2 " + "'" + std::string(u8"重要") + "' --note 'first'"), 0) << err;
  const std::string before = (Run("tags " + Q("mail.tcase")), out);
  for (int ms : {50, 150, 400}) KillAfter({"case", idx, tcase}, std::chrono::milliseconds(ms));
  // Tags saved one after another, some killed on the way.
  int saved = 1;
  for (int i = 0; i < 12; ++i) {
    KillAfter({"tag", tcase, std::to_string(3 + i), "k"}, std::chrono::microseconds(500 * i));
  }
  if (Run("tag " + Q("mail.tcase") + " 1 last") == 0) ++saved;
  ASSERT_EQ(Run("tags " + Q("mail.tcase")), 0) << err;
  EXPECT_NE(out.find(before), std::string::npos);
  EXPECT_NE(out.find("1\t0x00000000\tlast\t"), std::string::npos);
  EXPECT_GE(Split(out, '\n').size(), static_cast<std::size_t>(saved) + 1);
  // Still the whole case, found by search.
  EXPECT_FALSE(Hits(u8"打ち合わせ").empty());
}

TEST_F(CliCaseTest, WrongCallsAndForeignFiles) {
  IndexDump(ReadBytes(std::string(TANAVO_SOURCE_DIR) + "/presets/vmessage.vmg"));
  std::ofstream(dir / "notes.tcase", std::ios::binary) << "my notes\n";
  EXPECT_EQ(Run("case " + Q("mail.idx") + " " + Q("notes.tcase")), 1);
  EXPECT_NE(err.find("ケースファイルではありません"), std::string::npos) << err;
  EXPECT_EQ(ReadBytes(dir / "notes.tcase"), "my notes\n");
  EXPECT_EQ(Run("search " + Q("missing.tcase") + " x"), 1);
  ASSERT_EQ(Run("case " + Q("mail.idx") + " " + Q("mail.tcase")), 0) << err;
  EXPECT_EQ(Run("search " + Q("mail.tcase") + " '(x'"), 2);
  EXPECT_EQ(Run("tag " + Q("mail.tcase") + " x label"), 2);
  EXPECT_EQ(Run("tag " + Q("mail.tcase") + " 999 label"), 1);
  EXPECT_EQ(Run("case " + Q("mail.idx")), 2);
  // Evidence changed after the build: the case is not used.
  {
    std::ofstream(dir / "mail.kdp", std::ios::binary | std::ios::app) << " ";
  }
  EXPECT_EQ(Run("search " + Q("mail.tcase") + " x"), 1);
  EXPECT_NE(err.find("変更されています"), std::string::npos) << err;
}

}  // namespace
}  // namespace tanavo
