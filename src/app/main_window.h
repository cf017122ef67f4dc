// The main window: the raw text view, the status bar, the menu bar and the
// routing of its commands.
#pragma once

#include <vector>

#include "platform/base_window.h"
#include "platform/platform.h"

namespace tanavo {

struct App;

constexpr int kRawTextView = 1000;
constexpr int kStatusBarId = 70;
constexpr int kStatusBarHeight = 20;  // kept free below the raw text view

// Right edges of the six status parts for a client width.
void StatusPartEdges(int clientWidth, int (&edges)[kStatusParts]);

// The class the window is registered under; tests and tools find it by it.
inline constexpr char kMainWindowClass[] = "NORMAL0";

class MainWindow : public BaseWindow<MainWindow, App> {
 public:
  explicit MainWindow(App& app) : BaseWindow(app) {}
  static WindowSpec Declaration();
  static std::vector<ControlSpec> Controls();

  void OnCommand(int id, int code) override;
  // ファイル → 終了 and the close box: asks first when settings would be lost.
  bool OnCloseRequest() override;

 private:
  void Created(Window& w) override;
  // The status bar's parts and the raw text view above it.
  void Layout(int cw, int ch) override;
  void SetStatusParts(int clientWidth);
};

}  // namespace tanavo
