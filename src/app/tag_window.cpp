#include "app/tag_window.h"

#include "app/app.h"
#include "app/case_display.h"
#include "app/placement.h"
#include "case/search_tokens.h"
#include "state/record_index.h"

namespace tanavo {

namespace {

constexpr int kTagFont = 5;  // the data display's
constexpr int kOuterWidth = 520;
constexpr int kOuterHeight = 330;

}  // namespace

std::string TagRow(const RecordTag& tag) {
  std::string note = tag.note.substr(0, tag.note.find_first_of("\r\n"));
  return ShiftJisOfUtf8(tag.label) + (note.empty() ? "" : "　" + ShiftJisOfUtf8(note));
}

WindowSpec TagWindow::Declaration() {
  return WindowSpec{kTagWindowClass, "タグ", kOuterWidth, kOuterHeight, FrameKind::CaptionMinMax, kExNone, false,
                    kTagFont};
}

std::vector<ControlSpec> TagWindow::Controls() {
  return {
      {kTagRecordText, ControlKind::Static, kStyleNone, 8, 6, 496, 20, ""},
      {kTagList, ControlKind::ListBox, kClientEdge | kVScroll | kNotify, 8, 28, 496, 90, ""},
      {kTagLabelCaption, ControlKind::Static, kStyleNone, 8, 128, 60, 20, "ラベル"},
      {kTagLabelEdit, ControlKind::Edit, kClientEdge | kAutoHScroll, 72, 125, 240, 24, ""},
      {kTagNoteCaption, ControlKind::Static, kStyleNone, 8, 158, 60, 20, "メモ"},
      {kTagNoteEdit, ControlKind::Edit, kClientEdge | kVScroll | kMultiLine | kAutoVScroll | kWantReturn, 72, 155,
       432, 90, ""},
      {kTagAddButton, ControlKind::PushButton, kCentre, 72, 255, 88, 25, "付ける"},
      {kTagRemoveButton, ControlKind::PushButton, kCentre, 170, 255, 88, 25, "外す"},
      {kTagClose, ControlKind::DefPushButton, kCentre, 416, 255, 88, 25, "終　了"},
  };
}

void TagWindow::Created(Window& w) {
  w.SetTextLimit(kTagLabelEdit, kTagLabelEditBytes);
  w.SetTextLimit(kTagNoteEdit, kTagNoteEditBytes);
}

void TagWindow::ShowFor(std::int32_t n) {
  if (!window) return;
  record_ = n;
  window->SetText(kTagRecordText, RecordListRow(app_.index, n));
  window->SetText(kTagLabelEdit, kDefaultTagLabel);
  window->SetText(kTagNoteEdit, "");
  Refill();
  window->SetPlacement(PlaceToolWindow(app_.platform, *window, app_.platform.MainWindow()));
  window->ShowWindow(true);
  window->FocusWindow();
  window->Focus(kTagLabelEdit);
}

void TagWindow::Refill() {
  tags_.clear();
  CaseFile* c = app_.caseSession.file.get();
  if (c && !TagsOfRecord(*c, record_, &tags_)) {
    app_.platform.MessageBox(BoxOwner::Main, "ケースファイルを読めません!!\r\n" + ShiftJisOfUtf8(c->LastError()),
                             "ケースファイル", BoxIcon::Warning);
  }
  std::vector<std::string> rows;
  for (const RecordTag& t : tags_) rows.push_back(TagRow(t));
  window->ListSetRows(kTagList, rows);
}

bool TagWindow::Saved(TagStatus status) {
  const std::string& path = app_.caseSession.path;
  switch (status) {
    case TagStatus::Saved: return true;
    case TagStatus::NoRecord: ShowWarning(app_.platform, "ケースファイルにこのレコードがありません!!"); return false;
    case TagStatus::TooLong: ShowWarning(app_.platform, "ラベルかメモが長すぎます!!"); return false;
    case TagStatus::Busy:
      app_.platform.MessageBox(BoxOwner::Main, "ケースファイルは他のプログラムが使用中です!!\r\n" + path,
                               "ケースファイル", BoxIcon::Warning);
      return false;
    case TagStatus::Failed:
      app_.platform.MessageBox(BoxOwner::Main, "ケースファイルに書き込めません!!\r\n" + path, "ケースファイル",
                               BoxIcon::Warning);
      return false;
  }
  return false;
}

void TagWindow::Add() {
  CaseFile* c = app_.caseSession.file.get();
  if (!c || record_ <= 0) return;
  const std::string label = window->Text(kTagLabelEdit);
  if (label.empty()) {
    ShowWarning(app_.platform, "ラベルを入力してください!!");
    return;
  }
  if (!Saved(AddTag(*c, record_, SearchTextFromShiftJis(label), SearchTextFromShiftJis(window->Text(kTagNoteEdit))))) {
    return;
  }
  Refill();
  TagsChanged(app_);
}

void TagWindow::Remove() {
  CaseFile* c = app_.caseSession.file.get();
  const int row = window->ListSelection(kTagList);
  if (!c || row < 0 || static_cast<std::size_t>(row) >= tags_.size()) {
    ShowWarning(app_.platform, "外すタグを選んでください!!");
    return;
  }
  const TagStatus s = RemoveTag(*c, tags_[static_cast<std::size_t>(row)].id);
  if (s != TagStatus::NoRecord && !Saved(s)) return;  // already gone: the list catches up
  Refill();
  TagsChanged(app_);
}

void TagWindow::ShowChosen() {
  const int row = window->ListSelection(kTagList);
  if (row < 0 || static_cast<std::size_t>(row) >= tags_.size()) return;
  window->SetText(kTagLabelEdit, ShiftJisOfUtf8(tags_[static_cast<std::size_t>(row)].label));
  // The edit breaks lines at CR LF only; a note made elsewhere may hold LF.
  const std::string note = ShiftJisOfUtf8(tags_[static_cast<std::size_t>(row)].note);
  std::string shown;
  for (std::size_t i = 0; i < note.size(); ++i) {
    if (note[i] == '\n' && (i == 0 || note[i - 1] != '\r')) shown += '\r';
    shown += note[i];
  }
  window->SetText(kTagNoteEdit, shown);
}

void TagWindow::OnCommand(int id, int code) {
  switch (id) {
    case kTagAddButton:
      if (code == kNotifyClick) Add();
      break;
    case kTagRemoveButton:
      if (code == kNotifyClick) Remove();
      break;
    case kTagClose:
      if (code == kNotifyClick && window) window->ShowWindow(false);
      break;
    case kTagList:
      if (code == kNotifySelChange) ShowChosen();
      break;
    default:
      break;
  }
}

}  // namespace tanavo
