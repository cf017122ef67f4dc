#include "platform/fake/fake_platform.h"

namespace tanavo {

FakePlatform::FakePlatform() = default;

Window* FakePlatform::CreateAppWindow(const WindowSpec& decl, const std::vector<ControlSpec>& controls,
                                      WindowEvents* events) {
  windows_.push_back(std::make_unique<MemoryWindow>(decl, controls, events));
  MemoryWindow* w = windows_.back().get();
  w->SetFocusSink(&windows_);
  if (decl.menuBar) main_ = w;
  if (events) events->OnCreate(*w);
  if (!decl.menuBar && main_) main_->FocusWindow();  // tool windows hand the focus back
  if (decl.visible) {
    int cw = 0, ch = 0;
    w->ClientSize(&cw, &ch);
    if (events) events->OnSize(cw, ch);
  }
  return w;
}

Window* FakePlatform::MainWindow() { return main_; }

MemoryWindow* FakePlatform::WindowOf(const std::string& className) {
  for (auto& w : windows_) {
    if (className == w->Declaration().className) return w.get();
  }
  return nullptr;
}

BoxAnswer FakePlatform::MessageBox(BoxOwner owner, const std::string& text, const std::string& caption,
                                   BoxIcon icon, BoxButtons buttons) {
  boxes.push_back(RecordedBox{owner, text, caption, icon, buttons});
  if (!boxAnswers.empty()) {
    BoxAnswer a = boxAnswers.front();
    boxAnswers.pop_front();
    return a;
  }
  return buttons == BoxButtons::YesNo ? BoxAnswer::Yes : BoxAnswer::Ok;
}

bool FakePlatform::OpenFileDialog(const FileDialogSpec& decl, std::string* path) {
  dialogs.push_back(RecordedDialog{false, decl});
  if (dialogAnswers.empty()) return false;
  std::optional<std::string> a = dialogAnswers.front();
  dialogAnswers.pop_front();
  if (!a) return false;
  *path = *a;
  return true;
}

bool FakePlatform::SaveFileDialog(const FileDialogSpec& decl, std::string* path) {
  dialogs.push_back(RecordedDialog{true, decl});
  if (dialogAnswers.empty()) return false;
  std::optional<std::string> a = dialogAnswers.front();
  dialogAnswers.pop_front();
  if (!a) return false;
  *path = *a;
  return true;
}

void FakePlatform::SetStatusParts(const int (&rightEdges)[kStatusParts]) {
  for (int i = 0; i < kStatusParts; ++i) statusEdges[i] = rightEdges[i];
  ++statusPartsSet;
}

void FakePlatform::SetStatusText(int part, const std::string& text) {
  if (part < 0 || part >= kStatusParts) return;
  status[part] = text.substr(0, text.find('\0'));
  statusTip[part].clear();
  statusLog.emplace_back(part, status[part]);
}

void FakePlatform::SetStatusTip(int part, const std::string& tip) {
  if (part < 0 || part >= kStatusParts) return;
  statusTip[part] = tip.substr(0, tip.find('\0'));
}

void FakePlatform::OpenWithShell(const std::string& path) { shellOpened.push_back(path); }

}  // namespace tanavo
