// The fake back end: windows held in memory, message boxes and dialogs
// scripted and recorded, files in an in-memory file system. For native tests.
#pragma once

#include <deque>
#include <map>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "platform/memory/memory_window.h"
#include "platform/platform.h"

namespace tanavo {

struct RecordedBox {
  BoxOwner owner;
  std::string text;
  std::string caption;
  BoxIcon icon;
  BoxButtons buttons;
};

struct RecordedDialog {
  bool save;
  FileDialogSpec decl;
};

class FakePlatform : public Platform {
 public:
  FakePlatform();

  Window* CreateAppWindow(const WindowSpec& decl, const std::vector<ControlSpec>& controls,
                          WindowEvents* events) override;
  Window* MainWindow() override;
  BoxAnswer MessageBox(BoxOwner owner, const std::string& text, const std::string& caption,
                       BoxIcon icon, BoxButtons buttons) override;
  bool OpenFileDialog(const FileDialogSpec& decl, std::string* path) override;
  bool SaveFileDialog(const FileDialogSpec& decl, std::string* path) override;
  void SetStatusParts(const int (&rightEdges)[kStatusParts]) override;
  void SetStatusText(int part, const std::string& text) override;
  void SetStatusTip(int part, const std::string& tip) override;
  void SetMenuChecked(int command, bool checked) override {
    if (checked) checkedMenus.insert(command);
    if (!checked) checkedMenus.erase(command);
  }
  void OpenWithShell(const std::string& path) override;
  ReadStatus ReadWholeFile(const std::string& path, std::string* bytes) override;
  WriteStatus WriteFileReplacing(const std::string& path, const std::string& bytes) override;
  bool FileExists(const std::string& path) override;
  bool IsSpecialFile(const std::string& path) override { return special.count(path) != 0; }
  bool ReachesNetwork(const std::string& path) override { return remote.count(path) != 0; }
  void Note(const std::string& line) override { notes.push_back(line); }
  bool CreateNewEmptyFile(const std::string& path) override;
  bool CreateFolder(const std::string& path) override;
  void MarkFromInternet(const std::string& path) override { markedFromInternet.push_back(path); }
  // As Windows compares names, for ASCII letters only.
  std::string FileNameKey(const std::string& name) const override;
  std::string LastErrorText() override { return lastErrorText; }
  std::string CurrentDirectory() override { return currentDirectory; }
  int ScreenWidth() override { return screenWidth; }
  int ScreenHeight() override { return screenHeight; }
  char PathSeparator() const override { return separator; }
  int Run() override { return 0; }

  // Windows by class name ("NORMAL0" ...); null when none was created.
  MemoryWindow* WindowOf(const std::string& className);
  const std::vector<std::unique_ptr<MemoryWindow>>& Windows() const { return windows_; }

  // Script: each dialog takes the next answer (nullopt = cancel); with none
  // left, dialogs are cancelled. Boxes take the next answer or Ok/Yes.
  std::deque<std::optional<std::string>> dialogAnswers;
  std::deque<BoxAnswer> boxAnswers;

  std::vector<RecordedBox> boxes;
  std::vector<RecordedDialog> dialogs;
  std::vector<std::string> shellOpened;
  std::vector<std::string> markedFromInternet;
  std::string status[kStatusParts];
  std::string statusTip[kStatusParts];
  std::vector<std::pair<int, std::string>> statusLog;  // every text set, in order
  int statusEdges[kStatusParts] = {0, 0, 0, 0, 0, 0};
  int statusPartsSet = 0;
  std::set<int> checkedMenus;  // menu commands with their check mark

  // The in-memory file system; paths listed in unreadable / unwritable fail.
  std::map<std::string, std::string> files;
  std::set<std::string> unreadable;
  std::set<std::string> unwritable;
  std::set<std::string> tooLarge;
  std::set<std::string> folders;
  std::set<std::string> special;  // exist, but are no regular files (a FIFO, a device)
  std::set<std::string> remote;   // resolve to a share (a mapped drive, a link)
  std::vector<std::string> notes;
  int writes = 0;

  std::string currentDirectory = "C:\\tanavo";
  std::string lastErrorText = "指定されたファイルが見つかりません。\r\n";
  int screenWidth = 1280;
  char separator = '\\';
  int screenHeight = 1024;

 private:
  std::vector<std::unique_ptr<MemoryWindow>> windows_;
  MemoryWindow* main_ = nullptr;
};

}  // namespace tanavo
