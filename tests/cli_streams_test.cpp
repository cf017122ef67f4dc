// What tanavo-cli writes to a terminal, a pipe or a file: the encoding chosen
// by locale and stream, and control bytes shown visibly on a terminal.
#include <gtest/gtest.h>
#include <fcntl.h>
#include <pty.h>
#include <sys/wait.h>
#include <termios.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "cli/cli.h"
#include "export_support.h"
#include "index/index_creation.h"
#include "test_support.h"

namespace tanavo {
namespace {

namespace fs = std::filesystem;

const std::string kNihonSjis = "\x93\xfa\x96\x7b";         // 日本
const std::string kNihonUtf8 = "\xe6\x97\xa5\xe6\x9c\xac";  // 日本

TEST(CliStreams, ControlBytesAreShownVisibly) {
  const struct {
    std::string in, want;
  } cases[] = {
      {"a\tb\r\nc\n", "a\tb\r\nc\n"},  // TAB, CR LF and LF stay
      {"\x1b$B", "^[$B"},
      {"a\rb", "a^Mb"},  // a lone CR would overwrite the line
      {"end\r", "end^M"},
      {std::string("\0\x07\x7f", 3), "^@^G^?"},
      {"\x95\x5c", "\x95\x5c"},  // trail bytes are never control bytes
      // Bytes that are no complete Shift_JIS character: 8-bit controls a
      // terminal would act on, and leads without a trail.
      {"\x9b" "8m", "\\x9B8m"},
      {"\x9b" "2J", "\\x9B2J"},
      {"\x9d" "0;t\x9c", "\\x9D0;t\\x9C"},
      {"\x82\x1b", "\\x82^["},
      {"a\x82", "a\\x82"},
      {"\x80\xa0\xfd\xfe\xff", "\\x80\\xA0\\xFD\\xFE\\xFF"},
      {"\x82\xa0\x9b\x40\xb1", "\x82\xa0\x9b\x40\xb1"},  // あ, a pair and a half-width kana stay
  };
  for (const auto& c : cases) EXPECT_EQ(ShowControlBytes(c.in), c.want) << c.in;
}

// What reaches a stream of each form: on a terminal nothing that is no
// complete character; in UTF-8 never a byte that is not UTF-8; a pipe without
// conversion gets the bytes as they are.
TEST(CliStreams, StreamsGetOnlyCompleteCharacters) {
  const struct {
    std::string in;
    const char* encoding;
    bool terminal;
    std::string want;
  } cases[] = {
      {"\x9b" "2J\x93\xfa", "UTF-8", true, "\\x9B2J\xe6\x97\xa5"},
      {"\x9b" "2J\x1b", "UTF-8", false, "\\x9B2J\x1b"},       // --utf8 into a pipe: valid UTF-8
      {"a\x85\x40" "b", "UTF-8", true, "a\\x85\\x40b"},        // a pair without a character
      {"a\x85\x40" "b", "UTF-8", false, "a\\x85\\x40b"},
      {"\x9b" "2J\x85\x40", "", true, "\\x9B2J\x85\x40"},     // a Shift_JIS terminal: whole pairs stay
      {"\x9b" "2J\x1b\x85", "", false, "\x9b" "2J\x1b\x85"},  // a pipe: byte-exact
  };
  for (const auto& c : cases) {
    EXPECT_EQ(ForStream(c.in, {c.encoding, c.terminal}), c.want) << c.in << " " << c.encoding << c.terminal;
  }
}

TEST(CliStreams, LocaleCharacterSetGivesTheEncoding) {
  const struct {
    const char* codeset;
    const char* want;
  } cases[] = {
      {"UTF-8", "UTF-8"}, {"utf8", "UTF-8"}, {"ANSI_X3.4-1968", ""}, {"SHIFT_JIS", ""},
      {"CP932", ""},      {"", ""},          {"EUC-JP", "EUC-JP"},
  };
  for (const auto& c : cases) EXPECT_EQ(LocaleEncoding(c.codeset), c.want) << c.codeset;
}

std::string g_input;
ReadStatus ReadGivenInput(std::string* all) {
  *all = g_input;
  return ReadStatus::Ok;
}
ReadStatus TooMuchToRead(std::string*) { return ReadStatus::TooLarge; }

// Standard output in UTF-8 only on a terminal; standard error always in the
// locale's; --utf8 and --sjis force both.
TEST(CliStreams, EncodingByLocaleStreamAndFlag) {
  const std::string box = "TextEditor: ファイルが大きすぎるため読み込めません!!\n";
  const struct {
    std::vector<std::string> flags;
    CliStreams streams;
    bool outUtf8, errUtf8;
  } cases[] = {
      {{}, {false, false, ""}, false, false},
      {{}, {false, false, "UTF-8"}, false, true},
      {{}, {true, false, "UTF-8"}, true, true},
      {{}, {true, true, ""}, false, false},
      {{"--sjis"}, {true, true, "UTF-8"}, false, false},
      {{"--utf8"}, {false, false, ""}, true, true},
  };
  for (const auto& c : cases) {
    std::vector<std::string> args = c.flags;
    args.insert(args.end(), {"codec", "base64-decode"});
    const std::string call = ::testing::PrintToString(args) + " locale " + c.streams.localeEncoding +
                             (c.streams.outTerminal ? " terminal" : " pipe");
    g_input = "k/qWew==";  // 日本 in Shift_JIS
    std::string out, err;
    EXPECT_EQ(RunCli(args, ReadGivenInput, &out, &err, c.streams), kExitOk) << call;
    EXPECT_EQ(out, c.outUtf8 ? kNihonUtf8 : kNihonSjis) << call;
    EXPECT_EQ(RunCli(args, TooMuchToRead, &out, &err, c.streams), kExitFailed) << call;
    EXPECT_EQ(err, c.errUtf8 ? ForStream(box, {"UTF-8", false}) : box) << call;
  }
  std::string out, err;
  EXPECT_EQ(RunCli({"--utf8", "--sjis", "--help"}, nullptr, &out, &err), kExitUsage);
}

class CliTerminalTest : public ::testing::Test {
 protected:
  void SetUp() override {
    dir = FreshTestFolder("cli_terminal");
    // Base64 of 日本, an escape sequence, a lone CR, a bell and a CR LF.
    std::ofstream(dir / "in", std::ios::binary) << "k/qWextbMW0NYQcNCg==";
  }
  void TearDown() override { fs::remove_all(dir); }

