// The console back end of tanavo-cli: windows in memory, every message box one
// line "caption: text" on standard error (answered OK), file dialogs answered
// with paths given on the command line, files on the real file system.
#pragma once

#include <deque>
#include <memory>
#include <string>
#include <vector>

#include "platform/memory/memory_window.h"
#include "platform/platform.h"

namespace tanavo {

class ConsolePlatform : public Platform {
 public:
  // Box lines are appended to err; the caller writes it out.
  explicit ConsolePlatform(std::string* err) : err_(err) {}

  Window* CreateAppWindow(const WindowSpec& decl, const std::vector<ControlSpec>& controls,
                          WindowEvents* events) override;
  Window* MainWindow() override { return main_; }
  BoxAnswer MessageBox(BoxOwner owner, const std::string& text, const std::string& caption,
                       BoxIcon icon, BoxButtons buttons) override;
  bool OpenFileDialog(const FileDialogSpec& decl, std::string* path) override;
  bool SaveFileDialog(const FileDialogSpec& decl, std::string* path) override;
  void SetStatusParts(const int (&)[kStatusParts]) override {}
  void SetStatusText(int, const std::string&) override {}
  void OpenWithShell(const std::string& path) override;
  ReadStatus ReadWholeFile(const std::string& path, std::string* bytes) override;
  WriteStatus WriteFileReplacing(const std::string& path, const std::string& bytes) override;
  bool FileExists(const std::string& path) override;
  bool IsSpecialFile(const std::string& path) override;
  bool ReachesNetwork(const std::string& path) override;
  void Note(const std::string& line) override;
  bool CreateNewEmptyFile(const std::string& path) override;
  bool CreateFolder(const std::string& path) override;
  void MarkFromInternet(const std::string&) override {}  // nothing opens what tanavo-cli writes
  std::string FileNameKey(const std::string& name) const override;
  std::string LastErrorText() override;
  std::string CurrentDirectory() override;
  int ScreenWidth() override { return 1280; }
  char PathSeparator() const override;
  const CharsetConverter& Charsets() const override { return SystemCharsetConverter(); }
  int Run() override { return 0; }

  MemoryWindow* WindowOf(const std::string& className);

  // Paths that answer the next file dialogs, in order; none left: cancel.
  std::deque<std::string> dialogPaths;
  int boxesShown = 0;

 private:
  std::string* err_;
  std::vector<std::unique_ptr<MemoryWindow>> windows_;
  MemoryWindow* main_ = nullptr;
};

// A box as the one line the console writes for it (line breaks become spaces).
std::string ConsoleBoxLine(const std::string& caption, const std::string& text);

}  // namespace tanavo
