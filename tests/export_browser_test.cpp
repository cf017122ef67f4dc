// The export's report in a real browser: headless Chromium loads report.html
// and its pages, takes screenshots and dumps the page as it built it; each
// must load with no console message (a script, or a fetch the
// Content-Security-Policy blocked, would be one).
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <sstream>
#include <string>

#include "cli/cli.h"
#include "export_support.h"

namespace tanavo {
namespace {

namespace fs = std::filesystem;

// The flags that let Chromium run here as root without a network or a GPU.
constexpr const char* kChromium =
    "timeout 120 chromium --headless --no-sandbox --disable-gpu --disable-quic --no-first-run "
    "--disable-background-networking --disable-component-update --disable-sync --enable-logging=stderr --v=0 ";

std::string Quoted(const fs::path& p) { return "'" + p.string() + "'"; }

class ExportBrowserTest : public ::testing::Test {
 protected:
  void SetUp() override {
    dir = FreshTestFolder("tanavo_export_browser");
    if (std::system(("chromium --version >/dev/null 2>&1 && " + std::string(kChromium) + "--user-data-dir=" +
                     Quoted(dir / "probe") + " --dump-dom about:blank >/dev/null 2>&1")
                        .c_str()) != 0) {
      GTEST_SKIP() << "chromium cannot run here: the report is not checked in a browser";
    }
  }
  void TearDown() override { fs::remove_all(dir); }

  // Chromium's console messages while it loads page and does what (such as
  // --screenshot=...); out receives its standard output.
  std::string ConsoleMessages(const fs::path& page, const std::string& what, std::string* out = nullptr) {
    static int run = 0;
    const fs::path profile = dir / ("profile" + std::to_string(++run));
    const std::string command = kChromium + what + " --user-data-dir=" + Quoted(profile) + " 'file://" +
                                page.string() + "' >" + Quoted(dir / "out.txt") + " 2>" + Quoted(dir / "err.txt");
    EXPECT_EQ(std::system(command.c_str()), 0) << command;
    if (out) *out = ReadBytes(dir / "out.txt");
    std::istringstream err(ReadBytes(dir / "err.txt"));
    std::string messages;
    for (std::string line; std::getline(err, line);) {
      if (line.find(":CONSOLE") != std::string::npos) messages += line + "\n";
    }
    return messages;
  }

  // An index of the mails written beside them, exported into dir/name.
  fs::path Export(const std::string& name, const std::string& mobile, const std::string& kta, const std::string& kdp) {
    const std::string ini = (dir / (name + ".ini")).string();
    std::string out, err;
    EXPECT_EQ(RunCli({"index", mobile, kta, kdp, ini}, nullptr, &out, &err), kExitOk) << err;
    EXPECT_EQ(RunCli({"export", ini, (dir / name).string()}, nullptr, &out, &err), kExitOk) << err;
    return dir / name / "report.html";
  }