  // Runs tanavo-cli under the locale with standard output on a pseudo-
  // terminal (in raw mode: what the program writes arrives unchanged) or into
  // a file; standard error into a file.
  std::string Run(const std::vector<std::string>& args, const char* locale, bool onTerminal) {
    int master = -1, slave = -1;
    if (openpty(&master, &slave, nullptr, nullptr, nullptr) != 0) return "openpty failed";
    termios raw;
    tcgetattr(slave, &raw);
    cfmakeraw(&raw);
    tcsetattr(slave, TCSANOW, &raw);
    const std::string outPath = (dir / "out").string(), errPath = (dir / "err").string();
    const std::string inPath = (dir / "in").string();
    const pid_t pid = fork();
    if (pid == 0) {
      close(master);
      dup2(open(inPath.c_str(), O_RDONLY), 0);
      dup2(onTerminal ? slave : open(outPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600), 1);
      dup2(open(errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600), 2);
      setenv("LC_ALL", locale, 1);
      std::vector<char*> argv{const_cast<char*>(TANAVO_CLI)};
      for (const std::string& a : args) argv.push_back(const_cast<char*>(a.c_str()));
      argv.push_back(nullptr);
      execv(TANAVO_CLI, argv.data());
      _exit(127);
    }
    close(slave);
    std::string shown;
    char buf[4096];
    for (ssize_t n; (n = read(master, buf, sizeof buf)) > 0;) shown.append(buf, static_cast<std::size_t>(n));
    close(master);
    int status = 0;
    waitpid(pid, &status, 0);
    err = ReadBytes(errPath);
    return onTerminal ? shown : ReadBytes(outPath);
  }

