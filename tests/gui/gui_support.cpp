#include "gui_support.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>

#include "app/display_window.h"
#include "app/menus.h"

namespace tanavo {
namespace gui {

namespace {

struct FindDialog {
  DWORD pid;
  HWND found;
};

BOOL CALLBACK FindDialogProc(HWND hwnd, LPARAM lp) {
  auto* f = reinterpret_cast<FindDialog*>(lp);
  DWORD pid = 0;
  GetWindowThreadProcessId(hwnd, &pid);
  if (pid == f->pid && IsWindowVisible(hwnd) && ClassOf(hwnd) == "#32770") {
    f->found = hwnd;
    return FALSE;
  }
  return TRUE;
}

// The Edit that takes the file name: inside ComboBoxEx32 / ComboBox in the
// Explorer-style dialog (id 1148), or Edit 1152 in the old style.
HWND FileNameEdit(HWND dlg) {
  HWND c = GetDlgItem(dlg, 1148);
  if (c) {
    if (ClassOf(c) == "Edit") return c;
    HWND e = FindWindowExA(c, nullptr, "Edit", nullptr);
    if (e) return e;
    HWND combo = FindWindowExA(c, nullptr, "ComboBox", nullptr);
    if (combo) {
      e = FindWindowExA(combo, nullptr, "Edit", nullptr);
      if (e) return e;
    }
  }
  return GetDlgItem(dlg, 1152);
}

HWND OkButton(HWND dlg) {
  HWND b = nullptr;
  while ((b = FindWindowExA(dlg, b, "Button", nullptr)) != nullptr) {
    if (GetDlgCtrlID(b) == IDOK) return b;
  }
  return GetDlgItem(dlg, IDOK);
}

BOOL CALLBACK UniteVisibleWindow(HWND hwnd, LPARAM lp) {
  RECT r;
  if (IsWindowVisible(hwnd) && GetWindowRect(hwnd, &r) && r.right > r.left && r.bottom > r.top) {
    auto* all = reinterpret_cast<RECT*>(lp);
    if (IsRectEmpty(all)) {
      *all = r;
    } else {
      UnionRect(all, all, &r);
    }
  }
  return TRUE;
}

// The part of the screen that one window or else all visible windows cover,
// as WxH+X+Y for the script that takes the picture; empty for the whole screen.
std::string ShotGeometry(HWND only) {
  RECT all{};
  if (only) {
    GetWindowRect(only, &all);
  } else {
    EnumWindows(UniteVisibleWindow, reinterpret_cast<LPARAM>(&all));
  }
  RECT screen{0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
  if (!IntersectRect(&all, &all, &screen)) return std::string();
  return std::to_string(all.right - all.left) + "x" + std::to_string(all.bottom - all.top) + "+" +
         std::to_string(all.left) + "+" + std::to_string(all.top);
}

void WaitForShot(const std::string& name, bool pump, HWND only = nullptr) {
  const char* dir = std::getenv("TANAVO_SHOT_DIR");
  if (!dir || name.empty()) return;
  std::string marker = std::string(dir) + "\\" + name + ".ready";
  if (pump) Pump();  // let the windows paint before the picture
  WriteBytes(marker, ShotGeometry(only));
  auto until = std::chrono::steady_clock::now() + std::chrono::seconds(20);
  while (GetFileAttributesA(marker.c_str()) != INVALID_FILE_ATTRIBUTES && std::chrono::steady_clock::now() < until) {
    if (pump) Pump();
    Sleep(50);
  }
}

}  // namespace

std::string WindowText(HWND hwnd) {
  int n = GetWindowTextLengthA(hwnd);
  std::string t(static_cast<std::size_t>(n > 0 ? n : 0) + 1, '\0');
  int got = GetWindowTextA(hwnd, &t[0], n + 1);
  t.resize(got > 0 ? static_cast<std::size_t>(got) : 0);
  return t;
}

std::string ClassOf(HWND hwnd) {
  char buf[256] = {};
  GetClassNameA(hwnd, buf, sizeof buf);
  return buf;
}

void Pump() {
  MSG msg;
  while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
    TranslateMessage(&msg);
    DispatchMessageA(&msg);
  }
}

void Checkpoint(const std::string& name, HWND only) { WaitForShot(name, true, only); }

std::string TempFolder(const std::string& name) {
  char buf[MAX_PATH] = {};
  GetTempPathA(sizeof buf, buf);
  std::string dir = std::string(buf) + "tanavo-gui-" + name + "-" + std::to_string(GetCurrentProcessId());
  CreateDirectoryA(dir.c_str(), nullptr);
  // Process ids come round again under Wine: empty what an earlier run left.
  WIN32_FIND_DATAA found;
  HANDLE h = FindFirstFileA((dir + "\\*").c_str(), &found);
  if (h != INVALID_HANDLE_VALUE) {
    do {
      if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) DeleteFileA((dir + "\\" + found.cFileName).c_str());
    } while (FindNextFileA(h, &found));
    FindClose(h);
  }
  return dir;
}

void WriteBytes(const std::string& path, const std::string& bytes) {
  HANDLE h = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (h == INVALID_HANDLE_VALUE) return;
  DWORD put = 0;
  if (!bytes.empty()) WriteFile(h, bytes.data(), static_cast<DWORD>(bytes.size()), &put, nullptr);
  CloseHandle(h);
}

std::string ReadBytes(const std::string& path) {
  HANDLE h = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                         FILE_ATTRIBUTE_NORMAL, nullptr);
  if (h == INVALID_HANDLE_VALUE) return std::string();
  DWORD size = GetFileSize(h, nullptr);
  std::string data(size, '\0');
  DWORD got = 0;
  if (size) ReadFile(h, &data[0], size, &got, nullptr);
  CloseHandle(h);
  data.resize(got);
  return data;
}

