// The platform facade: what the portable core needs from the windowing
// system and the shell (windows, boxes, dialogs, the status bar, opening a
// document), and the file system it runs on (platform/file_system.h). Back
// ends: win32 (the real program), fake (native tests) and console
// (tanavo-cli, no windows). Texts are Shift_JIS bytes.
#pragma once

#include <cstddef>
#include <functional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "platform/charset.h"
#include "platform/file_system.h"

namespace tanavo {

struct Rect {
  int left = 0;
  int top = 0;
  int right = 0;
  int bottom = 0;
  int Width() const { return right - left; }
  int Height() const { return bottom - top; }
};

// Notification codes delivered with OnCommand; the values are those of the
// platform's WM_COMMAND so that routing reads like the behaviour it implements.
constexpr int kNotifyClick = 0;          // BN_CLICKED, and every menu command
constexpr int kNotifySelChange = 1;      // LBN_SELCHANGE
constexpr int kNotifySetFocus = 0x0100;  // EN_SETFOCUS
// Enter pressed in a single-line edit made with kEnterNotify. The edit has
// no code of its own for it; this one is beyond the edit's codes (EN_*).
constexpr int kNotifyEnter = 0x7E00;

enum class ControlKind {
  PushButton,
  DefPushButton,
  CheckBox,  // auto check box: toggles on each click
  Static,
  Edit,
  ListBox,
  // A read-only multi-line text view whose cost follows the screen, not the
  // text: it answers the edit control's text, limit and selection messages.
  TextView,
};

// Portable style flags of a control; each back end maps them to its own.
enum ControlStyle : unsigned {
  kStyleNone = 0,
  kClientEdge = 1u << 0,   // sunken edge
  kStaticEdge = 1u << 1,
  kVScroll = 1u << 2,
  kHScroll = 1u << 3,
  kMultiLine = 1u << 4,
  kAutoVScroll = 1u << 5,
  kAutoHScroll = 1u << 6,
  kReadOnly = 1u << 7,
  kWantReturn = 1u << 8,
  kNotify = 1u << 9,       // list box: selection notifications
  kCentre = 1u << 10,      // text centred
  kHidden = 1u << 11,      // created hidden
  // List box: holds no rows, only their count, and asks for the rows it
  // shows (ListSetRowSource); the other list calls do nothing on it.
  kOwnerData = 1u << 12,
  // Single-line edit: Enter runs the window's command for it (kNotifyEnter)
  // instead of the beep of a window that is no dialog box.
  kEnterNotify = 1u << 13,
};

struct ControlSpec {
  int id;
  ControlKind kind;
  unsigned style;
  int x, y, w, h;
  const char* caption;  // may be "" ; never null
};

enum class FrameKind {
  Overlapped,     // caption, system menu, sizing border, minimise and maximise boxes
  CaptionOnly,    // caption bar only: no system menu, no close box
  CaptionSizing,  // caption, sizing border, minimise and maximise boxes, no system menu
  CaptionMinMax,  // caption, minimise and maximise boxes, no system menu
};

enum ExStyle : unsigned {
  kExNone = 0,
  kExControlParent = 1u << 0,
  kExStaticEdge = 1u << 1,
  kExClientEdge = 1u << 2,
  kExTopmost = 1u << 3,
};

struct MenuItemSpec {
  const char* caption;  // nullptr: separator
  int id;
};

struct MenuSpec {
  const char* caption;
  std::vector<MenuItemSpec> items;  // in the order they appear
};

struct WindowSpec {
  const char* className;
  const char* title;
  int width, height;  // outer size
  FrameKind frame;
  unsigned exStyle;
  bool visible;
  int fontIndex;  // one font for all the window's controls (see app/fonts.h)
  const std::vector<MenuSpec>* menuBar = nullptr;  // main window only
  bool statusBar = false;                          // main window only
};

class Window;

// The rows of an owner-data list, asked for one at a time (0-based) as they
// are shown or read.
using ListRowSource = std::function<std::string(int row)>;

// What a window does with the events that reach it. Handlers are the window
// logic of the core; the back end routes the platform's messages to them.
class WindowEvents {
 public:
  virtual ~WindowEvents() = default;
  virtual void OnCreate(Window&) {}
  virtual void OnCommand(int /*id*/, int /*code*/) {}
  virtual void OnSize(int /*clientW*/, int /*clientH*/) {}
  // A close request (system menu, Alt+F4). Return true to destroy the window;
  // tool windows hide instead, so that their menu command can show them again.
  virtual bool OnCloseRequest() { return false; }
};

// A top-level window and its child controls, addressed by control id.
class Window {
 public:
  virtual ~Window() = default;

