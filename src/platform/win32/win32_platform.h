// The win32 back end: real windows, controls, menus, status bar, message
// boxes, common file dialogs and the shell, all through the ANSI API.
#pragma once

#include <windows.h>
#undef MessageBox  // the facade's MessageBox is ours; the ANSI call is MessageBoxA

#include <map>
#include <memory>
#include <string>
#include <vector>

#include "platform/fonts.h"
#include "platform/platform.h"
#include "platform/win32/win32_file_system.h"

namespace tanavo {

class Win32Platform;

class Win32Window : public Window {
 public:
  Win32Window(Win32Platform& platform, const WindowSpec& decl, const std::vector<ControlSpec>& controls,
              WindowEvents* events);

  std::string Text(int id) const override;
  void SetText(int id, const std::string& text) override;
  void ShowBytes(int id, std::string_view bytes) override;
  void Show(int id, bool shown) override;
  bool IsShown(int id) const override;
  void Enable(int id, bool enabled) override;
  bool IsEnabled(int id) const override;
  void Move(int id, int x, int y, int w, int h) override;
  Rect ControlRect(int id) const override;
  void SetTextLimit(int id, std::size_t bytes) override;
  std::size_t TextLimit(int id) const override;
  void Focus(int id) override;
  bool HasFocus(int id) const override;
  void SetCaretToEnd(int id) override;
  bool IsChecked(int id) const override;
  void SetChecked(int id, bool checked) override;

  void ListClear(int id) override;
  void ListAdd(int id, const std::string& row) override;
  void ListSetRows(int id, const std::vector<std::string>& rows) override;
  void ListSetRowSource(int id, int count, ListRowSource rows) override;
  void ListInsert(int id, int row, const std::string& text) override;
  void ListDelete(int id, int row) override;
  int ListCount(int id) const override;
  std::string ListRow(int id, int row) const override;
  int ListSelection(int id) const override;
  void ListSelect(int id, int row) override;

  void ShowWindow(bool shown) override;
  bool IsVisible() const override;
  void ClientSize(int* w, int* h) const override;
  Rect Placement() const override;
  void SetPlacement(const Rect& r) override;
  void BringToTop() override;
  void FocusWindow() override;
  void SendClose() override;

  HWND Handle() const { return hwnd_; }
  HWND Control(int id) const { return GetDlgItem(hwnd_, id); }

  LRESULT Handle(UINT msg, WPARAM wp, LPARAM lp);
  void Attach(HWND hwnd) { hwnd_ = hwnd; }
  const WindowSpec& Declaration() const { return spec_; }
  WindowEvents* Events() const { return events_; }

 private:
  void CreateControls();
  bool IsOwnerData(HWND control) const;
  int RowHeight() const;
  bool DrawSourceRow(const DRAWITEMSTRUCT& d) const;

  Win32Platform& platform_;
  WindowSpec spec_;
  std::vector<ControlSpec> controls_;
  WindowEvents* events_;
  HWND hwnd_ = nullptr;
  std::map<int, ListRowSource> rowSources_;  // of the owner-data lists, by control id
};

class Win32Platform : public Platform {
 public:
  explicit Win32Platform(HINSTANCE instance);
  ~Win32Platform() override;

  Window* CreateAppWindow(const WindowSpec& decl, const std::vector<ControlSpec>& controls,
                          WindowEvents* events) override;
  Window* MainWindow() override { return main_; }
  BoxAnswer MessageBox(BoxOwner owner, const std::string& text, const std::string& caption, BoxIcon icon,
                       BoxButtons buttons) override;
  bool OpenFileDialog(const FileDialogSpec& decl, std::string* path) override;
  bool SaveFileDialog(const FileDialogSpec& decl, std::string* path) override;
  void SetStatusParts(const int (&rightEdges)[kStatusParts]) override;
  void SetStatusText(int part, const std::string& text) override;
  void SetStatusTip(int part, const std::string& tip) override;
  void SetMenuChecked(int command, bool checked) override;
  void OpenWithShell(const std::string& path) override;
  FileSystem& Files() override { return files_; }
  int ScreenWidth() override;
  int ScreenHeight() override;
  const CharsetConverter& Charsets() const override { return SystemCharsetConverter(); }
  int Run() override;

  HFONT Font(int index) const;
  HMENU MenuBarHandle() const { return menuBar_; }
  HWND StatusBar() const { return statusBar_; }
  HWND MainHandle() const { return main_ ? main_->Handle() : nullptr; }
  Win32Window* WindowOfClass(const std::string& className) const;

  // Called by the main window's message handling.
  void CreateStatusBar(HWND parent);
  void ReleaseResources();
  // Destroys every window and unregisters the classes, so that another
  // platform can start in the same process (the tests under Wine do).
  void Shutdown();

 private:
  void BuildMenus();
  bool FileDialog(bool save, const FileDialogSpec& decl, std::string* path);

  HINSTANCE instance_;
  HFONT fonts_[kFontCount] = {};
  HBRUSH brush_ = nullptr;
  HMENU menuBar_ = nullptr;
  HWND statusBar_ = nullptr;
  bool statusTipShown_[kStatusParts] = {};
  Win32Window* main_ = nullptr;
  std::vector<std::unique_ptr<Win32Window>> windows_;
  Win32FileSystem files_;
};

}  // namespace tanavo
