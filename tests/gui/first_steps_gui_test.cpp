// The first steps of the README and the user manual, with the bundled samples
// in the real windows: open mail.dat, load mail.kta and mail.kdp, look at the
// settings, try them with "確　　認", open the display settings; the memo opens
// in the shell's editor.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/result_window.h"
#include "app/display_window.h"
#include "app/detail_window.h"
#include "app/extraction_window.h"
#include "gui_support.h"

namespace tanavo {
namespace gui {
namespace {

constexpr int kCmdOpenMobile = 1047;
constexpr int kCmdLoadExtraction = 1048;
constexpr int kCmdLoadDisplay = 1049;
constexpr int kCmdMemo = 1054;
constexpr int kCmdExtractionSettings = 1056;
constexpr int kCmdDisplaySettings = 1057;

std::string Sample(const char* name) { return ProgramFolder() + "\\" + name; }

std::vector<std::string> Rows(HWND list) {
  std::vector<std::string> out;
  int n = static_cast<int>(SendMessageA(list, LB_GETCOUNT, 0, 0));
  for (int i = 0; i < n; ++i) {
    std::string row(static_cast<std::size_t>(SendMessageA(list, LB_GETTEXTLEN, i, 0)) * 2 + 2, '\0');
    SendMessageA(list, LB_GETTEXT, i, reinterpret_cast<LPARAM>(&row[0]));
    row.resize(row.find('\0'));
    out.push_back(row);
  }
  return out;
}

bool Contains(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }

// The samples loaded through the menus, as a new user would.
void LoadSamples(GuiApp& g, Responder& r) {
  r.AnswerFile(Sample("mail.dat"));
  g.Command(kCmdOpenMobile);
  r.AnswerFile(Sample("mail.kta"));
  g.Command(kCmdLoadExtraction);
  r.AnswerFile(Sample("mail.kdp"));
  g.Command(kCmdLoadDisplay);
  ASSERT_EQ(r.Pending(), 0);
  ASSERT_TRUE(r.Boxes().empty()) << r.Boxes()[0].text;
}

TEST(GuiFirstSteps, SamplesLoadedTriedAndTheirDisplaySettingsShown) {
  GuiApp g;
  Responder r;
  LoadSamples(g, r);
  EXPECT_EQ(g.StatusText(2), "携帯: mail.dat");
  EXPECT_EQ(g.StatusText(3), "抽出: mail.kta");
  EXPECT_EQ(g.StatusText(4), "表示: mail.kdp");
  EXPECT_EQ(WindowText(GetDlgItem(g.Main(), 1000)).rfind("BEGIN:MAIL\r\nDate: 2006/01/10 09:15\r\n", 0), 0u);
  Checkpoint("first-main-window");

  g.Command(kCmdExtractionSettings);
  HWND ext = g.WindowOfClass(kExtractionWindowClass);
  EXPECT_EQ(Rows(GetDlgItem(ext, kExtList)),
            (std::vector<std::string>{"MAIL", "  Date", "  From", "  To", "  Subject", "  Body", "MAIL"}));
  Checkpoint("first-extraction-settings", ext);

  // The Subject item: a header line, continued on lines that start with a space.
  SendMessageA(GetDlgItem(ext, kExtList), LB_SETCURSEL, 4, 0);
  g.Click(kExtractionWindowClass, kExtDetails);
  HWND detail = g.WindowOfClass(kDetailWindowClass);
  ASSERT_TRUE(IsWindowVisible(detail));
  EXPECT_EQ(WindowText(GetDlgItem(detail, kDetailTitle)), "Subjectの詳細設定");
  EXPECT_EQ(WindowText(GetDlgItem(detail, kDetailRangeStart)), "Subject:");
  EXPECT_EQ(WindowText(GetDlgItem(detail, kDetailRangeEnd)), "[CR][LF]");
  EXPECT_EQ(WindowText(GetDlgItem(detail, kDetailContentStart)), "Subject:[SP]");
  EXPECT_EQ(WindowText(GetDlgItem(detail, kDetailNextLineHead)), "[SP]");
  Checkpoint("first-detail-settings", detail);
  g.Click(kDetailWindowClass, kDetailFinish);
  EXPECT_FALSE(IsWindowVisible(detail));

  // "確　　認": the first mail's items decoded; "次へ" goes on to the second.
  g.Click(kExtractionWindowClass, kExtCheck);
  HWND result = g.WindowOfClass(kResultWindowClass);
  ASSERT_TRUE(IsWindowVisible(result));
  std::string first = WindowText(GetDlgItem(result, kResultTextView));
  for (const char* shown : {"2006/01/10 09:15", "山田太郎 <taro.yamada@example.jp>", "鈴木一郎 <ichiro@example.jp>",
                            "打ち合わせの件", "明日の打ち合わせは十時からです。"}) {
    EXPECT_TRUE(Contains(first, shown)) << shown;
  }
  g.Click(kResultWindowClass, kResultNextButton);
  EXPECT_TRUE(Contains(WindowText(GetDlgItem(result, kResultTextView)), "Re: 打ち合わせの件"));
  Checkpoint("first-check-result", result);
  g.Click(kResultWindowClass, kResultCloseButton);
  g.Click(kExtractionWindowClass, kExtClose);

  g.Command(kCmdDisplaySettings);
  HWND disp = g.WindowOfClass(kDisplayWindowClass);
  ASSERT_TRUE(IsWindowVisible(disp));
  std::string line = WindowText(GetDlgItem(disp, kDispTemplateEdit));
  EXPECT_EQ(line.rfind("??Date          ??  ??From", 0), 0u) << line;
  EXPECT_TRUE(Contains(WindowText(GetDlgItem(disp, kDispLayoutEdit)), "??Body??"));
  Checkpoint("first-display-settings", disp);
  g.Click(kDisplayWindowClass, kDispClose);
  EXPECT_EQ(r.Pending(), 0);
  EXPECT_TRUE(r.Boxes().empty());
}

struct FindNotepad {
  HWND found = nullptr;
};

BOOL CALLBACK FindNotepadProc(HWND hwnd, LPARAM lp) {
  if (IsWindowVisible(hwnd) && ClassOf(hwnd) == "Notepad") {
    reinterpret_cast<FindNotepad*>(lp)->found = hwnd;
    return FALSE;
  }
  return TRUE;
}

HWND WaitForNotepad(int ms) {
  for (int waited = 0; waited < ms; waited += 100) {
    FindNotepad f;
    EnumWindows(FindNotepadProc, reinterpret_cast<LPARAM>(&f));
    if (f.found) return f.found;
    Pump();
    Sleep(100);
  }
  return nullptr;
}

// The shell of the prefix opens .txt files in notepad, so the memo appears.
TEST(GuiFirstSteps, MemoOpensInTheShellsEditor) {
  GuiApp g;
  Responder r;
  LoadSamples(g, r);
  std::string memo = g.app().state.programFolder + "\\分析メモdat.txt";
  DeleteFileA(memo.c_str());
  g.Command(kCmdMemo);
  EXPECT_NE(GetFileAttributesA(memo.c_str()), INVALID_FILE_ATTRIBUTES);
  HWND notepad = WaitForNotepad(20000);
  ASSERT_NE(notepad, nullptr) << "no editor window for " << memo;
  // The editor names the file in its title once it has read it.
  for (int waited = 0; waited < 10000 && !Contains(WindowText(notepad), "分析メモdat"); waited += 100) {
    Pump();
    Sleep(100);
  }
  EXPECT_TRUE(Contains(WindowText(notepad), "分析メモdat")) << WindowText(notepad);
  Checkpoint("first-memo", notepad);
  DWORD pid = 0;
  GetWindowThreadProcessId(notepad, &pid);
  HANDLE process = OpenProcess(SYNCHRONIZE, FALSE, pid);
  PostMessageA(notepad, WM_CLOSE, 0, 0);
  if (process) {
    EXPECT_EQ(WaitForSingleObject(process, 10000), WAIT_OBJECT_0);
    CloseHandle(process);
  }
  DeleteFileA(memo.c_str());
}

}  // namespace
}  // namespace gui
}  // namespace tanavo