  // Control texts. SetText shows the text up to its first 0x00 byte, as the
  // platform's controls do.
  virtual std::string Text(int id) const = 0;
  virtual void SetText(int id, const std::string& text) = 0;
  // A text view shows bytes the caller holds without copying them (the
  // mobile file): they must stay alive and unchanged until the control's
  // text is set again. Other back ends may copy.
  virtual void ShowBytes(int id, std::string_view bytes) { SetText(id, std::string(bytes)); }
  virtual void Show(int id, bool shown) = 0;
  virtual bool IsShown(int id) const = 0;
  virtual void Enable(int id, bool enabled) = 0;
  virtual bool IsEnabled(int id) const = 0;
  virtual void Move(int id, int x, int y, int w, int h) = 0;  // no immediate repaint
  virtual Rect ControlRect(int id) const = 0;                 // in client coordinates
  virtual void SetTextLimit(int id, std::size_t bytes) = 0;
  virtual std::size_t TextLimit(int id) const = 0;
  virtual void Focus(int id) = 0;
  virtual bool HasFocus(int id) const = 0;
  virtual void SetCaretToEnd(int id) = 0;
  virtual bool IsChecked(int id) const = 0;
  virtual void SetChecked(int id, bool checked) = 0;

  // List boxes. Rows are 0-based; selection -1 is none.
  virtual void ListClear(int id) = 0;
  virtual void ListAdd(int id, const std::string& row) = 0;
  // Replaces every row at once: the real list box is drawn once, not once a row.
  virtual void ListSetRows(int id, const std::vector<std::string>& rows) {
    ListClear(id);
    for (const std::string& r : rows) ListAdd(id, r);
  }
  // An owner-data list (kOwnerData) is given its row count and asks rows for
  // what it shows: a million rows open at once and cost no memory of their
  // own. The source must stay valid until the list is cleared or given
  // another. Any selection is dropped. A back end without such lists copies.
  virtual void ListSetRowSource(int id, int count, ListRowSource rows) {
    std::vector<std::string> all;
    for (int r = 0; r < count; ++r) all.push_back(rows(r));
    ListSetRows(id, all);
  }
  virtual void ListInsert(int id, int row, const std::string& text) = 0;
  virtual void ListDelete(int id, int row) = 0;
  virtual int ListCount(int id) const = 0;
  virtual std::string ListRow(int id, int row) const = 0;
  virtual int ListSelection(int id) const = 0;
  virtual void ListSelect(int id, int row) = 0;  // no notification, like LB_SETCURSEL

  // The window itself.
  virtual void ShowWindow(bool shown) = 0;
  virtual bool IsVisible() const = 0;
  virtual void ClientSize(int* w, int* h) const = 0;
  virtual Rect Placement() const = 0;  // normal-position rectangle, screen coordinates
  virtual void SetPlacement(const Rect& r) = 0;
  virtual void BringToTop() = 0;
  virtual void FocusWindow() = 0;
  // Delivers a close request, handled by OnCloseRequest like the close box.
  virtual void SendClose() = 0;
};

enum class BoxOwner { None, Main };
enum class BoxIcon { None, Warning };
enum class BoxButtons { Ok, OkCancel, YesNo };
enum class BoxAnswer { Ok, Cancel, Yes, No };

struct FileFilter {
  std::string label;
  std::string pattern;
};

// Open and save dialogs are always owned by the main window and use the same
// options: path and file must exist, read-only box hidden, 260-byte buffer.
struct FileDialogSpec {
  std::string title;
  std::vector<FileFilter> filters;
  int filterIndex = 1;
  std::string defaultExtension = "*";
  std::string fileName;  // proposed in the name box; cut to fit the path buffer
};

constexpr int kStatusParts = 6;
// What each part of the status bar shows, for every command that writes it.
constexpr int kOperationPart = 0;  // the operation under way
constexpr int kProgressPart = 1;   // its counter
constexpr int kMobilePart = 2;     // the loaded files' names
constexpr int kExtractionPart = 3;
constexpr int kDisplayPart = 4;
constexpr int kIndexPart = 5;

class Platform {
 public:
  virtual ~Platform() = default;

