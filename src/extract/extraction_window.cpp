#include "extract/extraction_window.h"

#include "app/app.h"

namespace tanavo {

WindowSpec ExtractionWindow::Spec() { return WindowSpec{"NORMAL1", "データ抽出設定", 283, 361, FrameKind::CaptionOnly, kExControlParent, false, 1}; }

std::vector<ControlSpec> ExtractionWindow::Controls() { return {}; }

void ExtractionWindow::Create() { window = app_.platform.CreateAppWindow(Spec(), Controls(), this); }

void ExtractionWindow::Open() {}

void ExtractionWindow::OnCommand(int, int) {}

}  // namespace tanavo
