#include "app/extraction_window.h"

#include <cmath>

#include "app/app.h"
#include "codec/codec.h"
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
constexpr std::size_t kPrefixBytes = 6;

bool StartsWith(const std::string& text, const char* prefix) { return text.compare(0, kPrefixBytes, prefix) == 0; }

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

void ExtractionWindow::DeleteLine(int row) {
  window->ListDelete(kExtList, row);
  RemoveEntry(app_.extraction, row);
  if (app_.detailWindow) app_.detailWindow->EntryRemoved(row);
}

void ExtractionWindow::SetLine(int row, const std::string& label) {
  if (row < 0 || row >= window->ListCount(kExtList)) return;
  window->ListDelete(kExtList, row);
  window->ListInsert(kExtList, row, label);
  if (row < kTagEntries) app_.extraction.entries[row].name = RemoveByte(label, ' ');
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
  ExtractionSettings& s = app_.extraction;
  int sel = window->ListSelection(kExtList);
  if (sel < 0) return;
  const EntryKind kind = sel < kTagEntries ? s.entries[sel].kind.Value() : EntryKind::None;
  std::string label = window->ListRow(kExtList, sel);
  DeleteLine(sel);
  // A pair goes as a whole: its other line bears the same label. Only that
  // one line goes with it, so that another definition that happens to share
  // the name (possible in a file read from disk) is kept.
  if (kind == EntryKind::DSet || kind == EntryKind::Group) {
    int count = window->ListCount(kExtList);
    for (int i = 0; i < count; ++i) {
      if (window->ListRow(kExtList, i) == label) {
        DeleteLine(i);
        break;
      }
    }
  }
  if (kind == EntryKind::DSet) --s.dsetPairCount;
  if (kind == EntryKind::Group) --s.groupCounter;
  if (kind == EntryKind::Data) --s.dataCounter;
  RenumberDefaultNames();
  int count = window->ListCount(kExtList);
  window->ListSelect(kExtList, sel < count ? sel : count - 1);
}

void ExtractionWindow::RenumberDefaultNames() {
  int count = window->ListCount(kExtList);
  int k = 0;
  for (int i = 0; i < count; ++i) {
    if (StartsWith(window->ListRow(kExtList, i), kDataPrefix)) SetLine(i, kDataPrefix + TwoDigitNumber(++k));
  }

  k = 0;
  for (int i = 0; i < count; ++i) {
    std::string old = window->ListRow(kExtList, i);
    if (!StartsWith(old, kGroupPrefix)) continue;
    double parsed = ParseNumber(std::string_view(old).substr(old.size() - 2));
    long v = std::isfinite(parsed) ? std::lround(parsed) : 0;
    if (k >= v) continue;  // the closing line of a group numbered already
    std::string label = kGroupPrefix + TwoDigitNumber(++k);
    SetLine(i, label);
    // The other line of the pair: searched from two lines below, wrapping
    // around to the top, as far as the line just below.
    int partner = -1;
    for (int step = 2; step <= count + 1; ++step) {
      int j = (i + step) % count;
      if (j != i && window->ListRow(kExtList, j) == old) {
        partner = j;
        break;
      }
    }
    if (partner >= 0) SetLine(partner, label);
    // A group that bore the new number takes the old one: numbers swap.
    for (int j = 0; j < count; ++j) {
      if (j != i && j != partner && window->ListRow(kExtList, j) == label) SetLine(j, old);
    }
  }
}

void ExtractionWindow::Close() {
  window->ShowWindow(false);
  if (Window* main = app_.platform.MainWindow()) main->FocusWindow();
}

}  // namespace tanavo
