// The display settings / data display window: one window in two modes, told
// apart by the mode text of the display settings ("CONF" editing, "DISP" data
// display).
#pragma once

#include <cstddef>
#include <vector>

#include "platform/base_window.h"
#include "platform/platform.h"

namespace tanavo {

struct App;

// Controls of the display window, shared by the display settings editor and
// the data display.
constexpr int kDispTemplateEdit = 1000;
constexpr int kDispClose = 1001;
constexpr int kDispSave = 1002;
constexpr int kDispRecordList = 1003;
constexpr int kDispAttachmentLabel = 1004;
constexpr int kDispStatusText = 1005;
constexpr int kDispTitle = 1012;
constexpr int kDispLayoutEdit = 1014;
constexpr int kDispAttachmentList = 1046;

constexpr std::size_t kListLineTemplateLimit = 1024;  // bytes the template edit takes
constexpr std::size_t kLayoutTextLimit = 262144;      // bytes the layout edit takes

// The two layouts for a client area of cw x ch.
void ApplyEditorLayout(Window& w, int cw, int ch);
void ApplyDataDisplayLayout(Window& w, int cw, int ch);

// The class the window is registered under; tests and tools find it by it.
inline constexpr char kDisplayWindowClass[] = "NORMAL5";

class DisplayWindow : public BaseWindow<DisplayWindow, App> {
 public:
  explicit DisplayWindow(App& app) : BaseWindow(app) {}
  static WindowSpec Declaration();
  static std::vector<ControlSpec> Controls();
  // Menu command: opens the window as the display settings editor.
  void ShowEditor();
  // Close button: in editor mode the edits are taken over into the display
  // settings (no file is written); both windows are hidden.
  void Close();

  void OnCommand(int id, int code) override;

 private:
  void Created(Window& w) override;
  // The layout of the current mode for a client area of cw x ch.
  void Layout(int cw, int ch) override;
};

}  // namespace tanavo
