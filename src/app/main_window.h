// The main window: the raw text view, the status bar, the menu bar and the
// routing of its commands.
#pragma once

#include <vector>

#include "platform/platform.h"

namespace tanavo {

struct App;

constexpr int kRawTextView = 1000;
constexpr int kStatusBarId = 70;
constexpr int kStatusBarHeight = 20;  // kept free below the raw text view

// Right edges of the six status parts for a client width.
void StatusPartEdges(int clientWidth, int (&edges)[kStatusParts]);

class MainWindow : public WindowEvents {
 public:
  explicit MainWindow(App& app) : app_(app) {}
  static WindowSpec Declaration();
  static std::vector<ControlSpec> Controls();
  void Create();

  void OnCreate(Window& w) override;
  void OnCommand(int id, int code) override;
  void OnSize(int w, int h) override;
  // ファイル → 終了 and the close box: asks first when settings would be lost.
  bool OnCloseRequest() override;

  Window* window = nullptr;

 private:
  App& app_;
};

}  // namespace tanavo
