// A window whose controls are held in memory: the fake back end of the tests
// and the console back end of tanavo-cli both use it.
#pragma once

#include <map>
#include <memory>
#include <string>
#include <vector>

#include "platform/platform.h"

namespace tanavo {

struct MemoryControl {
  ControlSpec decl;
  std::string text;
  bool shown = true;
  bool enabled = true;
  bool checked = false;
  std::size_t limit = 30000;  // the platform's default edit limit
  Rect rect;
  std::vector<std::string> rows;
  // An owner-data list: rows come from the source, none are held.
  ListRowSource rowSource;
  int sourceRows = 0;
  int selection = -1;
  std::size_t caret = 0;

  int RowCount() const { return rowSource ? sourceRows : static_cast<int>(rows.size()); }
};

class MemoryWindow : public Window {
 public:
  MemoryWindow(const WindowSpec& decl, const std::vector<ControlSpec>& controls, WindowEvents* events);

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
  void SendClose() override { RequestClose(); }

  // What a user does, for tests: each delivers the notification the real
  // control would send.
  void Click(int id);                          // buttons; check boxes toggle
  void MenuCommand(int id);                    // a menu command of this window
  void Type(int id, const std::string& text);  // replaces an edit's text, within its limit
  void PressEnter(int id);                     // in an edit; only one made with kEnterNotify tells
  void UserSelect(int id, int row);            // list box selection by the user
  void Resize(int clientW, int clientH);       // sends OnSize
  bool RequestClose();                         // true when the window was destroyed

  const WindowSpec& Declaration() const { return spec_; }
  bool Destroyed() const { return destroyed_; }
  bool HasControl(int id) const { return controls_.count(id) != 0; }
  const MemoryControl& Control(int id) const;
  std::vector<int> ControlIds() const;  // creation order
  int FocusedControl() const { return focused_; }
  bool WindowHasFocus() const { return windowFocused_; }
  int BringToTopCount() const { return bringToTop_; }

  // Set by the owning platform so that focus moves between windows.
  void SetFocusSink(std::vector<std::unique_ptr<MemoryWindow>>* all) { all_ = all; }

 private:
  MemoryControl& Ctl(int id);
  const MemoryControl* Find(int id) const;
  void TakeFocus();

  WindowSpec spec_;
  WindowEvents* events_;
  std::map<int, MemoryControl> controls_;
  std::vector<int> order_;
  MemoryControl missing_;
  bool visible_;
  bool destroyed_ = false;
  Rect placement_;
  int clientW_, clientH_;
  int focused_ = 0;
  bool windowFocused_ = false;
  int bringToTop_ = 0;
  std::vector<std::unique_ptr<MemoryWindow>>* all_ = nullptr;
};

// Frame sizes used to turn an outer size into a client size in memory, close
// to what the real platform gives.
int MemoryFrameWidth(FrameKind frame);
int MemoryFrameHeight(FrameKind frame, bool menu);

}  // namespace tanavo
