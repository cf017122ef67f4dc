// The fake back end: windows held in memory, message boxes and dialogs
// scripted and recorded, files in an in-memory file system. For native tests.
#pragma once

#include <deque>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "codec/charset_names.h"
#include "platform/fake/fake_file_system.h"
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

// The file system is the platform's own, so that a test sets its files on
// the platform it gives.
class FakePlatform : public Platform, public FakeFileSystem {
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
  // No system converter in the tests: the conversions every back end shares.
  const CharsetConverter& Charsets() const override { return BuiltInCharsetConverter(); }
  void SetStatusTip(int part, const std::string& tip) override;
  void SetMenuChecked(int command, bool checked) override {
    if (checked) checkedMenus.insert(command);
    if (!checked) checkedMenus.erase(command);
  }
  void OpenWithShell(const std::string& path) override;
  FileSystem& Files() override { return *this; }
  void Note(const std::string& line) override { notes.push_back(line); }
  int ScreenWidth() override { return screenWidth; }
  int ScreenHeight() override { return screenHeight; }
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
  std::string status[kStatusParts];
  std::string statusTip[kStatusParts];
  std::vector<std::pair<int, std::string>> statusLog;  // every text set, in order
  int statusEdges[kStatusParts] = {0, 0, 0, 0, 0, 0};
  int statusPartsSet = 0;
  std::set<int> checkedMenus;  // menu commands with their check mark

  std::vector<std::string> notes;

  int screenWidth = 1280;
  int screenHeight = 1024;

 private:
  std::vector<std::unique_ptr<MemoryWindow>> windows_;
  MemoryWindow* main_ = nullptr;
};

}  // namespace tanavo
