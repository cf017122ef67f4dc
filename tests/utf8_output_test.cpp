// Every UTF-8 output of tanavo-cli (--utf8 on standard output and error, the
// export's table, report, checksums and file names) is valid UTF-8, however
// many bytes of the evidence are no character.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "cli/cli.h"
#include "export_support.h"

namespace tanavo {
namespace {

namespace fs = std::filesystem;

// The length of the valid UTF-8 character at the start of s (shortest form,
// no surrogate, at most U+10FFFF), 0 when there is none.
std::size_t StrictUtf8Character(std::string_view s) {
  const unsigned char b = static_cast<unsigned char>(s[0]);
  if (b < 0x80) return 1;
  const std::size_t n = b >= 0xC2 && b <= 0xDF ? 2 : b >= 0xE0 && b <= 0xEF ? 3 : b >= 0xF0 && b <= 0xF4 ? 4 : 0;
  if (n == 0 || n > s.size()) return 0;
  for (std::size_t i = 1; i < n; ++i) {
    if ((static_cast<unsigned char>(s[i]) & 0xC0) != 0x80) return 0;
  }
  const unsigned char c = static_cast<unsigned char>(s[1]);
  if ((b == 0xE0 && c < 0xA0) || (b == 0xED && c >= 0xA0) || (b == 0xF0 && c < 0x90) || (b == 0xF4 && c >= 0x90)) {
    return 0;
  }
  return n;
}

// Empty when text is valid UTF-8; otherwise where it is not, with what follows.
std::string FirstInvalidUtf8(std::string_view text) {
  for (std::size_t i = 0; i < text.size();) {
    const std::size_t n = StrictUtf8Character(text.substr(i));
    if (n == 0) return "at byte " + std::to_string(i) + ": " + std::string(text.substr(i, 16));
    i += n;
  }
  return {};
}

TEST(StrictUtf8Check, TellsValidFromInvalid) {
  EXPECT_EQ(FirstInvalidUtf8("\xe6\x97\xa5 \xe2\x98\x80 \xf0\x9f\x98\x80"), "");
  for (const char* bad : {"\x80", "\xC0\xAF", "\xE0\x80\xAF", "\xED\xA0\x80", "\xF4\x90\x80\x80", "\xE6\x97", "\xFF"}) {
    EXPECT_NE(FirstInvalidUtf8(bad), "") << bad;
  }
}

// Bytes a phone's dump may hold that are no Shift_JIS character: every byte
// from 0x80 alone, leads cut short, pairs code page 932 has no character
// for, C1 controls and escape sequences.
std::string StrayBytes() {
  std::string s = "x";
  for (int b = 0x80; b <= 0xFF; ++b) {
    s.push_back(static_cast<char>(b));
    s.push_back(' ');
  }
  return s + "\x85\x40\x86\x9f\xeb\x59\xf0\x40\xf9\xfc\x9b" "2J\x1b[1m\x82";
}

TEST(Utf8Output, EveryUtf8OutputOfADumpOfStrayBytesIsValidUtf8) {
  const fs::path dir = FreshTestFolder("tanavo_utf8_output");
  const std::string stray = StrayBytes();
  const std::vector<Mail> mails = {
      {stray + "@x", stray, stray, {}},
      {"b@y", "s" + stray, "body " + stray, {{stray + ".txt", stray}, {"\x85\x40\x9b.jpg", "x"}}},
  };
  FakeApp program;
  LoadMails(program, mails, "??From??\r\n??Subject??\r\n??Body??");
  // The evidence keeps its own name, whatever bytes it is of: checksums
  // name it as the file system does.
  WriteEvidence(program.app, dir, "m");
  const std::string base = (dir / "m").string();
  const std::string ini = base + ".ini";
  std::string out, err;
  ASSERT_EQ(RunCli({"index", base + ".dat", base + ".kta", base + ".kdp", ini}, nullptr, &out, &err), kExitOk) << err;

  const fs::path exported = dir / "out";
  ASSERT_EQ(RunCli({"--utf8", "export", ini, exported.string()}, nullptr, &out, &err), kExitOk) << err;
  EXPECT_EQ(FirstInvalidUtf8(out), "");
  EXPECT_EQ(FirstInvalidUtf8(err), "");
  for (const char* file : {"records.tsv", "report.html", "report/0001.html", "SHA256SUMS"}) {
    EXPECT_EQ(FirstInvalidUtf8(ReadBytes(exported / file)), "") << file;
  }
  int names = 0;
  for (const auto& e : fs::recursive_directory_iterator(exported)) {
    EXPECT_EQ(FirstInvalidUtf8(e.path().filename().string()), "") << e.path();
    ++names;
  }
  EXPECT_GE(names, 7);  // three files, two folders, two records, three attachments at least

  const std::vector<std::vector<std::string>> calls = {
      {"--utf8", "list", ini}, {"--utf8", "render", ini, "1"}, {"--utf8", "render", ini, "2"},
      {"--utf8", "check", base + ".dat", base + ".kta", "n"}};
  for (const auto& call : calls) {
    EXPECT_EQ(RunCli(call, nullptr, &out, &err), kExitOk) << call[1] << " " << call.back() << err;
    EXPECT_EQ(FirstInvalidUtf8(out), "") << call[1];
    EXPECT_EQ(FirstInvalidUtf8(err), "") << call[1];
  }
  // An error that names a file of such a name.
  EXPECT_EQ(RunCli({"--utf8", "list", base + "\x85\x40\x9b.ini"}, nullptr, &out, &err), kExitFailed);
  EXPECT_EQ(FirstInvalidUtf8(err), "");
  fs::remove_all(dir);
}

}  // namespace
}  // namespace tanavo
