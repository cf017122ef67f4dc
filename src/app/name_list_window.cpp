#include "app/name_list_window.h"

#include "app/app.h"
#include "app/placement.h"
#include "app/display_window.h"
#include "extract/settings.h"

namespace tanavo {

std::string DataNameList(const ExtractionSettings& settings) {
  std::string names;
  for (const TagDefinition& e : settings.entries) {
    if (e.name.empty()) break;
    if (e.kind == EntryKind::Data) {
      names += e.name;
      names += "\r\n";
    }
  }
  return names;
}

WindowSpec NameListWindow::Declaration() {
  return WindowSpec{kNameListWindowClass, "Dataタグ名リスト", 193, 360, FrameKind::CaptionMinMax,
                    kExStaticEdge | kExClientEdge | kExTopmost, false, 6};
}

std::vector<ControlSpec> NameListWindow::Controls() {
  return {{kNameListEdit, ControlKind::Edit,
           kStaticEdge | kClientEdge | kVScroll | kMultiLine | kAutoVScroll | kReadOnly | kWantReturn, 9, 40, 70, 21,
           ""}};
}

void NameListWindow::ShowNames(const std::string& names) {
  if (!window) return;
  window->SetText(kNameListEdit, names);
  // Beside the display settings editor, whose layout one types from it.
  const Window* editor = app_.displayWindow ? app_.displayWindow->window : nullptr;
  window->SetPlacement(PlaceToolWindow(app_.platform, *window, editor));
  window->ShowWindow(true);
}

void NameListWindow::Hide() {
  if (window) window->ShowWindow(false);
}

void NameListWindow::Layout(int cw, int ch) { window->Move(kNameListEdit, 0, 0, cw, ch); }

}  // namespace tanavo
