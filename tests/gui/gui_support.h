// Harness for the tests that run the real Win32 program under Wine.
//
// GuiApp starts the real App on the real Win32 back end inside the test
// process. A command is delivered as the platform would (SendMessage of
// WM_COMMAND to the real window); modal file dialogs and message boxes that it
// opens are answered from a script by the Responder, a second thread that
// finds each dialog of this process, reads it and presses its buttons.
//
// Screenshots: with TANAVO_SHOT_DIR set, Checkpoint("name") writes
// name.ready there, holding the part of the screen to take (WxH+X+Y: the
// visible windows, or one window), and waits (pumping messages) until an outside script has taken
// the picture and removed the file.
#pragma once

#include <windows.h>
#undef MessageBox

#include <commctrl.h>

#include <atomic>
#include <deque>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "app/app.h"
#include "platform/win32/win32_platform.h"

namespace tanavo {
namespace gui {

struct SeenBox {
  std::string caption;
  std::string text;
};

struct Answer {
  enum Kind { FilePath, CancelFile, PressBox } kind;
  std::string path;  // FilePath
  int button = IDOK;  // PressBox
  std::string shot;   // checkpoint name before answering; empty: none
};

class Responder {
 public:
  Responder();
  ~Responder();

  void AnswerFile(const std::string& path, const std::string& shot = "");
  void CancelFile();
  void PressBox(int button = IDOK, const std::string& shot = "");

  std::vector<SeenBox> Boxes();
  // File dialogs answered: their title and the name they proposed.
  std::vector<SeenBox> FileDialogs();
  // Answers not used yet (a test expects 0 after its commands).
  int Pending();

 private:
  void Loop();
  bool HandleDialog(HWND dlg);

  std::mutex mutex_;
  std::deque<Answer> answers_;
  std::vector<SeenBox> boxes_;
  std::vector<SeenBox> fileDialogs_;
  std::atomic<bool> stop_{false};
  std::thread thread_;
};

class GuiApp {
 public:
  GuiApp();
  ~GuiApp();

  App& app() { return *app_; }
  Win32Platform& platform() { return *platform_; }
  HWND Main() const;
  HWND WindowOfClass(const char* className) const;
  HWND ControlOf(const char* className, int id) const;

  // A menu command or a button click, delivered as the platform does.
  void Command(int id);
  void Click(const char* className, int id);

  // The mobile file, extraction settings and display settings loaded with
  // their menu commands (1047, 1048, 1049), answering the real dialogs.
  void LoadThreeFiles(Responder& r, const std::string& mobile, const std::string& kta, const std::string& kdp);
  // The index file at ini loaded through its menu command, then the data
  // display opened.
  void ShowIndexInDataDisplay(Responder& r, const std::string& ini);
  // A row of a list box of the data display selected, as a click does.
  void SelectRow(int id, int row);

  std::string StatusText(int part) const;
  std::vector<int> StatusEdges() const;

 private:
  std::unique_ptr<Win32Platform> platform_;
  std::unique_ptr<App> app_;
};

// The index of the three files created through the menus, answering the real
// dialogs, by a program of its own, and saved to ini.
void CreateIndexFile(const std::string& mobile, const std::string& kta, const std::string& kdp, const std::string& ini);

void Pump();
std::string WindowText(HWND hwnd);
std::string ClassOf(HWND hwnd);
// With a window given, the picture shows that window alone.
void Checkpoint(const std::string& name, HWND only = nullptr);
// An empty folder under the temporary folder.
std::string TempFolder(const std::string& name);
void WriteBytes(const std::string& path, const std::string& bytes);
std::string ReadBytes(const std::string& path);
// The folder the test program lives in (Tanavo.exe is built beside it).
std::string ProgramFolder();

}  // namespace gui
}  // namespace tanavo
