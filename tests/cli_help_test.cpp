#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "cli/cli.h"

namespace tanavo {
namespace {

// Help is asked for, not a mistake: usage on standard output and success. Any
// wrong call still gets the usage on standard error with the usage status.
TEST(CliHelp, HelpOnStandardOutputWrongCallsOnStandardError) {
  struct Case {
    std::vector<std::string> args;
    int code;
    bool usageOnOut;
  };
  const Case cases[] = {
      {{"--help"}, kExitOk, true},
      {{"-h"}, kExitOk, true},
      {{"--utf8", "--help"}, kExitOk, true},
      {{}, kExitUsage, false},
      {{"nothing"}, kExitUsage, false},
      {{"--help", "extra"}, kExitUsage, false},
      {{"codec"}, kExitUsage, false},
  };
  for (const Case& c : cases) {
    std::string out, err;
    std::string call = ::testing::PrintToString(c.args);
    EXPECT_EQ(RunCli(c.args, nullptr, &out, &err), c.code) << call;
    const std::string& usage = c.usageOnOut ? out : err;
    const std::string& other = c.usageOnOut ? err : out;
    EXPECT_EQ(usage.rfind("usage: tanavo-cli", 0), 0u) << call;
    EXPECT_EQ(other.find("usage:"), std::string::npos) << call;
  }
}

TEST(CliHelp, ItemUsageSaysTheItemTextEndsWithItsEndTag) {
  std::string out, err;
  RunCli({"--help"}, nullptr, &out, &err);
  std::string item = out.substr(out.find("tanavo-cli item"));
  EXPECT_NE(item.find("end tag included"), std::string::npos);
  EXPECT_NE(item.find("CR LF"), std::string::npos);
}

}  // namespace
}  // namespace tanavo