  virtual Window* CreateAppWindow(const WindowSpec& decl, const std::vector<ControlSpec>& controls,
                                  WindowEvents* events) = 0;
  virtual Window* MainWindow() = 0;

  virtual BoxAnswer MessageBox(BoxOwner owner, const std::string& text, const std::string& caption,
                               BoxIcon icon, BoxButtons buttons = BoxButtons::Ok) = 0;
  virtual bool OpenFileDialog(const FileDialogSpec& decl, std::string* path) = 0;
  virtual bool SaveFileDialog(const FileDialogSpec& decl, std::string* path) = 0;

  // The main window's status bar.
  virtual void SetStatusParts(const int (&rightEdges)[kStatusParts]) = 0;
  virtual void SetStatusText(int part, const std::string& text) = 0;
  // The whole text behind a part whose text may not fit its width, shown
  // when the pointer rests on the part; setting the part's text drops it.
  virtual void SetStatusTip(int /*part*/, const std::string& /*tip*/) {}
  // A check mark beside a command of the main window's menus (a choice that
  // is on or off).
  virtual void SetMenuChecked(int /*command*/, bool /*checked*/) {}

  // Opens a document with the shell verb "open" (no parameters, normal window).
  virtual void OpenWithShell(const std::string& path) = 0;

  // The file system the core reads and writes through.
  virtual FileSystem& Files() = 0;

  virtual int ScreenWidth() = 0;
  // 0 where no screen bounds the windows from below (the console).
  virtual int ScreenHeight() { return 0; }
  // A line for the record of what a command did beside its boxes: the
  // command-line companion writes it on standard error; the window program
  // says such things in its status bar instead and ignores it.
  virtual void Note(const std::string& /*line*/) {}

  // Text in a named charset to Shift_JIS, for the full mail decoding: the
  // system's converters where the back end has them.
  virtual const CharsetConverter& Charsets() const = 0;

  // Runs the message loop until the main window is gone; returns the exit code.
  virtual int Run() = 0;
};

// The message boxes every file command shares.
inline void ShowWarning(Platform& p, const std::string& text) {
  p.MessageBox(BoxOwner::None, text, "警告", BoxIcon::None);
}
inline void ShowOpenFailure(Platform& p, const std::string& caption) {
  p.MessageBox(BoxOwner::Main, "ファイルオープンに失敗", caption, BoxIcon::Warning);
}
inline void ShowTooLarge(Platform& p, const std::string& caption) {
  p.MessageBox(BoxOwner::Main, "ファイルが大きすぎるため読み込めません!!", caption, BoxIcon::Warning);
}

// The box for a whole-file read that failed; true when it failed (the box
// shown), false when the bytes were read.
inline bool ShowReadFailure(Platform& p, ReadStatus rs, const std::string& caption) {
  if (rs == ReadStatus::CannotOpen) ShowOpenFailure(p, caption);
  if (rs == ReadStatus::TooLarge) ShowTooLarge(p, caption);
  return rs != ReadStatus::Ok;
}

// A dialog for one kind of file: its own filter first, then all files.
inline FileDialogSpec FileKindDialog(const std::string& title, const std::string& kindLabel,
                                     const std::string& kindPattern) {
  FileDialogSpec d;
  d.title = title;
  d.filters = {{kindLabel, kindPattern}, {"すべてのファイル(*.*)", "*"}};
  return d;
}

}  // namespace tanavo
