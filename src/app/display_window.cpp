#include "app/display_window.h"

#include <algorithm>

#include "app/app.h"
#include "app/attachment_list.h"
#include "app/case_display.h"
#include "display/attachment.h"
#include "app/data_display.h"
#include "dispset/kdp_file.h"
#include "files/display_file.h"
#include "app/name_list_window.h"

namespace tanavo {

namespace {

// A control never gets a negative size, whatever the client area (a
// minimised window reports 0 x 0).
void MoveClamped(Window& w, int id, int x, int y, int width, int height) {
  w.Move(id, x, y, std::max(0, width), std::max(0, height));
}

}  // namespace

void ApplyEditorLayout(Window& w, int cw, int ch) {
  MoveClamped(w, kDispTitle, 10, 10, 100, 25);
  MoveClamped(w, kDispClose, cw - 80, 5, 60, 25);
  MoveClamped(w, kDispSave, cw - 180, 5, 70, 25);
  MoveClamped(w, kDispTemplateEdit, 0, 40, cw - 15, 25);
  MoveClamped(w, kDispLayoutEdit, 0, 70, cw, ch - 70);
}

void ApplyDataDisplayLayout(Window& w, int cw, int ch) {
  MoveClamped(w, kDispTitle, 10, 10, 100, 25);
  MoveClamped(w, kDispSave, cw - 180, 5, 70, 25);
  MoveClamped(w, kDispTemplateEdit, 110, 5, cw - 300, 30);
  MoveClamped(w, kDispClose, cw - 80, 5, 60, 25);
  MoveClamped(w, kDispRecordList, 0, 40, cw, 200);
  MoveClamped(w, kDispLayoutEdit, 0, 245, cw, ch - 305);
  MoveClamped(w, kDispAttachmentList, 100, ch - 55, cw - 250, 50);
  MoveClamped(w, kDispAttachmentLabel, 0, ch - 35, 100, 25);
  MoveClamped(w, kDispStatusText, cw - 150, ch - 35, 150, 25);
  // The case's controls fill the top row between the title and the close
  // button, where the display leaves room; the search field takes what the
  // width leaves over.
  struct Slot {
    int id, gap, width, y, height;
  };
  const Slot after[] = {{kDispSearchButton, 4, 44, 6, 25}, {kDispHitCount, 4, 80, 10, 20},
                        {kDispPreviousHit, 4, 32, 6, 25},  {kDispNextHit, 2, 32, 6, 25},
                        {kDispAllRecords, 4, 44, 6, 25},   {kDispSortButton, 6, 72, 6, 25},
                        {kDispTagButton, 4, 44, 6, 25},    {kDispTaggedOnly, 4, 84, 8, 22}};
  int fixed = 0;
  for (const Slot& s : after) fixed += s.gap + s.width;
  const int left = 112, right = cw - 84;
  int x = left + std::max(kDispSearchEditMinWidth, right - left - fixed);
  MoveClamped(w, kDispSearchEdit, left, 7, x - left, 24);
  for (const Slot& s : after) {
    x += s.gap;
    MoveClamped(w, s.id, x, s.y, s.width, s.height);
    x += s.width;
  }
}

WindowSpec DisplayWindow::Declaration() {
  return WindowSpec{kDisplayWindowClass, "データ表示", 790, 623, FrameKind::CaptionSizing, kExNone, false, 5};
}

std::vector<ControlSpec> DisplayWindow::Controls() {
  const unsigned list = kClientEdge | kVScroll | kHScroll | kNotify;
  return {
      {kDispRecordList, ControlKind::ListBox, list | kOwnerData, 15, 0, 84, 60, ""},
      {kDispTemplateEdit, ControlKind::Edit, kClientEdge | kAutoHScroll, 14, 77, 70, 21, ""},
      {kDispLayoutEdit, ControlKind::Edit, kClientEdge | kVScroll | kMultiLine | kAutoVScroll | kWantReturn, 14, 115,
       70, 21, ""},
      {kDispAttachmentList, ControlKind::ListBox, list, 3, 150, 84, 60, ""},
      {kDispClose, ControlKind::DefPushButton, kCentre, 661, 5, 88, 21, "終　了"},
      {kDispSave, ControlKind::PushButton, kCentre, 521, 4, 88, 21, "設定保存"},
      {kDispTitle, ControlKind::Static, kStyleNone, 355, 28, 80, 12, "データ表示"},
      {kDispAttachmentLabel, ControlKind::Static, kCentre, 29, 563, 82, 12, "****件終了"},
      {kDispStatusText, ControlKind::Static, kStyleNone, 508, 111, 69, 12, "＊＊＊＊"},
      {kDispSearchEdit, ControlKind::Edit, kClientEdge | kAutoHScroll | kHidden | kEnterNotify, 112, 7, 120, 24, ""},
      {kDispSearchButton, ControlKind::PushButton, kCentre | kHidden, 236, 6, 44, 25, "検索"},
      {kDispHitCount, ControlKind::Static, kHidden, 284, 10, 80, 20, ""},
      {kDispPreviousHit, ControlKind::PushButton, kCentre | kHidden, 368, 6, 32, 25, "前"},
      {kDispNextHit, ControlKind::PushButton, kCentre | kHidden, 402, 6, 32, 25, "次"},
      {kDispAllRecords, ControlKind::PushButton, kCentre | kHidden, 438, 6, 44, 25, "全件"},
      {kDispSortButton, ControlKind::PushButton, kCentre | kHidden, 488, 6, 72, 25, "番号順"},
      {kDispTagButton, ControlKind::PushButton, kCentre | kHidden, 564, 6, 44, 25, "タグ"},
      {kDispTaggedOnly, ControlKind::CheckBox, kHidden, 612, 8, 84, 22, "タグのみ"},
  };
}

void DisplayWindow::Created(Window&) {
  app_.display.mode = DisplayMode::DataDisplay;
  app_.display.listLineTemplate.clear();
  app_.display.layoutText.clear();
}

void DisplayWindow::Layout(int cw, int ch) {
  if (app_.display.mode == DisplayMode::DataDisplay) {
    ApplyDataDisplayLayout(*window, cw, ch);
  } else if (app_.display.mode == DisplayMode::Editor) {
    ApplyEditorLayout(*window, cw, ch);
  }
}

void DisplayWindow::ShowEditor() {
  if (!window) return;
  Window& w = *window;
  int cw = 0, ch = 0;
  w.ClientSize(&cw, &ch);
  w.ShowWindow(true);
  ApplyEditorLayout(w, cw, ch);

  w.SetText(kDispTitle, "表示設定");
  w.SetText(kDispTemplateEdit, app_.display.listLineTemplate);
  w.SetText(kDispLayoutEdit, app_.display.layoutText);
  for (int id : {kDispTitle, kDispClose, kDispSave, kDispTemplateEdit, kDispLayoutEdit}) w.Show(id, true);
  for (int id : {kDispRecordList, kDispAttachmentList, kDispAttachmentLabel, kDispStatusText}) w.Show(id, false);
  ShowCaseControls(app_, false);
  w.SetTextLimit(kDispTemplateEdit, kListLineTemplateLimit);
  w.SetTextLimit(kDispLayoutEdit, kLayoutTextLimit);
  app_.display.mode = DisplayMode::Editor;

  if (app_.nameListWindow) app_.nameListWindow->ShowNames(DataNameList(app_.extraction));
  w.FocusWindow();
}

void DisplayWindow::Close() {
  if (!window) return;
  if (app_.display.mode == DisplayMode::Editor) {
    app_.display.listLineTemplate = window->Text(kDispTemplateEdit);
    app_.display.layoutText = window->Text(kDispLayoutEdit);
  }
  window->ShowWindow(false);
  if (app_.nameListWindow) app_.nameListWindow->Hide();
}

void DisplayWindow::OnCommand(int id, int code) {
  switch (id) {
    case kDispClose:
      if (code == kNotifyClick) Close();
      break;
    case kDispSave:
      // The button is hidden in the data display, where edit 1014 holds a
      // rendered record that must never become the layout text.
      if (code == kNotifyClick && app_.display.mode == DisplayMode::Editor && SaveDisplaySettings(app_) && window) {
        window->FocusWindow();
      }
      break;
    case kDispRecordList:
      if (code == kNotifySelChange) SelectRecord(app_);
      break;
    case kDispAttachmentList:
      if (code == kNotifySelChange) OpenAttachment(app_);
      break;
    case kDispSearchButton:
      if (code == kNotifyClick) SearchRecords(app_);
      break;
    case kDispSearchEdit:
      if (code == kNotifyEnter) SearchRecords(app_);  // Enter in the field searches as the button does
      break;
    case kDispPreviousHit:
    case kDispNextHit:
      if (code == kNotifyClick) StepHit(app_, id == kDispNextHit ? 1 : -1);
      break;
    case kDispAllRecords:
      if (code == kNotifyClick) ShowAllRecords(app_);
      break;
    case kDispSortButton:
      if (code == kNotifyClick) NextSort(app_);
      break;
    case kDispTagButton:
      if (code == kNotifyClick) OpenTags(app_);
      break;
    case kDispTaggedOnly:
      if (code == kNotifyClick) FilterTagged(app_);
      break;
    default:
      break;
  }
}

}  // namespace tanavo