  fs::path dir;
};

TEST_F(ExportBrowserTest, ReportsLoadWithoutConsoleMessagesAndRunNothing) {
  // The check itself: a blocked inline script is a console message.
  WriteFileBytes(dir / "control.html",
           "<!DOCTYPE html><meta http-equiv=\"Content-Security-Policy\" content=\"default-src 'none'\">"
           "<script>document.title = 'ran'</script>");
  EXPECT_NE(ConsoleMessages(dir / "control.html", "--dump-dom"), "");

  // The bundled samples, screenshot kept in the build folder to be looked at.
  const fs::path samples = fs::path(TANAVO_SOURCE_DIR) / "samples";
  const fs::path report = Export("samples", (samples / "mail.dat").string(), (samples / "mail.kta").string(),
                                 (samples / "mail.kdp").string());
  const fs::path png = fs::current_path() / "export-report.png";
  fs::remove(png);
  EXPECT_EQ(ConsoleMessages(report, "--window-size=1280,1024 --screenshot=" + Quoted(png)), "");
  EXPECT_EQ(ReadBytes(png).substr(0, 8), "\x89PNG\r\n\x1a\n");
  const fs::path pagePng = fs::current_path() / "export-report-page.png";
  fs::remove(pagePng);
  EXPECT_EQ(ConsoleMessages(report.parent_path() / "report/0001.html",
                            "--window-size=1280,1024 --screenshot=" + Quoted(pagePng)),
            "");
  EXPECT_EQ(ReadBytes(pagePng).substr(0, 8), "\x89PNG\r\n\x1a\n");

  // Hostile values: the page the browser built holds them as text only.
  FakeApp program;
  LoadMails(program,
            {{"<script>document.title='ran'</script>", "<img src=x onerror=\"document.title='ran'\">&amp;", "b\"'<",
              {{"<svg onload=x>.jpg", "svg"}}}},
            "??From?? ??Subject??\r\n??Body??");
  WriteEvidence(program.app, dir, "h");
  const fs::path hostile =
      Export("hostile", (dir / "h.dat").string(), (dir / "h.kta").string(), (dir / "h.kdp").string());
  std::string dom;
  EXPECT_EQ(ConsoleMessages(hostile, "--dump-dom", &dom), "");
  EXPECT_EQ(ConsoleMessages(hostile.parent_path() / "report/0001.html", "--dump-dom", &dom), "");
  for (const char* element : {"<script", "<img", "<svg"}) EXPECT_EQ(dom.find(element), std::string::npos) << element;
  EXPECT_NE(dom.find("&lt;script&gt;document.title='ran'&lt;/script&gt;"), std::string::npos) << dom;
  EXPECT_NE(dom.find("&lt;img src=x onerror=\"document.title='ran'\"&gt;&amp;amp;"), std::string::npos);
  EXPECT_EQ(dom.find("<title>ran</title>"), std::string::npos);
}

// With a case: the index page opens with the tagged records and draws the
// timeline as an inline SVG image, which the policy lets show, and still
// nothing runs.
TEST_F(ExportBrowserTest, ReportWithACaseDrawsItsTimelineAndRunsNothing) {
  const fs::path samples = fs::path(TANAVO_SOURCE_DIR) / "samples";
  const std::string ini = (dir / "s.ini").string(), tcase = (dir / "s.tcase").string();
  std::string out, err;
  ASSERT_EQ(RunCli({"index", (samples / "mail.dat").string(), (samples / "mail.kta").string(),
                    (samples / "mail.kdp").string(), ini},
                   nullptr, &out, &err),
            kExitOk)
      << err;
  ASSERT_EQ(RunCli({"case", ini, tcase}, nullptr, &out, &err), kExitOk) << err;
  ASSERT_EQ(RunCli({"tag", tcase, "2", u8"要確認", "--note", u8"取引先の名前あり"}, nullptr, &out, &err), kExitOk)
      << err;
  ASSERT_EQ(RunCli({"export", ini, (dir / "c").string(), "--case", tcase}, nullptr, &out, &err), kExitOk) << err;
  const fs::path report = dir / "c" / "report.html";
  std::string dom;
  EXPECT_EQ(ConsoleMessages(report, "--dump-dom", &dom), "");
  EXPECT_NE(dom.find("<svg"), std::string::npos);
  EXPECT_NE(dom.find("<rect"), std::string::npos);
  EXPECT_EQ(dom.find("<script"), std::string::npos);
  EXPECT_NE(dom.find(u8"要確認"), std::string::npos);
  const fs::path png = fs::current_path() / "export-report-case.png";
  fs::remove(png);
  EXPECT_EQ(ConsoleMessages(report, "--window-size=1280,1024 --screenshot=" + Quoted(png)), "");
  EXPECT_EQ(ReadBytes(png).substr(0, 8), "\x89PNG\r\n\x1a\n");
}

}  // namespace
}  // namespace tanavo
