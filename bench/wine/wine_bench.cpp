// Drives the real Tanavo.exe from outside, as a user would, and times each
// step by the wall clock until the window answers again. Run under Wine by
// bench/wine_bench.py, which also times tanavo-cli doing the same work.
//
//   tanavo_wine_bench make MAILS DIR [short]
//       writes DIR\dump.dat (bench/mail_dump.h: mails of 20 KiB, or short
//       ones of about 300 bytes), DIR\mail.kta and DIR\mail.kdp
//   tanavo_wine_bench run TANAVO_EXE DIR RECORD [nocopy]
//       opens dump.dat, selects all and copies in the raw text view (unless
//       nocopy), loads the settings, creates and saves the index (from OK in
//       the confirmation to the index saved, the save dialog's own time left
//       out), loads the index file, opens the data display (until record 1 is
//       shown), chooses RECORD; prints one "step seconds" line per step and
//       the peak memory.
#include <windows.h>
#include <commctrl.h>
#include <psapi.h>

#include <chrono>
#include <cstdio>
#include <fstream>
#include <string>

#include "../mail_dump.h"
#include "app/main_window.h"
#include "app/display_window.h"
#include "dispset/kdp_file.h"
#include "files/display_file.h"
#include "extract/kta_file.h"
#include "files/extraction_file.h"

