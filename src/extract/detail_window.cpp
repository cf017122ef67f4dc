#include "extract/detail_window.h"

#include "app/app.h"

namespace tanavo {

WindowSpec DetailWindow::Spec() { return WindowSpec{"NORMAL3", "詳細設定", 500, 396, FrameKind::CaptionOnly, kExNone, false, 3}; }

std::vector<ControlSpec> DetailWindow::Controls() { return {}; }

void DetailWindow::Create() { window = app_.platform.CreateAppWindow(Spec(), Controls(), this); }

void DetailWindow::OnCommand(int, int) {}

}  // namespace tanavo
