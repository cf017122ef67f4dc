// tanavo-cli lint: what makes settings silently show nothing, one line each.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "cli/cli.h"
#include "dispset/kdp_file.h"
#include "files/display_file.h"
#include "extract/kta_file.h"
#include "files/extraction_file.h"
#include "mime/full_choice.h"
#include "test_support.h"

namespace tanavo {
namespace {

namespace fs = std::filesystem;

const TagDefinition kOpen = Def("D_SET", "REC", "<R>", "</R>");
const TagDefinition kName = Item("Name", "N:", "\r\n");
const TagDefinition kTel = Item("Tel", "T:", "\r\n");

TagDefinition WithoutContentEnd(TagDefinition e) {
  e.contentEndTag.clear();
  return e;
}

// Full decoding reads the whole item: its content tags are not used.
TagDefinition FullMailWithoutContentTags() {
  TagDefinition e = Def("Data", "Name", "<M>", "</M>");
  SetFullMimeEntry(e, true);
  return e;
}

TEST(CliLint, EachSilentFaultGivesOneLine) {
  const struct {
    const char* what;
    std::vector<TagDefinition> entries;
    std::string layout;
    std::vector<std::string> want;  // a part of each line, in order
  } cases[] = {
      {"sound settings", {kOpen, kName, kTel, kOpen}, "??Name      ??\r\n??Tel??", {}},
      {"empty content tag", {kOpen, WithoutContentEnd(kName), kOpen}, "", {"項目2 Data \"Name\": コンテンツのタグが空"}},
      {"full decoding needs no content tags", {kOpen, FullMailWithoutContentTags(), kOpen}, "", {}},
      {"Data before D_SET", {kName, kOpen, kOpen}, "", {"項目1 Data \"Name\": D_SET より前"}},
      {"Group without end", {kOpen, Def("Group", "G", "<G>", "</G>"), kName, kOpen}, "",
       {"項目2 Group \"G\": 終了タグ"}},
      {"D_SET without end", {kOpen, kName}, "", {"項目1 D_SET \"REC\": 終了タグ"}},
      {"Data name twice", {kOpen, kName, kName, kOpen}, "", {"項目3 Data \"Name\": 項目2と同じ名前"}},
      {"a third entry of a pair's name", {kOpen, kName, kOpen, kOpen}, "", {"項目4 D_SET \"REC\": 項目1と同じ名前"}},
      {"placeholder differing in case and spacing",
       {kOpen, Item("NAME", "N:", "\r\n"), kOpen},
       "??Name ??",
       {"表示レイアウト ??Name ??: この名前の Data 項目がありません (近い名前: \"NAME\")"}},
      {"placeholder of no name at all", {kOpen, kName, kOpen}, "??Addr??", {"表示レイアウト ??Addr??: この名前の Data 項目がありません\n"}},
      {"?? in running text across lines", {kOpen, kName, kOpen}, "Why??\r\n??Name??", {}},
  };
  for (const auto& c : cases) {
    ExtractionSettings s;
    SetTable(s, c.entries);
    DisplaySettings d;
    d.layoutText = c.layout;
    const std::vector<std::string> found = LintSettings(s, &d);
    ASSERT_EQ(found.size(), c.want.size()) << c.what << ": " << ::testing::PrintToString(found);
    for (std::size_t i = 0; i < found.size(); ++i) {
      EXPECT_NE((found[i] + "\n").find(c.want[i]), std::string::npos) << c.what << ": " << found[i];
    }
  }
}

// The command reads the files as their menu commands do; its exit status
// says whether anything was found, and a wrong call is a usage error.
TEST(CliLint, ExitStatusSaysWhetherAnythingWasFound) {
  const fs::path dir = FreshTestFolder("cli_lint");
  std::ofstream(dir / "good.kta", std::ios::binary) << EncodeEntry(kOpen) + EncodeEntry(kName) + EncodeEntry(kOpen);
  std::ofstream(dir / "bad.kta", std::ios::binary) << EncodeEntry(kName) + EncodeEntry(kOpen) + EncodeEntry(kOpen);
  std::ofstream(dir / "v.kdp", std::ios::binary) << BuildDisplaySettingsFile("??Name??", "??Nmae??");
  const std::string good = (dir / "good.kta").string(), bad = (dir / "bad.kta").string();
  const std::string kdp = (dir / "v.kdp").string();
  std::string out, err;
  EXPECT_EQ(RunCli({"lint", good}, nullptr, &out, &err), kExitOk);
  EXPECT_EQ(out + err, "");
  EXPECT_EQ(RunCli({"lint", bad}, nullptr, &out, &err), kExitFailed);
  EXPECT_EQ(out, "抽出設定 項目1 Data \"Name\": D_SET より前にあるため抽出されません\n");
  EXPECT_EQ(RunCli({"lint", good, kdp}, nullptr, &out, &err), kExitFailed);
  EXPECT_EQ(out, "表示設定 表示レイアウト ??Nmae??: この名前の Data 項目がありません\n");
  EXPECT_EQ(RunCli({"lint", (dir / "missing.kta").string()}, nullptr, &out, &err), kExitFailed);
  EXPECT_NE(err.find("ファイルオープンに失敗"), std::string::npos);
  EXPECT_EQ(RunCli({"lint"}, nullptr, &out, &err), kExitUsage);
  EXPECT_EQ(RunCli({"lint", good, kdp, good}, nullptr, &out, &err), kExitUsage);
  fs::remove_all(dir);
}

}  // namespace
}  // namespace tanavo
