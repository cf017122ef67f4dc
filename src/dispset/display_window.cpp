#include "dispset/display_window.h"

#include "app/app.h"

namespace tanavo {

WindowSpec DisplayWindow::Spec() { return WindowSpec{"NORMAL5", "データ表示", 790, 623, FrameKind::CaptionSizing, kExNone, false, 5}; }

std::vector<ControlSpec> DisplayWindow::Controls() { return {}; }

void DisplayWindow::Create() { window = app_.platform.CreateAppWindow(Spec(), Controls(), this); }

void DisplayWindow::ShowEditor() {}

void DisplayWindow::OnCommand(int, int) {}

}  // namespace tanavo
