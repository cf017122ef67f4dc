#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "cli/cli.h"

namespace tanavo {
namespace {

std::string g_codecInput;
ReadStatus ReadCodecInput(std::string* all) {
  *all = g_codecInput;
  return ReadStatus::Ok;
}
ReadStatus FailToRead(std::string*) { return ReadStatus::CannotOpen; }
ReadStatus TooMuchToRead(std::string*) { return ReadStatus::TooLarge; }

struct CodecRun {
  int code;
  std::string out, err;
};

CodecRun RunCodec(std::vector<std::string> args, const std::string& input) {
  g_codecInput = input;
  CodecRun r;
  r.code = RunCli(args, ReadCodecInput, &r.out, &r.err);
  return r;
}

TEST(CliCodec, EachOperationWritesExactlyTheCodecBytes) {
  CodecRun r = RunCodec({"codec", "base64-decode"}, "QUJD\r\nRA==\r\n");
  EXPECT_EQ(r.code, kExitOk);
  EXPECT_EQ(r.out, "ABCD");
  EXPECT_EQ(r.err, "");

  r = RunCodec({"codec", "base64-encode"}, std::string("A\0\xff", 3));
  EXPECT_EQ(r.out, "QQD/");  // no line break appended
  r = RunCodec({"codec", "qp-decode"}, "a=3D=\r\nb=");
  EXPECT_EQ(r.out, std::string("a=b\0", 4));
  r = RunCodec({"codec", "jis-to-sjis"}, "\x1b$BF|K\\\x1b(B");
  EXPECT_EQ(r.out, "\x93\xfa\x96\x7b");
  r = RunCodec({"codec", "hex-dump"}, "A\r\nB");
  EXPECT_EQ(r.out, "41 0D 0A \r\n42 ");
  r = RunCodec({"codec", "hex-dump"}, "");
  EXPECT_EQ(r.code, kExitOk);
  EXPECT_EQ(r.out, "");
}

TEST(CliCodec, Utf8ConvertsTheOutput) {
  CodecRun r = RunCodec({"--utf8", "codec", "jis-to-sjis"}, "\x1b$BF|K\\\x1b(B");
  EXPECT_EQ(r.code, kExitOk);
  EXPECT_EQ(r.out, "\xe6\x97\xa5\xe6\x9c\xac");
  r = RunCodec({"codec", "hex-dump", "--utf8"}, "\x93\xfa");
  EXPECT_EQ(r.out, "93 FA ");
}

TEST(CliCodec, UsageErrors) {
  CodecRun r = RunCodec({"codec", "rot13"}, "x");
  EXPECT_EQ(r.code, kExitUsage);
  EXPECT_EQ(r.out, "");
  EXPECT_NE(r.err.find("rot13"), std::string::npos);
  EXPECT_NE(r.err.find("usage: tanavo-cli"), std::string::npos);
  r = RunCodec({"codec"}, "x");
  EXPECT_EQ(r.code, kExitUsage);
  EXPECT_NE(r.err.find("usage: tanavo-cli"), std::string::npos);
  r = RunCodec({"codec", "hex-dump", "extra"}, "x");
  EXPECT_EQ(r.code, kExitUsage);
  EXPECT_EQ(r.out, "");

  std::string out, err;
  EXPECT_EQ(RunCli({"codec", "hex-dump"}, FailToRead, &out, &err), kExitFailed);
  EXPECT_EQ(out, "");
  EXPECT_NE(err.find("standard input"), std::string::npos);
}

TEST(CliCodec, StandardInputHasTheLimitOfFiles) {
  // Both kinds of input: a pipe, read until it passes the limit, and a
  // regular file, refused by its size before it is read.
  struct Case {
    bool pipe;
    std::size_t limit;
    ReadStatus status;
  };
  const std::string bytes = "0123456789a";
  for (const Case& c : {Case{true, 11, ReadStatus::Ok}, Case{true, 10, ReadStatus::TooLarge},
                        Case{false, 11, ReadStatus::Ok}, Case{false, 10, ReadStatus::TooLarge}}) {
    std::FILE* in = c.pipe ? popen(("printf " + bytes).c_str(), "r") : std::tmpfile();
    ASSERT_NE(in, nullptr);
    if (!c.pipe) {
      std::fwrite(bytes.data(), 1, bytes.size(), in);
      std::rewind(in);
    }
    std::string all = "kept";
    EXPECT_EQ(ReadAllInput(in, &all, c.limit), c.status) << c.pipe << " " << c.limit;
    EXPECT_EQ(all, c.status == ReadStatus::Ok ? bytes : "kept");
    c.pipe ? pclose(in) : std::fclose(in);
  }

  std::string out, err;
  EXPECT_EQ(RunCli({"codec", "base64-decode"}, TooMuchToRead, &out, &err), kExitFailed);
  EXPECT_EQ(err, "TextEditor: ファイルが大きすぎるため読み込めません!!\n");
  EXPECT_EQ(out, "");
}

}  // namespace
}  // namespace tanavo
