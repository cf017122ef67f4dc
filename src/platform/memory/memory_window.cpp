#include "platform/memory/memory_window.h"

#include <algorithm>
#include <utility>

namespace tanavo {

int MemoryFrameWidth(FrameKind frame) {
  return frame == FrameKind::CaptionOnly || frame == FrameKind::CaptionMinMax ? 6 : 16;
}

int MemoryFrameHeight(FrameKind frame, bool menu) {
  int h = frame == FrameKind::CaptionOnly || frame == FrameKind::CaptionMinMax ? 25 : 39;
  return menu ? h + 20 : h;
}

MemoryWindow::MemoryWindow(const WindowSpec& decl, const std::vector<ControlSpec>& controls,
                           WindowEvents* events)
    : spec_(decl), events_(events), visible_(decl.visible) {
  placement_ = Rect{0, 0, decl.width, decl.height};
  clientW_ = std::max(0, decl.width - MemoryFrameWidth(decl.frame));
  clientH_ = std::max(0, decl.height - MemoryFrameHeight(decl.frame, decl.menuBar != nullptr));
  for (const ControlSpec& c : controls) {
    MemoryControl m;
    m.decl = c;
    m.text = c.caption;
    m.shown = (c.style & kHidden) == 0;
    m.rect = Rect{c.x, c.y, c.x + c.w, c.y + c.h};
    controls_[c.id] = m;
    order_.push_back(c.id);
  }
}

MemoryControl& MemoryWindow::Ctl(int id) {
  auto it = controls_.find(id);
  if (it == controls_.end()) {
    missing_ = MemoryControl{};  // writes to a missing control go nowhere
    return missing_;
  }
  return it->second;
}

const MemoryControl* MemoryWindow::Find(int id) const {
  auto it = controls_.find(id);
  return it == controls_.end() ? nullptr : &it->second;
}

const MemoryControl& MemoryWindow::Control(int id) const {
  const MemoryControl* c = Find(id);
  return c ? *c : missing_;
}

std::vector<int> MemoryWindow::ControlIds() const { return order_; }

std::string MemoryWindow::Text(int id) const {
  const MemoryControl* c = Find(id);
  return c ? c->text : std::string();
}

void MemoryWindow::SetText(int id, const std::string& text) {
  MemoryControl& c = Ctl(id);
  c.caret = 0;
  c.text = text.substr(0, text.find('\0'));
}

void MemoryWindow::ShowBytes(int id, std::string_view bytes) {
  MemoryControl& c = Ctl(id);
  c.caret = 0;
  c.text.assign(bytes.substr(0, bytes.find('\0')));
}

void MemoryWindow::Show(int id, bool shown) { Ctl(id).shown = shown; }
bool MemoryWindow::IsShown(int id) const {
  const MemoryControl* c = Find(id);
  return c && c->shown;
}
void MemoryWindow::Enable(int id, bool enabled) { Ctl(id).enabled = enabled; }
bool MemoryWindow::IsEnabled(int id) const {
  const MemoryControl* c = Find(id);
  return c && c->enabled;
}
void MemoryWindow::Move(int id, int x, int y, int w, int h) { Ctl(id).rect = Rect{x, y, x + w, y + h}; }
Rect MemoryWindow::ControlRect(int id) const {
  const MemoryControl* c = Find(id);
  return c ? c->rect : Rect{};
}
void MemoryWindow::SetTextLimit(int id, std::size_t bytes) { Ctl(id).limit = bytes; }
std::size_t MemoryWindow::TextLimit(int id) const {
  const MemoryControl* c = Find(id);
  return c ? c->limit : 0;
}

void MemoryWindow::TakeFocus() {
  if (all_) {
    for (auto& w : *all_) {
      w->windowFocused_ = false;
      w->focused_ = 0;
    }
  }
  windowFocused_ = true;
}

void MemoryWindow::Focus(int id) {
  if (!Find(id)) return;
  TakeFocus();
  focused_ = id;
  const MemoryControl& c = Control(id);
  if (c.decl.kind == ControlKind::Edit && events_) events_->OnCommand(id, kNotifySetFocus);
}

bool MemoryWindow::HasFocus(int id) const { return windowFocused_ && focused_ == id; }
void MemoryWindow::SetCaretToEnd(int id) { Ctl(id).caret = Ctl(id).text.size(); }
bool MemoryWindow::IsChecked(int id) const {
  const MemoryControl* c = Find(id);
  return c && c->checked;
}
void MemoryWindow::SetChecked(int id, bool checked) { Ctl(id).checked = checked; }

void MemoryWindow::ListClear(int id) {
  MemoryControl& c = Ctl(id);
  c.rows.clear();
  c.rowSource = nullptr;
  c.sourceRows = 0;
  c.selection = -1;
}
void MemoryWindow::ListAdd(int id, const std::string& row) {
  MemoryControl& c = Ctl(id);
  if (c.decl.style & kOwnerData) return;  // the real control holds no texts either
  c.rows.push_back(row.substr(0, row.find('\0')));
}
void MemoryWindow::ListSetRowSource(int id, int count, ListRowSource rows) {
  MemoryControl& c = Ctl(id);
  if (!(c.decl.style & kOwnerData)) {
    Window::ListSetRowSource(id, count, std::move(rows));
    return;
  }
  c.rows.clear();
  c.rowSource = std::move(rows);
  c.sourceRows = c.rowSource ? std::max(0, count) : 0;
  c.selection = -1;
}
void MemoryWindow::ListInsert(int id, int row, const std::string& text) {
  MemoryControl& c = Ctl(id);
  if (c.decl.style & kOwnerData) return;
  std::string t = text.substr(0, text.find('\0'));
  if (row < 0 || row > static_cast<int>(c.rows.size())) {
    c.rows.push_back(t);
    return;
  }
  c.rows.insert(c.rows.begin() + row, t);
  if (c.selection >= row) ++c.selection;
}
void MemoryWindow::ListDelete(int id, int row) {
  MemoryControl& c = Ctl(id);
  if (c.decl.style & kOwnerData) return;
  if (row < 0 || row >= static_cast<int>(c.rows.size())) return;
  c.rows.erase(c.rows.begin() + row);
  if (c.selection == row) {
    c.selection = -1;
  } else if (c.selection > row) {
    --c.selection;
  }
}
int MemoryWindow::ListCount(int id) const {
  const MemoryControl* c = Find(id);
  return c ? c->RowCount() : 0;
}
std::string MemoryWindow::ListRow(int id, int row) const {
  const MemoryControl* c = Find(id);
  if (!c || row < 0 || row >= c->RowCount()) return std::string();
  if (c->rowSource) {
    std::string t = c->rowSource(row);
    return t.substr(0, t.find('\0'));
  }
  return c->rows[row];
}
int MemoryWindow::ListSelection(int id) const {
  const MemoryControl* c = Find(id);
  return c ? c->selection : -1;
}
void MemoryWindow::ListSelect(int id, int row) {
  MemoryControl& c = Ctl(id);
  c.selection = (row >= 0 && row < c.RowCount()) ? row : -1;
}

void MemoryWindow::ShowWindow(bool shown) { visible_ = shown; }
bool MemoryWindow::IsVisible() const { return visible_ && !destroyed_; }
void MemoryWindow::ClientSize(int* w, int* h) const {
  *w = clientW_;
  *h = clientH_;
}
Rect MemoryWindow::Placement() const { return placement_; }
void MemoryWindow::SetPlacement(const Rect& r) {
  placement_ = r;
  clientW_ = std::max(0, r.Width() - MemoryFrameWidth(spec_.frame));
  clientH_ = std::max(0, r.Height() - MemoryFrameHeight(spec_.frame, spec_.menuBar != nullptr));
}
void MemoryWindow::BringToTop() { ++bringToTop_; }
void MemoryWindow::FocusWindow() {
  TakeFocus();
  focused_ = 0;
}

void MemoryWindow::Click(int id) {
  const MemoryControl* c = Find(id);
  if (!c || !c->enabled || destroyed_) return;
  if (c->decl.kind == ControlKind::CheckBox) Ctl(id).checked = !c->checked;
  if (events_) events_->OnCommand(id, kNotifyClick);
}

void MemoryWindow::MenuCommand(int id) {
  if (events_ && !destroyed_) events_->OnCommand(id, kNotifyClick);
}

void MemoryWindow::Type(int id, const std::string& text) {
  MemoryControl& c = Ctl(id);
  std::string t = text.substr(0, text.find('\0'));
  if (t.size() > c.limit) t.resize(c.limit);  // the control refuses what does not fit
  c.text = t;
  c.caret = t.size();
}

void MemoryWindow::PressEnter(int id) {
  const MemoryControl* c = Find(id);
  if (!c || !c->enabled || destroyed_ || c->decl.kind != ControlKind::Edit) return;
  if ((c->decl.style & kEnterNotify) && !(c->decl.style & kMultiLine) && events_) events_->OnCommand(id, kNotifyEnter);
}

void MemoryWindow::UserSelect(int id, int row) {
  ListSelect(id, row);
  if (events_) events_->OnCommand(id, kNotifySelChange);
}

void MemoryWindow::Resize(int clientW, int clientH) {
  clientW_ = clientW;
  clientH_ = clientH;
  if (events_) events_->OnSize(clientW, clientH);
}

bool MemoryWindow::RequestClose() {
  bool destroy = events_ ? events_->OnCloseRequest() : true;
  if (destroy) {
    destroyed_ = true;
  } else {
    visible_ = false;
  }
  return destroy;
}

}  // namespace tanavo