std::string ProgramFolder() {
  char buf[MAX_PATH] = {};
  GetModuleFileNameA(nullptr, buf, sizeof buf);
  std::string p = buf;
  return p.substr(0, p.rfind('\\'));
}

// ---------------------------------------------------------------- Responder

Responder::Responder() : thread_([this] { Loop(); }) {}

Responder::~Responder() {
  stop_ = true;
  thread_.join();
}

void Responder::AnswerFile(const std::string& path, const std::string& shot) {
  std::lock_guard<std::mutex> lock(mutex_);
  answers_.push_back(Answer{Answer::FilePath, path, IDOK, shot});
}

void Responder::CancelFile() {
  std::lock_guard<std::mutex> lock(mutex_);
  answers_.push_back(Answer{Answer::CancelFile, "", IDCANCEL, ""});
}

void Responder::PressBox(int button, const std::string& shot) {
  std::lock_guard<std::mutex> lock(mutex_);
  answers_.push_back(Answer{Answer::PressBox, "", button, shot});
}

std::vector<SeenBox> Responder::Boxes() {
  std::lock_guard<std::mutex> lock(mutex_);
  return boxes_;
}

std::vector<SeenBox> Responder::FileDialogs() {
  std::lock_guard<std::mutex> lock(mutex_);
  return fileDialogs_;
}

int Responder::Pending() {
  std::lock_guard<std::mutex> lock(mutex_);
  return static_cast<int>(answers_.size());
}

bool Responder::HandleDialog(HWND dlg) {
  bool fileDialog = FileNameEdit(dlg) != nullptr;
  Answer a{Answer::PressBox, "", IDOK, ""};
  {
    std::lock_guard<std::mutex> lock(mutex_);
    if (answers_.empty()) {
      // Not scripted: record it and close it, so that a test fails instead
      // of hanging.
      boxes_.push_back(SeenBox{"(unexpected) " + WindowText(dlg), ""});
      PostMessageA(dlg, WM_COMMAND, IDCANCEL, 0);
      return true;
    }
    a = answers_.front();
    answers_.pop_front();
    if (fileDialog) {
      fileDialogs_.push_back(SeenBox{WindowText(dlg), WindowText(FileNameEdit(dlg))});
    } else {
      char text[4096] = {};
      GetDlgItemTextA(dlg, 0xFFFF, text, sizeof text);
      boxes_.push_back(SeenBox{WindowText(dlg), text});
    }
  }
  WaitForShot(a.shot, false);
  if (fileDialog && a.kind == Answer::FilePath) {
    SendMessageA(FileNameEdit(dlg), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(a.path.c_str()));
    PostMessageA(OkButton(dlg), BM_CLICK, 0, 0);
  } else if (fileDialog) {
    PostMessageA(dlg, WM_COMMAND, IDCANCEL, 0);
  } else {
    PostMessageA(dlg, WM_COMMAND, static_cast<WPARAM>(a.button), 0);
  }
  return true;
}

