#include "engine/result_window.h"

#include "app/app.h"

namespace tanavo {

WindowSpec ResultWindow::Spec() { return WindowSpec{"NORMAL2", "設定確認結果", 450, 360, FrameKind::CaptionSizing, kExNone, false, 2}; }

std::vector<ControlSpec> ResultWindow::Controls() { return {}; }

void ResultWindow::Create() { window = app_.platform.CreateAppWindow(Spec(), Controls(), this); }

void ResultWindow::OnCommand(int, int) {}

}  // namespace tanavo
