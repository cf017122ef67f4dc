#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "app/data_display.h"
#include "cli/cli.h"
#include "display/render.h"
#include "dispset/kdp_file.h"
#include "files/display_file.h"
#include "extract/kta_file.h"
#include "files/extraction_file.h"
#include "mail_records.h"

namespace tanavo {
namespace {

namespace fs = std::filesystem;
using namespace std::string_literals;

void WriteAll(const fs::path& p, const std::string& bytes) { std::ofstream(p, std::ios::binary) << bytes; }

const std::vector<Mail> kMails = {
    {"a@x", "plain", "body\0with NUL"s, {}},
    {"b@y", "photos", "see", {{"p.jpg", "\xff\xd8JPEG\0bytes"s}, {"../../evil.exe", "MZ"}, {"p.jpg", "second"}}},
};

class CliRenderTest : public ::testing::Test {
 protected:
  void SetUp() override {
    dir = FreshTestFolder("tanavo_cli_render");
    LoadMails(program, kMails, "From: ??From??\r\n??Body??");
    WriteAll(dir / "m.dat", program.app.state.mobileFile);
    std::string kta;
    for (int i = 0; i < UsedCount(program.app.extraction); ++i) kta += EncodeEntry(program.app.extraction.entries[i]);
    WriteAll(dir / "m.kta", kta);
    WriteAll(dir / "m.kdp", BuildDisplaySettingsFile(program.app.display.listLineTemplate, program.app.display.layoutText));
    ini = (dir / "m.ini").string();
    ASSERT_EQ(Run({"index", (dir / "m.dat").string(), (dir / "m.kta").string(), (dir / "m.kdp").string(), ini}),
              kExitOk);
  }
  void TearDown() override { fs::remove_all(dir); }
  int Run(const std::vector<std::string>& args) { return RunCli(args, nullptr, &out, &err); }
  std::string InProgram(int n) {
    RenderedRecord r;
    EXPECT_EQ(ShowRecord(program.app, n, &r), 0);
    return r.text;
  }

  FakeApp program;
  fs::path dir;
  std::string ini, out, err;
};

TEST_F(CliRenderTest, PrintsTheRecordBytesAndWritesItsAttachments) {
  ASSERT_EQ(Run({"render", ini, "1"}), kExitOk) << err;
  EXPECT_EQ(out, InProgram(1));
  EXPECT_NE(out.find("body\0with NUL"s), std::string::npos);

  const fs::path att = dir / "att";
  ASSERT_EQ(Run({"render", ini, "2", "--attachments", att.string()}), kExitOk) << err;
  EXPECT_EQ(out, InProgram(2));
  EXPECT_EQ(ReadBytes(att / "p.jpg"), "\xff\xd8JPEG\0bytes"s);
  EXPECT_EQ(ReadBytes(att / ".._.._evil.exe"), "MZ");
  EXPECT_EQ(ReadBytes(att / "p (2).jpg"), "second");
  EXPECT_EQ(std::distance(fs::directory_iterator(att), fs::directory_iterator()), 3);
  EXPECT_EQ(err, "attachment 1 p.jpg\nattachment 2 .._.._evil.exe\nattachment 3 p (2).jpg\n");
}

// What is in the attachment folder already stays as it is: attachments get
// a name of their own next to it, and a link there is not written through.
TEST_F(CliRenderTest, AttachmentsAreCreatedNewNextToWhatIsThere) {
  const fs::path att = dir / "att";
  fs::create_directories(att);
  WriteAll(att / "p.jpg", "mine");
  fs::permissions(att / "p.jpg", fs::perms::owner_all);
  WriteAll(dir / "target", "kept");
  fs::create_symlink(dir / "target", att / ".._.._evil.exe");
  ASSERT_EQ(Run({"render", ini, "2", "--attachments", att.string()}), kExitOk) << err;
  EXPECT_EQ(ReadBytes(att / "p.jpg"), "mine");
  EXPECT_EQ(fs::status(att / "p.jpg").permissions() & fs::perms::all, fs::perms::owner_all);
  EXPECT_EQ(ReadBytes(dir / "target"), "kept");
  EXPECT_EQ(ReadBytes(att / "p (2).jpg"), "\xff\xd8JPEG\0bytes"s);
  EXPECT_EQ(ReadBytes(att / ".._.._evil (2).exe"), "MZ");
  EXPECT_EQ(ReadBytes(att / "p (3).jpg"), "second");
  EXPECT_EQ(err, "attachment 1 p (2).jpg\nattachment 2 .._.._evil (2).exe\nattachment 3 p (3).jpg\n");
  EXPECT_EQ(ReadBytes(dir / "m.dat"), program.app.state.mobileFile);

  // An empty folder name would be the current folder.
  EXPECT_EQ(Run({"render", ini, "2", "--attachments", ""}), kExitUsage);
}

TEST_F(CliRenderTest, RecordsThatCannotBeRenderedExitOneWithNothingPrinted) {
  for (const char* n : {"0", "3", "999999999"}) {
    EXPECT_EQ(Run({"render", ini, n}), kExitFailed) << n;
    EXPECT_EQ(out, "");
  }
  WriteAll(dir / "m.dat", "the mobile file changed");
  EXPECT_EQ(Run({"render", ini, "1"}), kExitFailed);
  EXPECT_EQ(out, "");
  for (const std::vector<std::string>& args : std::vector<std::vector<std::string>>{
           {"render", ini}, {"render", ini, "x"}, {"render", ini, "-1"}, {"render", ini, "1", "--attachments"}}) {
    EXPECT_EQ(Run(args), kExitUsage);
  }
}

}  // namespace
}  // namespace tanavo
