#include "dispset/name_list_window.h"

#include "app/app.h"

namespace tanavo {

WindowSpec NameListWindow::Spec() { return WindowSpec{"NORMAL6", "Dataタグ名リスト", 193, 360, FrameKind::CaptionMinMax, kExStaticEdge | kExClientEdge | kExTopmost, false, 6}; }

std::vector<ControlSpec> NameListWindow::Controls() { return {}; }

void NameListWindow::Create() { window = app_.platform.CreateAppWindow(Spec(), Controls(), this); }

void NameListWindow::OnCommand(int, int) {}

}  // namespace tanavo
