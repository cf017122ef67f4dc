#include "codec/conversion_window.h"

#include "app/app.h"

namespace tanavo {

WindowSpec ConversionWindow::Spec() { return WindowSpec{"NORMAL4", "文字コード変換", 450, 360, FrameKind::CaptionOnly, kExControlParent, false, 4}; }

std::vector<ControlSpec> ConversionWindow::Controls() { return {}; }

void ConversionWindow::Create() { window = app_.platform.CreateAppWindow(Spec(), Controls(), this); }

void ConversionWindow::ShowTool() {}

void ConversionWindow::OnCommand(int, int) {}

}  // namespace tanavo
