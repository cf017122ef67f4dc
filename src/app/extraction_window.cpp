#include "app/extraction_window.h"

#include "app/app.h"
#include "text/bytes.h"
#include "app/result_window.h"
#include "check/trial_extraction.h"
#include "app/detail_window.h"
#include "extract/kta_file.h"
#include "files/extraction_file.h"
#include "extract/settings.h"

namespace tanavo {

namespace {

constexpr const char* kDataPrefix = "  Data";
constexpr const char* kGroupPrefix = " Group";

}  // namespace

WindowSpec ExtractionWindow::Declaration() {
  return WindowSpec{kExtractionWindowClass, "データ抽出設定", 283, 361, FrameKind::CaptionOnly, kExControlParent,
                    false, 1};
}

std::vector<ControlSpec> ExtractionWindow::Controls() {
  using K = ControlKind;
  return {
      {kExtAddDSet, K::PushButton, kStyleNone, 14, 54, 100, 25, "D_SETタグ"},
      {kExtAddGroup, K::PushButton, kStyleNone, 14, 107, 100, 25, "Groupタグ"},
      {kExtList, K::ListBox, kVScroll | kHScroll | kClientEdge, 132, 30, 131, 260, ""},
      {kExtDSetCaption, K::Static, kStyleNone, 15, 38, 103, 11, "データ１件の区切り"},
      {kExtGroupCaption, K::Static, kStyleNone, 1, 91, 125, 11, "グループデータの区切り"},
      {kExtAddData, K::PushButton, kStyleNone, 14, 161, 100, 25, "Dataタグ"},
      {kExtDataCaption, K::Static, kStyleNone, 35, 145, 59, 11, "データ項目"},
      {kExtDelete, K::PushButton, kStyleNone, 35, 249, 60, 25, "Clear"},
      {kExtClose, K::PushButton, kStyleNone, 219, 5, 40, 20, "終了"},
      {kExtDetails, K::PushButton, kStyleNone, 35, 300, 60, 25, "詳細設定"},
      {kExtSave, K::PushButton, kStyleNone, 130, 5, 60, 20, "設定保存"},
      {kExtDeleteCaption, K::Static, kStyleNone, 44, 233, 54, 15, "タグ消去"},
      {kExtCheck, K::PushButton, kStyleNone, 170, 300, 60, 25, "確　　認"},
  };
}

void ExtractionWindow::Created(Window&) { ResetSettings(app_.extraction); }

void ExtractionWindow::Open() {
  if (!window) return;
  Window* main = app_.platform.MainWindow();
  Rect own = window->Placement();
  Rect r{0, 0, own.Width(), own.Height()};
  if (main) {
    Rect m = main->Placement();
    r.left = m.right;
    r.top = m.top + kExtOffsetBelowMain;
  }
  int screen = app_.platform.ScreenWidth();
  if (r.left + own.Width() > screen) r.left = screen - own.Width();
  r.right = r.left + own.Width();
  r.bottom = r.top + own.Height();
  window->SetPlacement(r);
  window->BringToTop();
  Refill();
  window->ShowWindow(true);
  window->FocusWindow();
}

void ExtractionWindow::Refill() {
  window->ListClear(kExtList);
  int used = UsedCount(app_.extraction);
  for (int i = 0; i < used; ++i) window->ListAdd(kExtList, ListLabel(app_.extraction.entries[i]));
}

void ExtractionWindow::SettingsReplaced() {
  if (window && window->IsVisible()) Refill();
  if (app_.detailWindow) app_.detailWindow->Dismiss();
}

void ExtractionWindow::OnCommand(int id, int code) {
  if (code != kNotifyClick || !window) return;
  switch (id) {
    case kExtAddDSet: AddDSetPair(); break;
    case kExtAddGroup: AddGroupPair(); break;
    case kExtAddData: AddDataEntry(); break;
    case kExtDelete: DeleteDefinition(); break;
    case kExtDetails:
      if (app_.detailWindow) app_.detailWindow->Open();
      break;
    case kExtSave: SaveExtractionSettings(app_); break;
    case kExtCheck: TrialExtraction(app_); break;
    case kExtClose: Close(); break;
    default: break;
  }
}

bool ExtractionWindow::RoomFor(int count) {
  if (UsedCount(app_.extraction) + count <= kTagEntries) return true;
  ShowWarning(app_.platform, "タグ定義は" + std::to_string(kTagEntries) + "件までです。これ以上追加できません!!");
  return false;
}

void ExtractionWindow::InsertLines(int at, int count, EntryKind kind, const std::string& label) {
  if (!InsertEntries(app_.extraction, at, count)) return;
  for (int i = at; i < at + count; ++i) {
    TagDefinition& e = app_.extraction.entries[i];
    e.kind = kind;
    e.name = RemoveByte(label, ' ');
    window->ListInsert(kExtList, i, label);
  }
  if (app_.detailWindow) app_.detailWindow->EntriesInserted(at, count);
}

void ExtractionWindow::AddDSetPair() {
  ExtractionSettings& s = app_.extraction;
  if (s.dsetPairCount >= 1 || !RoomFor(2)) return;
  int sel = window->ListSelection(kExtList);
  int at = sel < 0 ? 0 : sel + 1;
  InsertLines(at, 2, EntryKind::DSet, kKindDSet);
  ++s.dsetPairCount;
  window->ListSelect(kExtList, at + 1);
}

void ExtractionWindow::AddGroupPair() {
  ExtractionSettings& s = app_.extraction;
  if (!RoomFor(2)) return;
  int sel = window->ListSelection(kExtList);
  int at = sel < 0 ? 0 : sel;
  ++s.groupCounter;
  InsertLines(at, 2, EntryKind::Group, kGroupPrefix + TwoDigitNumber(s.groupCounter));
  RenumberDefaultNames();
  window->ListSelect(kExtList, at + 1);  // the closing line: Data added next lands inside
}

void ExtractionWindow::AddDataEntry() {
  ExtractionSettings& s = app_.extraction;
  if (!RoomFor(1)) return;
  int sel = window->ListSelection(kExtList);
  int at = sel < 0 ? 0 : sel;
  int next = sel < 0 ? 0 : sel + 1;
  ++s.dataCounter;
  InsertLines(at, 1, EntryKind::Data, kDataPrefix + TwoDigitNumber(s.dataCounter));
  RenumberDefaultNames();
  window->ListSelect(kExtList, next);
}

void ExtractionWindow::DeleteDefinition() {
  int sel = window->ListSelection(kExtList);
  if (sel < 0) return;
  for (int row : RemoveDefinition(app_.extraction, sel)) {
    window->ListDelete(kExtList, row);
    if (app_.detailWindow) app_.detailWindow->EntryRemoved(row);
  }
  RefillChangedLines();
  int count = window->ListCount(kExtList);
  window->ListSelect(kExtList, sel < count ? sel : count - 1);
}

void ExtractionWindow::RenumberDefaultNames() {
  tanavo::RenumberDefaultNames(app_.extraction);
  RefillChangedLines();
}

void ExtractionWindow::RefillChangedLines() {
  const int count = window->ListCount(kExtList);
  for (int i = 0; i < count && i < kTagEntries; ++i) {
    const std::string label = ListLabel(app_.extraction.entries[static_cast<std::size_t>(i)]);
    if (window->ListRow(kExtList, i) == label) continue;
    window->ListDelete(kExtList, i);
    window->ListInsert(kExtList, i, label);
  }
}

void ExtractionWindow::Close() {
  window->ShowWindow(false);
  if (Window* main = app_.platform.MainWindow()) main->FocusWindow();
}

}  // namespace tanavo
