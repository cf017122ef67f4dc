// The coverage in the real windows: a vMessage dump cut inside its last mail
// and one with a mail whose end tag is missing, indexed with the ready-made
// preset through the menu; the summary in the status bar and the coverage
// window with the raw text at the finding chosen.
#include <gtest/gtest.h>

#include <string>

#include "app/coverage_window.h"
#include "app/main_window.h"
#include "app/menus.h"
#include "gui_support.h"
#include "index/coverage.h"

namespace tanavo {
namespace gui {
namespace {

std::string Mail(int n) {
  const std::string k = std::to_string(n);
  return "BEGIN:VMSG\r\nVERSION:1.1\r\nX-IRMC-BOX:INBOX\r\nBEGIN:VENV\r\nBEGIN:VBODY\r\n"
         "Date: Tue, 10 Jan 2006 09:15:00 +0900\r\nFrom: user" + k + "@example.jp\r\nSubject: mail " + k +
         "\r\n\r\nbody of mail " + k + "\r\nEND:VBODY\r\nEND:VENV\r\nEND:VMSG\r\n";
}

std::string Presets() { return ProgramFolder() + "\\..\\presets\\"; }

TEST(GuiCoverage, ACutAndAMergedDumpInTheStatusBarAndTheCoverageWindow) {
  const std::string dir = TempFolder("coverage");
  std::string cut;
  for (int n = 1; n <= 5; ++n) cut += Mail(n);
  const std::size_t last = cut.find(Mail(5));
  cut.resize(cut.find("Subject:", last) + 5);  // a copy that stopped inside Subject:
  std::string merged;
  for (int n = 1; n <= 8; ++n) merged += Mail(n);
  merged.erase(merged.find("END:VMSG\r\n", merged.find(Mail(3))), 10);  // mail 4 inside mail 3
  merged.insert(merged.find(Mail(6)), "\x82\xA0stray bytes\r\n");
  const struct {
    const char* name;
    const std::string& dump;
    const char* status;
    std::size_t offset;  // of the first finding
    int findings;
  } cases[] = {
      {"cut", cut, "全4件 指摘1件", last, 1},
      {"merged", merged, "全7件 指摘2件", merged.find("BEGIN:VMSG", merged.find("Subject: mail 3")), 2},
  };
  for (const auto& c : cases) {
    const std::string mobile = dir + "\\" + c.name + ".vmg";
    WriteBytes(mobile, c.dump);
    GuiApp g;
    Responder r;
    g.LoadThreeFiles(r, mobile, Presets() + "vmessage.kta", Presets() + "vmessage.kdp");
    r.PressBox(IDOK);
    r.AnswerFile(dir + "\\" + c.name + ".ini");
    g.Command(kCmdCreateIndex);
    EXPECT_EQ(r.Pending(), 0) << c.name;
    EXPECT_EQ(r.Boxes().size(), 1u) << c.name;  // the confirmation only: nothing was left out by the capacity
    EXPECT_EQ(g.StatusText(kOperationPart), c.status) << c.name;
    Checkpoint(std::string("coverage-status-") + c.name, g.Main());

    g.Command(kCmdCoverage);
    HWND w = g.WindowOfClass(kCoverageWindowClass);
    ASSERT_TRUE(IsWindowVisible(w)) << c.name;
    EXPECT_EQ(WindowText(GetDlgItem(w, kCoverageSummary)), CoverageSummaryText(g.app().coverage)) << c.name;
    HWND list = GetDlgItem(w, kCoverageList);
    ASSERT_EQ(SendMessageA(list, LB_GETCOUNT, 0, 0), c.findings) << c.name;
    EXPECT_EQ(SendMessageA(list, LB_GETCURSEL, 0, 0), 0) << c.name;
    ASSERT_EQ(g.app().coverage.findings.size(), static_cast<std::size_t>(c.findings));
    EXPECT_EQ(g.app().coverage.findings[0].offset, static_cast<int64_t>(c.offset)) << c.name;
    // The raw text from two lines before the finding, in the file's own bytes.
    const std::size_t from = CoverageExcerptStart(c.dump, static_cast<int64_t>(c.offset));
    EXPECT_EQ(WindowText(GetDlgItem(w, kCoverageText)), c.dump.substr(from, kCoverageExcerptBytes)) << c.name;
    Checkpoint(std::string("coverage-window-") + c.name, w);
    if (c.findings > 1) {
      // Chosen with the mouse: the raw text follows.
      SendMessageA(list, LB_SETCURSEL, 1, 0);
      SendMessageA(w, WM_COMMAND, MAKEWPARAM(kCoverageList, LBN_SELCHANGE), reinterpret_cast<LPARAM>(list));
      Pump();
      const std::size_t second = CoverageExcerptStart(c.dump, g.app().coverage.findings[1].offset);
      EXPECT_EQ(WindowText(GetDlgItem(w, kCoverageText)), c.dump.substr(second, kCoverageExcerptBytes)) << c.name;
      Checkpoint(std::string("coverage-window-") + c.name + "-gap", w);
    }
  }
}

}  // namespace
}  // namespace gui
}  // namespace tanavo