namespace tanavo {
namespace {

using Clock = std::chrono::steady_clock;
constexpr DWORD kAnswerMs = 600000;  // the old program froze for half a minute and more

double Since(Clock::time_point t0) { return std::chrono::duration<double>(Clock::now() - t0).count(); }

bool WriteFileBytes(const std::string& path, const std::string& bytes) {
  std::ofstream f(path, std::ios::binary);
  f.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  return static_cast<bool>(f);
}

int Make(int mails, const std::string& dir, bool shortMails) {
  // The settings of the native benchmarks (MailSettings), as files.
  std::string kta;
  for (const TagDefinition& e : MailEntries()) kta += EncodeEntry(e);
  const std::string kdp = BuildDisplaySettingsFile(kMailListLine, "??Body??");
  const bool ok = WriteFileBytes(dir + "\\dump.dat", shortMails ? SmsDump(mails) : MailDump(mails)) && WriteFileBytes(dir + "\\mail.kta", kta) &&
                  WriteFileBytes(dir + "\\mail.kdp", kdp);
  return ok ? 0 : 1;
}

struct Find {
  DWORD pid;
  const char* cls;
  HWND found;
};

BOOL CALLBACK FindProc(HWND hwnd, LPARAM lp) {
  auto* f = reinterpret_cast<Find*>(lp);
  DWORD pid = 0;
  GetWindowThreadProcessId(hwnd, &pid);
  char cls[64] = {};
  GetClassNameA(hwnd, cls, sizeof cls);
  if (pid == f->pid && IsWindowVisible(hwnd) && std::string(cls) == f->cls) {
    f->found = hwnd;
    return FALSE;
  }
  return TRUE;
}

HWND TopWindow(DWORD pid, const char* cls) {
  Find f{pid, cls, nullptr};
  EnumWindows(FindProc, reinterpret_cast<LPARAM>(&f));
  return f.found;
}

HWND WaitWindow(DWORD pid, const char* cls) {
  for (auto t0 = Clock::now(); Since(t0) < kAnswerMs / 1000.0; Sleep(2)) {
    if (HWND w = TopWindow(pid, cls)) return w;
  }
  return nullptr;
}

HWND FileNameEdit(HWND dlg) {
  HWND c = GetDlgItem(dlg, 1148);
  if (c) {
    if (HWND e = FindWindowExA(c, nullptr, "Edit", nullptr)) return e;
    if (HWND combo = FindWindowExA(c, nullptr, "ComboBox", nullptr)) {
      if (HWND e = FindWindowExA(combo, nullptr, "Edit", nullptr)) return e;
    }
    char cls[64] = {};
    GetClassNameA(c, cls, sizeof cls);
    if (std::string(cls) == "Edit") return c;
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

// Types a path into the file dialog that is open and presses OK; the clock
// starts there.
Clock::time_point AnswerFile(DWORD pid, const std::string& path) {
  HWND dlg = WaitWindow(pid, "#32770");
  HWND edit = nullptr;
  for (int i = 0; i < 500 && !(edit = FileNameEdit(dlg)); ++i) Sleep(10);
  Sleep(100);  // let the dialog finish building its controls
  SendMessageA(edit, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(path.c_str()));
  auto t0 = Clock::now();
  PostMessageA(OkButton(dlg), BM_CLICK, 0, 0);
  return t0;
}

LRESULT Ask(HWND hwnd, UINT msg, WPARAM wp = 0, LPARAM lp = 0) {
  DWORD_PTR r = 0;
  SendMessageTimeoutA(hwnd, msg, wp, lp, SMTO_NORMAL, kAnswerMs, &r);
  return static_cast<LRESULT>(r);
}

// Asked for its text, the status bar answers only once the main window's
// thread is free: when the command under way has ended.
void AskStatusBar(HWND main) {
  HWND bar = FindWindowExA(main, nullptr, STATUSCLASSNAMEA, nullptr);
  char text[512] = {};
  Ask(bar ? bar : main, WM_GETTEXT, sizeof text, reinterpret_cast<LPARAM>(text));
}

// Types a path into the dialog that is open, presses OK, and waits for the
// command to end: the seconds from OK until the status bar answers. The
// dialog must be gone first, or its own loop would answer.
double AnswerFileAndWait(DWORD pid, HWND main, const std::string& path) {
  const auto t0 = AnswerFile(pid, path);
  while (TopWindow(pid, "#32770")) Sleep(1);
  AskStatusBar(main);
  return Since(t0);
}

// Until no dialog is open and the window answers.
void WaitIdle(DWORD pid, HWND main) {
  while (TopWindow(pid, "#32770")) Sleep(5);
  Ask(main, WM_NULL);
}

HWND WindowOf(DWORD pid, const char* cls) {
  struct All {
    DWORD pid;
    const char* cls;
    HWND found;
  } a{pid, cls, nullptr};
  EnumWindows(
      [](HWND hwnd, LPARAM lp) -> BOOL {
        auto* a = reinterpret_cast<All*>(lp);
        DWORD pid = 0;
        GetWindowThreadProcessId(hwnd, &pid);
        char cls[64] = {};
        GetClassNameA(hwnd, cls, sizeof cls);
        if (pid == a->pid && std::string(cls) == a->cls) {
          a->found = hwnd;
          return FALSE;
        }
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&a));
  return a.found;
}

int Run(const std::string& exe, const std::string& dir, int record, bool copy) {
  const std::string dat = dir + "\\dump.dat";
  WIN32_FILE_ATTRIBUTE_DATA fa{};
  GetFileAttributesExA(dat.c_str(), GetFileExInfoStandard, &fa);
  const auto fileBytes = static_cast<LRESULT>(fa.nFileSizeLow);
  DeleteFileA((dir + "\\dump.ini").c_str());

  const std::string folder = exe.substr(0, exe.find_last_of('\\'));
  // Every record indexed, as tanavo-cli index --max-records all does: the
  // capacity the program keeps beside it, for this run only.
  const std::string setting = folder + "\\Tanavo.cfg";
  const bool hadSetting = GetFileAttributesA(setting.c_str()) != INVALID_FILE_ATTRIBUTES;
  if (!hadSetting && !WriteFileBytes(setting, "MaxRecords=all\r\n")) return 1;
  struct Remove {
    const std::string& path;
    bool keep;
    ~Remove() {
      if (!keep) DeleteFileA(path.c_str());
    }
  } removeSetting{setting, hadSetting};
  STARTUPINFOA si{};
  si.cb = sizeof si;
  PROCESS_INFORMATION pi{};
  std::string cmd = "\"" + exe + "\"";
  if (!CreateProcessA(exe.c_str(), &cmd[0], nullptr, nullptr, FALSE, 0, nullptr, folder.c_str(), &si, &pi)) {
    std::fprintf(stderr, "cannot start %s\n", exe.c_str());
    return 1;
  }
  WaitForInputIdle(pi.hProcess, kAnswerMs);
  const DWORD pid = pi.dwProcessId;
  HWND main = WaitWindow(pid, kMainWindowClass);
  HWND view = GetDlgItem(main, kRawTextView);
  Ask(main, WM_NULL);

  // Open: from OK in the dialog until the raw text view holds the file and
  // the window answers.
  PostMessageA(main, WM_COMMAND, 1047, 0);
  auto t0 = AnswerFile(pid, dat);
  while (TopWindow(pid, "#32770")) Sleep(1);
  std::printf("open_dialog_gone %.3f\n", Since(t0));
  // Not WM_GETTEXTLENGTH: across processes Wine answers it by fetching and
  // converting the whole text, which would time and measure Wine, not us.
  while (Ask(view, EM_GETLINECOUNT) < 2) Sleep(1);
  std::printf("open %.3f\n", Since(t0));
  PROCESS_MEMORY_COUNTERS pmc{};
  pmc.cb = sizeof pmc;
  // Before the copy: the clipboard holds a second copy of the file by design.
  if (GetProcessMemoryInfo(pi.hProcess, &pmc, sizeof pmc)) {
    std::printf("peak_open %zu\n", static_cast<std::size_t>(pmc.PeakWorkingSetSize));
  }

  if (copy) {
    t0 = Clock::now();
    Ask(view, EM_SETSEL, 0, -1);
    Ask(view, WM_COPY);
    std::printf("copy %.3f\n", Since(t0));
    std::size_t copied = 0;
    if (OpenClipboard(nullptr)) {
      if (HANDLE h = GetClipboardData(CF_TEXT)) {
        if (const char* p = static_cast<const char*>(GlobalLock(h))) {
          copied = strnlen(p, GlobalSize(h));
          GlobalUnlock(h);
        }
      }
      CloseClipboard();
    }
    if (copied != static_cast<std::size_t>(fileBytes)) std::fprintf(stderr, "copied %zu bytes\n", copied);
  }

  PostMessageA(main, WM_COMMAND, 1048, 0);
  AnswerFile(pid, dir + "\\mail.kta");
  WaitIdle(pid, main);
  PostMessageA(main, WM_COMMAND, 1049, 0);
  AnswerFile(pid, dir + "\\mail.kdp");
  WaitIdle(pid, main);

  // Index: from OK in the confirmation until the save dialog shows, then from
  // OK in the save dialog until the index is saved.
  PostMessageA(main, WM_COMMAND, 1052, 0);
  HWND box = WaitWindow(pid, "#32770");
  Sleep(100);
  t0 = Clock::now();
  PostMessageA(box, WM_COMMAND, IDOK, 0);
  for (;;) {
    HWND d = TopWindow(pid, "#32770");
    if (d && d != box && FileNameEdit(d)) break;
    Sleep(1);
  }
  const double create = Since(t0);
  const double save = AnswerFileAndWait(pid, main, dir + "\\dump.ini");
  std::printf("index_create %.3f\nindex_save %.3f\nindex %.3f\n", create, save, create + save);
  WaitIdle(pid, main);

  // Index file loading: from OK in the open dialog until the index and the
  // three files it names are loaded.
  PostMessageA(main, WM_COMMAND, 1050, 0);
  std::printf("load %.3f\n", AnswerFileAndWait(pid, main, dir + "\\dump.ini"));
  WaitIdle(pid, main);

  // Data display: the command returns once record 1 is rendered.
  t0 = Clock::now();
  Ask(main, WM_COMMAND, 1053, 0);
  HWND display = WindowOf(pid, kDisplayWindowClass);
  Ask(display, WM_NULL);
  std::printf("display %.3f\n", Since(t0));
  HWND list = GetDlgItem(display, kDispRecordList);
  const auto rows = Ask(list, LB_GETCOUNT);

  // Choosing a record as the list box tells it.
  Ask(list, LB_SETCURSEL, static_cast<WPARAM>(record - 1), 0);
  t0 = Clock::now();
  Ask(display, WM_COMMAND, MAKEWPARAM(kDispRecordList, LBN_SELCHANGE), reinterpret_cast<LPARAM>(list));
  Ask(display, WM_NULL);
  std::printf("choose %.3f\n", Since(t0));

  if (GetProcessMemoryInfo(pi.hProcess, &pmc, sizeof pmc)) {
    std::printf("peak_working_set %zu\n", static_cast<std::size_t>(pmc.PeakWorkingSetSize));
  }
  std::printf("file_bytes %ld\nrows %ld\n", static_cast<long>(fileBytes), static_cast<long>(rows));
  std::printf("windows_pid %lu\n", pid);
  std::fflush(stdout);

  PostMessageA(main, WM_CLOSE, 0, 0);
  if (WaitForSingleObject(pi.hProcess, 20000) != WAIT_OBJECT_0) TerminateProcess(pi.hProcess, 1);
  CloseHandle(pi.hThread);
  CloseHandle(pi.hProcess);
  return rows > 0 ? 0 : 1;
}

}  // namespace
}  // namespace tanavo

int main(int argc, char** argv) {
  const bool flag = argc == 6 || (argc == 5 && std::string(argv[1]) == "make");
  if ((argc == 4 || argc == 5) && std::string(argv[1]) == "make") {
    if (flag && std::string(argv[4]) != "short") return 2;
    return tanavo::Make(std::atoi(argv[2]), argv[3], flag);
  }
  if ((argc == 5 || argc == 6) && std::string(argv[1]) == "run") {
    if (flag && std::string(argv[5]) != "nocopy") return 2;
    return tanavo::Run(argv[2], argv[3], std::atoi(argv[4]), !flag);
  }
  std::fprintf(stderr, "usage: tanavo_wine_bench make MAILS DIR [short] | run TANAVO_EXE DIR RECORD [nocopy]\n");
  return 2;
}