  fs::path dir;
  std::string err;
};

TEST_F(CliTerminalTest, TerminalGetsTheLocaleAndVisibleControlsPipesGetTheBytes) {
  const std::string controls = "\x1b[1m\ra\x07\r\n";
  const std::vector<std::string> decode = {"codec", "base64-decode"};
  EXPECT_EQ(Run(decode, "C.UTF-8", true), kNihonUtf8 + "^[[1m^Ma^G\r\n");
  EXPECT_EQ(Run(decode, "C.UTF-8", false), kNihonSjis + controls);
  EXPECT_EQ(Run(decode, "C", true), kNihonSjis + "^[[1m^Ma^G\r\n");
  EXPECT_EQ(Run({"--sjis", "codec", "base64-decode"}, "C.UTF-8", true), kNihonSjis + "^[[1m^Ma^G\r\n");

  // Standard error, written for a person, follows the locale with output in a file.
  const std::string missing = (dir / "missing").string();
  EXPECT_EQ(Run({"check", missing, missing}, "C.UTF-8", false), "");
  EXPECT_EQ(err, u8"TextEditor: ファイルオープンに失敗\n");
  Run({"check", missing, missing}, "C", false);
  EXPECT_EQ(err, "TextEditor: ファイルオープンに失敗\n");  // Shift_JIS as compiled
}

TEST_F(CliTerminalTest, EightBitControlsAndCutCharactersAreShownOnTerminalsOnly) {
  std::ofstream(dir / "in", std::ios::binary) << "mzJKk/qC";  // CSI 2 J, 日, a lead byte alone
  const std::vector<std::string> decode = {"codec", "base64-decode"};
  EXPECT_EQ(Run(decode, "C.UTF-8", true), "\\x9B2J\xe6\x97\xa5\\x82");
  EXPECT_EQ(Run(decode, "C", true), "\\x9B2J\x93\xfa\\x82");
  EXPECT_EQ(Run(decode, "C.UTF-8", false), "\x9b" "2J\x93\xfa\x82");
}

// Records holding 8-bit controls (CSI, OSC ... ST) through list, render and
// check, and a file name holding one in an error message: shown visibly on a
// terminal, in the locale's encoding or not; byte-exact into a pipe.
TEST(CliStreams, EightBitControlsFromRecordsAndFileNames) {
  const fs::path dir = FreshTestFolder("cli_controls");
  const std::string controls = "\x9b" "8m|\x9b" "2J|\x9d" "0;t\x9c";
  const std::string shown = "\\x9B8m|\\x9B2J|\\x9D0;t\\x9C";
  FakeApp f;
  f.app.state.mobileFile = "<R>\r\n" + controls + "</R>\r\n";
  const TagDefinition record = Def("D_SET", "REC", "<R>", "</R>");
  SetTable(f.app.extraction, {record, Item("Text", "<R>\r\n", "</R>"), record});
  f.app.display.listLineTemplate = "??Text??";
  f.app.display.layoutText = "??Text??";
  ASSERT_EQ(CreateIndex(f.app), 0);
  WriteEvidence(f.app, dir, "m");
  const std::string ini = (dir / "m.ini").string(), dat = (dir / "m.dat").string(), kta = (dir / "m.kta").string();
  std::string out, err;
  ASSERT_EQ(RunCli({"index", dat, kta, (dir / "m.kdp").string(), ini}, nullptr, &out, &err), kExitOk) << err;

  const std::vector<std::vector<std::string>> commands = {{"list", ini}, {"render", ini, "1"}, {"check", dat, kta}};
  for (const auto& command : commands) {
    for (const char* locale : {"UTF-8", ""}) {
      const std::string call = command[0] + " locale " + locale;
      ASSERT_EQ(RunCli(command, nullptr, &out, &err, {true, true, locale}), kExitOk) << call << err;
      EXPECT_NE(out.find(shown), std::string::npos) << call << out;
      for (const char* raw : {"\x9b" "8m", "\x9b" "2J", "\x9d" "0;"}) EXPECT_EQ(out.find(raw), std::string::npos) << call;
    }
    ASSERT_EQ(RunCli(command, nullptr, &out, &err, {false, false, ""}), kExitOk) << command[0] << err;
    EXPECT_NE(out.find(controls), std::string::npos) << command[0] << " into a pipe";
  }

  // An error message naming a settings file whose name holds them.
  const fs::path named = dir / ("k\x9b" "2J\x9d" "0;t\x9c.kta");
  fs::copy_file(kta, named);
  const std::vector<std::string> item = {"item", named.string(), "NoSuchEntry"};
  for (const char* locale : {"UTF-8", ""}) {
    EXPECT_EQ(RunCli(item, nullptr, &out, &err, {true, true, locale}), kExitUsage);
    EXPECT_NE(err.find("k\\x9B2J\\x9D0;t\\x9C.kta"), std::string::npos) << locale << err;
  }
  EXPECT_EQ(RunCli(item, nullptr, &out, &err, {false, false, ""}), kExitUsage);
  EXPECT_NE(err.find("k\x9b" "2J\x9d" "0;t\x9c.kta"), std::string::npos) << err;  // into a file: the bytes
  fs::remove_all(dir);
}

}  // namespace
}  // namespace tanavo
