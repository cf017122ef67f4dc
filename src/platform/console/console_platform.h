// The console back end of tanavo-cli: no windows, every message box one line
// "caption: text" on standard error (answered OK), no file dialogs (commands
// load files by path), files on the real file system.
#pragma once

#include <string>
#include <vector>

#include "platform/console/console_file_system.h"
#include "platform/platform.h"

namespace tanavo {

class ConsolePlatform : public Platform {
 public:
  // Box lines are appended to err; the caller writes it out.
  explicit ConsolePlatform(std::string* err) : err_(err) {}

  // tanavo-cli starts no window.
  Window* CreateAppWindow(const WindowSpec&, const std::vector<ControlSpec>&, WindowEvents*) override {
    return nullptr;
  }
  Window* MainWindow() override { return nullptr; }
  BoxAnswer MessageBox(BoxOwner owner, const std::string& text, const std::string& caption,
                       BoxIcon icon, BoxButtons buttons) override;
  // Cancelled: tanavo-cli names its files on the command line.
  bool OpenFileDialog(const FileDialogSpec&, std::string*) override { return false; }
  bool SaveFileDialog(const FileDialogSpec&, std::string*) override { return false; }
  void SetStatusParts(const int (&)[kStatusParts]) override {}
  void SetStatusText(int, const std::string&) override {}
  void OpenWithShell(const std::string& path) override;
  FileSystem& Files() override { return files_; }
  void Note(const std::string& line) override;
  int ScreenWidth() override { return 1280; }
  const CharsetConverter& Charsets() const override { return SystemCharsetConverter(); }
  int Run() override { return 0; }

  int boxesShown = 0;

 private:
  std::string* err_;
  ConsoleFileSystem files_;
};

// A box as the one line the console writes for it (line breaks become spaces).
std::string ConsoleBoxLine(const std::string& caption, const std::string& text);

}  // namespace tanavo