void Responder::Loop() {
  HWND last = nullptr;
  auto lastAt = std::chrono::steady_clock::now();
  while (!stop_) {
    FindDialog f{GetCurrentProcessId(), nullptr};
    EnumWindows(FindDialogProc, reinterpret_cast<LPARAM>(&f));
    // A dialog that was answered may stay visible for a while on a loaded
    // machine; answer it again only if it is still there much later.
    bool fresh = f.found && (f.found != last ||
                             std::chrono::steady_clock::now() - lastAt > std::chrono::milliseconds(5000));
    if (fresh) {
      Sleep(100);  // let the dialog finish building its controls
      if (HandleDialog(f.found)) {
        last = f.found;
        lastAt = std::chrono::steady_clock::now();
      }
    }
    Sleep(30);
  }
}

// ---------------------------------------------------------------- GuiApp

GuiApp::GuiApp() {
  platform_ = std::make_unique<Win32Platform>(GetModuleHandleA(nullptr));
  app_ = std::make_unique<App>(*platform_);
  app_->Start();
  Pump();
}

GuiApp::~GuiApp() {
  platform_->Shutdown();
  Pump();
  app_.reset();
  platform_.reset();
}

HWND GuiApp::Main() const { return platform_->MainHandle(); }

HWND GuiApp::WindowOfClass(const char* className) const {
  Win32Window* w = platform_->WindowOfClass(className);
  return w ? w->Handle() : nullptr;
}

HWND GuiApp::ControlOf(const char* className, int id) const { return GetDlgItem(WindowOfClass(className), id); }

void GuiApp::Command(int id) {
  SendMessageA(Main(), WM_COMMAND, MAKEWPARAM(id, 0), 0);
  Pump();
}

void GuiApp::Click(const char* className, int id) {
  HWND w = WindowOfClass(className);
  SendMessageA(w, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(w, id)));
  Pump();
}

void GuiApp::LoadThreeFiles(Responder& r, const std::string& mobile, const std::string& kta, const std::string& kdp) {
  r.AnswerFile(mobile);
  Command(1047);
  r.AnswerFile(kta);
  Command(1048);
  r.AnswerFile(kdp);
  Command(1049);
}

void GuiApp::ShowIndexInDataDisplay(Responder& r, const std::string& ini) {
  r.AnswerFile(ini);
  Command(kCmdLoadIndexFile);
  Command(kCmdDataDisplay);
}

void GuiApp::SelectRow(int id, int row) {
  HWND w = WindowOfClass(kDisplayWindowClass);
  HWND list = GetDlgItem(w, id);
  SendMessageA(list, LB_SETCURSEL, static_cast<WPARAM>(row), 0);
  SendMessageA(w, WM_COMMAND, MAKEWPARAM(id, LBN_SELCHANGE), reinterpret_cast<LPARAM>(list));
  Pump();
}

void CreateIndexFile(const std::string& mobile, const std::string& kta, const std::string& kdp, const std::string& ini) {
  GuiApp g;
  Responder r;
  g.LoadThreeFiles(r, mobile, kta, kdp);
  r.PressBox(IDOK);
  r.AnswerFile(ini);
  g.Command(kCmdCreateIndex);
  EXPECT_EQ(r.Pending(), 0);
}

std::string GuiApp::StatusText(int part) const {
  HWND sb = platform_->StatusBar();
  LRESULT len = SendMessageA(sb, SB_GETTEXTLENGTHA, static_cast<WPARAM>(part), 0);
  std::string t(static_cast<std::size_t>(LOWORD(len)) * 2 + 2, '\0');
  SendMessageA(sb, SB_GETTEXTA, static_cast<WPARAM>(part), reinterpret_cast<LPARAM>(&t[0]));
  t.resize(t.find('\0'));
  return t;
}

std::vector<int> GuiApp::StatusEdges() const {
  int edges[kStatusParts] = {};
  LRESULT n = SendMessageA(platform_->StatusBar(), SB_GETPARTS, kStatusParts, reinterpret_cast<LPARAM>(edges));
  return std::vector<int>(edges, edges + (n > 0 ? n : 0));
}

}  // namespace gui
}  // namespace tanavo
