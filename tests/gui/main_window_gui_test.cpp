// The real main window, menus, status bar, mobile file loading and exit.
#include <gtest/gtest.h>

#include "app/main_window.h"
#include "app/name_list_window.h"
#include "app/extraction_window.h"
#include "platform/win32/text_view_win32.h"
#include "gui_support.h"

namespace tanavo {
namespace gui {
namespace {

struct Expected {
  const char* className;
  const char* title;
  int w, h;
};

const Expected kWindows[] = {
    {"NORMAL0", "Tanavo", 816, 641},          {"NORMAL1", "データ抽出設定", 283, 361},
    {"NORMAL2", "設定確認結果", 450, 360},    {"NORMAL3", "詳細設定", 500, 396},
    {"NORMAL4", "文字コード変換", 450, 360},  {"NORMAL5", "データ表示", 790, 623},
    {"NORMAL6", "Dataタグ名リスト", 193, 360},
};

TEST(GuiMainWindow, SevenWindowsExistOnlyTheMainOneVisible) {
  GuiApp g;
  for (const Expected& e : kWindows) {
    HWND w = FindWindowA(e.className, nullptr);
    ASSERT_NE(w, nullptr) << e.className;
    EXPECT_EQ(WindowText(w), e.title) << e.className;
    RECT r;
    GetWindowRect(w, &r);
    EXPECT_EQ(r.right - r.left, e.w) << e.className;
    EXPECT_EQ(r.bottom - r.top, e.h) << e.className;
    EXPECT_EQ(IsWindowVisible(w) != 0, std::string(e.className) == kMainWindowClass) << e.className;
    EXPECT_EQ(GetParent(w), nullptr) << e.className;
  }
  // Caption-only tool windows have no system menu, so no close box.
  EXPECT_EQ(GetWindowLongA(g.WindowOfClass(kExtractionWindowClass), GWL_STYLE) & WS_SYSMENU, 0);
  EXPECT_NE(GetWindowLongA(g.WindowOfClass(kNameListWindowClass), GWL_EXSTYLE) & WS_EX_TOPMOST, 0);
  EXPECT_EQ(ClassOf(GetDlgItem(g.Main(), kRawTextView)), kTextViewClass);
}

TEST(GuiMainWindow, MenuBarReadsBackInTableOrder) {
  GuiApp g;
  HMENU bar = GetMenu(g.Main());
  ASSERT_NE(bar, nullptr);
  const char* tops[] = {"ファイル(&F)", "表　　示(&S)", "分　　析(&A)", "設　　定(&P)", "ヘルプ(&H)"};
  ASSERT_EQ(GetMenuItemCount(bar), 5);
  for (int i = 0; i < 5; ++i) {
    char buf[128] = {};
    GetMenuStringA(bar, static_cast<UINT>(i), buf, sizeof buf, MF_BYPOSITION);
    EXPECT_STREQ(buf, tops[i]);
  }
  HMENU file = GetSubMenu(bar, 0);
  const int ids[] = {1047, 0, 1048, 1049, 0, 1050, 0, 1051};
  const char* captions[] = {"携帯ファイル読込み(&O)", "", "抽出設定ファイル読込み(&C)", "表示設定ファイル読込み(&D)",
                            "", "インデックスファイル読込(&R)", "", "終　了(&Q)"};
  ASSERT_EQ(GetMenuItemCount(file), 8);
  for (int i = 0; i < 8; ++i) {
    MENUITEMINFOA mi{};
    char buf[128] = {};
    mi.cbSize = sizeof mi;
    mi.fMask = MIIM_ID | MIIM_FTYPE | MIIM_STRING;
    mi.dwTypeData = buf;
    mi.cch = sizeof buf;
    ASSERT_TRUE(GetMenuItemInfoA(file, static_cast<UINT>(i), TRUE, &mi));
    if (ids[i] == 0) {
      EXPECT_NE(mi.fType & MFT_SEPARATOR, 0u) << i;
    } else {
      EXPECT_EQ(static_cast<int>(mi.wID), ids[i]);
      EXPECT_STREQ(buf, captions[i]);
    }
  }
  EXPECT_EQ(GetMenuItemID(GetSubMenu(bar, 4), 2), 1059u);
  EXPECT_EQ(GetMenuItemID(GetSubMenu(bar, 3), 0), 1056u);
}

TEST(GuiMainWindow, StatusPartsFollowTheClientWidth) {
  GuiApp g;
  for (int outer : {816, 600, 180}) {
    SetWindowPos(g.Main(), nullptr, 0, 0, outer, 500, SWP_NOMOVE | SWP_NOZORDER);
    Pump();
    RECT rc;
    GetClientRect(g.Main(), &rc);
    int w = rc.right;
    int q = (w - 200) / 4;
    std::vector<int> want = {100, 200, 200 + q, 200 + 2 * q, 200 + 3 * q, w};
    EXPECT_EQ(g.StatusEdges(), want) << "outer width " << outer;
    RECT edit;
    GetWindowRect(GetDlgItem(g.Main(), kRawTextView), &edit);
    EXPECT_EQ(edit.right - edit.left, w);
    EXPECT_EQ(edit.bottom - edit.top, rc.bottom - kStatusBarHeight);
  }
}

TEST(GuiMainWindow, MobileFileOpenedThroughTheDialog) {
  std::string dir = TempFolder("mobile");
  std::string path = dir + "\\phone.dat";
  WriteBytes(path, std::string("MAIL-1\r\nテスト\r\n\0after", 21));
  GuiApp g;
  Responder r;
  r.AnswerFile(path);
  g.Command(1047);
  EXPECT_EQ(r.Pending(), 0);
  EXPECT_EQ(g.app().state.mobileFile.size(), 21u);
  EXPECT_EQ(WindowText(GetDlgItem(g.Main(), kRawTextView)), "MAIL-1\r\nテスト\r\n");
  EXPECT_EQ(g.StatusText(2), "携帯: phone.dat");
  EXPECT_EQ(GetFocus(), GetDlgItem(g.Main(), kRawTextView));
  Checkpoint("main-window-with-file");
}

TEST(GuiMainWindow, VersionBoxText) {
  GuiApp g;
  Responder r;
  r.PressBox(IDOK, "version-box");
  g.Command(1059);
  std::vector<SeenBox> boxes = r.Boxes();
  ASSERT_EQ(boxes.size(), 1u);
  EXPECT_EQ(boxes[0].caption, "ﾊﾞｰｼﾞｮﾝ情報");
  EXPECT_EQ(boxes[0].text, "  Tanavo   \r\n     Ver1.00\r\n\r\n  2006/02/01");
}

int RunTanavoAndClose(bool byMenu) {
  std::string exe = ProgramFolder() + "\\Tanavo.exe";
  STARTUPINFOA si{};
  si.cb = sizeof si;
  PROCESS_INFORMATION pi{};
  std::string cmd = "\"" + exe + "\"";
  if (!CreateProcessA(exe.c_str(), &cmd[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi)) return -1;
  WaitForInputIdle(pi.hProcess, 10000);
  HWND main = nullptr;
  for (int i = 0; i < 200 && !main; ++i) {
    HWND w = nullptr;
    while ((w = FindWindowExA(nullptr, w, kMainWindowClass, nullptr)) != nullptr) {
      DWORD pid = 0;
      GetWindowThreadProcessId(w, &pid);
      if (pid == pi.dwProcessId) main = w;
    }
    if (!main) Sleep(50);
  }
  DWORD code = 99;
  if (main) {
    PostMessageA(main, byMenu ? WM_COMMAND : WM_CLOSE, byMenu ? MAKEWPARAM(1051, 0) : 0, 0);
    if (WaitForSingleObject(pi.hProcess, 15000) == WAIT_OBJECT_0) GetExitCodeProcess(pi.hProcess, &code);
  }
  if (code == 99 || code == STILL_ACTIVE) TerminateProcess(pi.hProcess, 98);
  CloseHandle(pi.hThread);
  CloseHandle(pi.hProcess);
  return static_cast<int>(code);
}

TEST(GuiMainWindow, ExitByMenuAndByCloseBoxEndWithCodeZero) {
  EXPECT_EQ(RunTanavoAndClose(true), 0);
  EXPECT_EQ(RunTanavoAndClose(false), 0);
}

}  // namespace
}  // namespace gui
}  // namespace tanavo
