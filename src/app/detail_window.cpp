#include "app/detail_window.h"

#include "app/app.h"
#include "app/placement.h"
#include "text/bytes.h"
#include "app/extraction_window.h"
#include "extract/carrier_choice.h"
#include "extract/item_charset.h"
#include "extract/settings.h"
#include "mime/full_choice.h"

namespace tanavo {

namespace {

struct Slot {
  int id;
  std::string TagDefinition::*member;
};

// Slot numbers are 1-based; element 0 is unused.
const Slot kSlots[kDetailSlots + 1] = {
    {0, nullptr},
    {kDetailRangeStart, &TagDefinition::rangeStartTag},
    {kDetailRangeEnd, &TagDefinition::rangeEndTag},
    {kDetailName, &TagDefinition::name},
    {kDetailDataTypeStart, &TagDefinition::dataTypeStartTag},
    {kDetailDataTypeEnd, &TagDefinition::dataTypeEndTag},
    {kDetailEncodingStart, &TagDefinition::encodingStartTag},
    {kDetailEncodingEnd, &TagDefinition::encodingEndTag},
    {kDetailJapaneseStart, &TagDefinition::japaneseCodeStartTag},
    {kDetailJapaneseEnd, &TagDefinition::japaneseCodeEndTag},
    {kDetailContentStart, &TagDefinition::contentStartTag},
    {kDetailContentEnd, &TagDefinition::contentEndTag},
    {kDetailLineEnd, &TagDefinition::lineEnd},
    {kDetailNextLineHead, &TagDefinition::nextLineHead},
};
constexpr int kNameSlot = 3;
constexpr int kFirstContentSlot = 4;
constexpr int kLastContentSlot = 11;
constexpr int kJapaneseStartSlot = 8;
constexpr int kJapaneseEndSlot = 9;

std::string CarrierButtonText(CarrierSetting setting) {
  switch (setting) {
    case CarrierSetting::Auto: return "絵文字: 自動";
    case CarrierSetting::None: return "絵文字: なし";
    default: return std::string("絵文字: ") + CarrierSettingName(setting);
  }
}

constexpr const char* kCaption = "変数のテスト";

}  // namespace

WindowSpec DetailWindow::Declaration() {
  return WindowSpec{kDetailWindowClass, "詳細設定", 500, 396, FrameKind::CaptionOnly, kExNone, false, 3};
}

std::vector<ControlSpec> DetailWindow::Controls() {
  using K = ControlKind;
  const unsigned scrolling = kClientEdge | kAutoHScroll;
  return {
      {kDetailRangeStart, K::Edit, scrolling, 44, 93, 80, 20, ""},
      {kDetailRangeEnd, K::Edit, scrolling, 44, 201, 80, 20, ""},
      {kDetailName, K::Edit, scrolling, 86, 27, 156, 20, ""},
      {kDetailDataTypeStart, K::Edit, scrolling, 235, 83, 80, 20, ""},
      {kDetailDataTypeEnd, K::Edit, scrolling, 406, 83, 80, 20, ""},
      {kDetailEncodingStart, K::Edit, scrolling, 235, 125, 80, 20, ""},
      {kDetailEncodingEnd, K::Edit, scrolling, 406, 125, 80, 20, ""},
      {kDetailJapaneseStart, K::Edit, scrolling, 235, 166, 80, 20, ""},
      {kDetailJapaneseEnd, K::Edit, scrolling, 406, 166, 80, 20, ""},
      {kDetailContentStart, K::Edit, scrolling, 235, 206, 80, 20, ""},
      {kDetailContentEnd, K::Edit, scrolling, 406, 206, 80, 20, ""},
      // The continuation condition takes only what fits in its box.
      {kDetailLineEnd, K::Edit, kClientEdge, 96, 255, 80, 20, ""},
      {kDetailNextLineHead, K::Edit, kClientEdge, 97, 281, 80, 20, ""},
      {kDetailTitle, K::Static, kStyleNone, 14, 2, 180, 12, ""},
      {1035, K::Static, kStyleNone, 16, 31, 62, 15, "データ名称"},
      {1020, K::Static, kStyleNone, 16, 65, 102, 12, "データ範囲識別タグ"},
      {1016, K::Static, kStyleNone, 16, 98, 23, 14, "タグ"},
      {1007, K::Static, kStyleNone, 70, 121, 12, 12, "↑"},
      {1012, K::Static, kStyleNone, 41, 138, 66, 12, "１件のデータ"},
      {1004, K::Static, kStyleNone, 41, 151, 82, 13, "グループデータ"},
      {1005, K::Static, kStyleNone, 41, 166, 57, 13, "データ項目"},
      {1019, K::Static, kStyleNone, 170, 152, 12, 14, "⇒"},
      {1015, K::Static, kStyleNone, 70, 185, 12, 14, "↓"},
      {1017, K::Static, kStyleNone, 16, 208, 22, 14, "タグ"},
      {1024, K::Static, kStyleNone, 236, 65, 106, 14, "データ内容抽出タグ"},
      {1022, K::Static, kStyleNone, 326, 90, 75, 13, "データタイプ"},
      {1026, K::Static, kStyleNone, 321, 131, 75, 13, "エンコード方法"},
      {1029, K::Static, kStyleNone, 326, 172, 67, 13, "日本語コード"},
      {1032, K::Static, kStyleNone, 331, 213, 62, 12, "コンテンツ"},
      {1039, K::Static, kStyleNone, 19, 238, 65, 12, "継続行条件"},
      {1040, K::Static, kStyleNone, 41, 260, 50, 12, "行終端"},
      {1041, K::Static, kStyleNone, 41, 283, 53, 12, "次行先頭"},
      {1034, K::Static, kStyleNone, 18, 323, 80, 13, "特殊文字入力"},
      {kDetailTokenCR, K::PushButton, kStyleNone, 20, 345, 50, 20, "CR"},
      {kDetailTokenLF, K::PushButton, kStyleNone, 80, 345, 50, 20, "LF"},
      {kDetailTokenTab, K::PushButton, kStyleNone, 140, 345, 50, 20, "TAB"},
      {kDetailTokenEsc, K::PushButton, kStyleNone, 201, 345, 50, 20, "ESC"},
      {kDetailTokenSpace, K::PushButton, kStyleNone, 260, 345, 50, 20, "SPACE"},
      {kDetailSearchAfterPrevious, K::CheckBox, kStyleNone, 342, 320, 14, 20, "Check2"},
      {kDetailSearchAfterPreviousLabel, K::Static, kStyleNone, 362, 324, 120, 20, "前タグの次から検索"},
      {kDetailApplyToMultiple, K::CheckBox, kStyleNone, 342, 345, 14, 20, "Check1"},
      {kDetailApplyToMultipleLabel, K::Static, kStyleNone, 362, 349, 120, 20, "複数のデータに適応"},
      {kDetailFinish, K::PushButton, kStyleNone, 430, 5, 50, 20, "終了"},
      // Below the content extraction tags it changes the meaning of.
      {kDetailFullMime, K::CheckBox, kStyleNone, 235, 232, 160, 20, "MIME全体を解読"},
      {kDetailCarrier, K::PushButton, kStyleNone, 235, 232, 160, 20, "絵文字: 自動"},
      {kDetailItemCharset, K::PushButton, kStyleNone, 235, 256, 160, 20, "文字コード: タグ"},
  };
}

void DetailWindow::Created(Window& w) {
  for (int slot = 1; slot <= kDetailSlots; ++slot) w.SetTextLimit(kSlots[slot].id, kDetailFieldBytes);
}

void DetailWindow::OnCommand(int id, int code) {
  if (!window) return;
  if (code == kNotifySetFocus) {
    for (int slot = 1; slot <= kDetailSlots; ++slot) {
      if (kSlots[slot].id == id) focusedSlot = slot;
    }
    return;
  }
  if (code != kNotifyClick) return;
  switch (id) {
    case kDetailTokenCR: AppendToken("[CR]"); break;
    case kDetailTokenLF: AppendToken("[LF]"); break;
    case kDetailTokenTab: AppendToken("[TB]"); break;
    case kDetailTokenEsc: AppendToken("[EC]"); break;
    case kDetailTokenSpace: AppendToken("[SP]"); break;
    case kDetailFinish: ApplyAndClose(); break;
    case kDetailFullMime: FullMimeClicked(); break;
    case kDetailCarrier: CarrierClicked(); break;
    case kDetailItemCharset: ItemCharsetClicked(); break;
    default: break;
  }
}

void DetailWindow::Open() {
  Window* list = app_.extractionWindow ? app_.extractionWindow->window : nullptr;
  if (!window || !list) return;
  int line = list->ListSelection(kExtList);
  std::string label = list->ListRow(kExtList, line);
  if (line < 0 || line >= kTagEntries || label.empty()) return;
  const TagDefinition& e = app_.extraction.entries[line];

  window->SetText(kDetailTitle, RemoveByte(label, ' ') + "の詳細設定");
  // Content extraction tags belong to data items; a record has no flags.
  bool content = e.kind != EntryKind::DSet && e.kind != EntryKind::Group;
  bool flags = e.kind != EntryKind::DSet;
  for (int slot = kFirstContentSlot; slot <= kLastContentSlot; ++slot) window->Enable(kSlots[slot].id, content);
  for (int id : {kDetailApplyToMultiple, kDetailApplyToMultipleLabel, kDetailSearchAfterPrevious,
                 kDetailSearchAfterPreviousLabel}) {
    window->Show(id, flags);
  }
  for (int slot = 1; slot <= kDetailSlots; ++slot) {
    shown_[slot] = ToTagNotation(e.*kSlots[slot].member);
    window->SetText(kSlots[slot].id, shown_[slot]);
  }
  window->SetChecked(kDetailApplyToMultiple, e.applyToMultiple.Value());
  window->SetChecked(kDetailSearchAfterPrevious, e.searchAfterPrevious.Value());
  // The pair that holds the full decoding marker is the check box's, not typed.
  const bool full = IsFullMimeEntry(e);
  window->Show(kDetailFullMime, e.kind == EntryKind::Data);
  window->SetChecked(kDetailFullMime, full);
  window->Show(kDetailItemCharset, e.kind == EntryKind::Data);
  window->Show(kDetailCarrier, e.kind == EntryKind::DSet);
  window->SetText(kDetailCarrier, CarrierButtonText(EntryCarrierSetting(e)));
  pairSaved_ = false;

  editIndex = line;
  partnerIndex = FindPartner(app_.extraction, line);
  editKind = e.kind;
  ShowPairState();
  // Beside the list it serves, off the raw text one reads while typing tags.
  window->SetPlacement(PlaceToolWindow(app_.platform, *window, list));
  window->ShowWindow(true);
}

bool DetailWindow::HasEditsNotApplied() const {
  if (!window || !window->IsVisible() || editIndex < 0 || editIndex >= kTagEntries) return false;
  for (int slot = 1; slot <= kDetailSlots; ++slot) {
    if (SlotText(slot) != shown_[slot]) return true;
  }
  const TagDefinition& e = app_.extraction.entries[static_cast<std::size_t>(editIndex)];
  return window->IsChecked(kDetailApplyToMultiple) != e.applyToMultiple.Value() ||
         window->IsChecked(kDetailSearchAfterPrevious) != e.searchAfterPrevious.Value() ||
         window->IsChecked(kDetailFullMime) != IsFullMimeEntry(e);
}

void DetailWindow::FullMimeClicked() {
  if (editKind != EntryKind::Data) return;
  const bool on = window->IsChecked(kDetailFullMime);
  TagDefinition pair;
  pair.kind = kKindData;
  pair.japaneseCodeStartTag = FromTagNotation(SlotText(kJapaneseStartSlot));
  pair.japaneseCodeEndTag = FromTagNotation(SlotText(kJapaneseEndSlot));
  std::string shown[2];
  if (on) {
    savedPair_[0] = SlotText(kJapaneseStartSlot);
    savedPair_[1] = SlotText(kJapaneseEndSlot);
    pairSaved_ = true;
  }
  SetFullMimeEntry(pair, on);
  if (!on && pairSaved_) {
    // Checked and unchecked again: the pair as it was, typed bytes and all.
    shown[0] = savedPair_[0];
    shown[1] = savedPair_[1];
    pairSaved_ = false;
  } else {
    shown[0] = ToTagNotation(pair.japaneseCodeStartTag);
    shown[1] = ToTagNotation(pair.japaneseCodeEndTag);
  }
  window->SetText(kDetailJapaneseStart, shown[0]);
  window->SetText(kDetailJapaneseEnd, shown[1]);
  ShowPairState();
}

void DetailWindow::ShowPairState() {
  TagDefinition pair;
  pair.kind = editKind;
  pair.japaneseCodeStartTag = FromTagNotation(SlotText(kJapaneseStartSlot));
  pair.japaneseCodeEndTag = FromTagNotation(SlotText(kJapaneseEndSlot));
  const bool data = editKind == EntryKind::Data;
  const bool full = data && window->IsChecked(kDetailFullMime);
  const ItemCharset charset = EntryItemCharset(pair);
  // A pair the check box or the button fills is theirs, not typed.
  const bool typed = data && !full && charset == ItemCharset::Tags;
  const bool content = editKind != EntryKind::DSet && editKind != EntryKind::Group;
  window->Enable(kDetailJapaneseStart, content && (typed || !data));
  window->Enable(kDetailJapaneseEnd, content && (typed || !data));
  window->Enable(kDetailItemCharset, data && !full);
  window->SetText(kDetailItemCharset, charset == ItemCharset::Tags
                                          ? std::string("文字コード: タグ")
                                          : std::string("文字コード: ") + ItemCharsetName(charset));
}

void DetailWindow::ItemCharsetClicked() {
  if (editKind != EntryKind::Data || window->IsChecked(kDetailFullMime)) return;
  TagDefinition pair;
  pair.kind = editKind;
  pair.japaneseCodeStartTag = FromTagNotation(SlotText(kJapaneseStartSlot));
  pair.japaneseCodeEndTag = FromTagNotation(SlotText(kJapaneseEndSlot));
  const ItemCharset current = EntryItemCharset(pair);
  if (current == ItemCharset::Tags) {
    savedPair_[0] = SlotText(kJapaneseStartSlot);
    savedPair_[1] = SlotText(kJapaneseEndSlot);
    pairSaved_ = true;
  }
  const ItemCharset next = NextItemCharset(current);
  SetEntryItemCharset(pair, next);
  if (next == ItemCharset::Tags && pairSaved_) {
    // Round to the tags again: the pair as it was, typed bytes and all.
    window->SetText(kDetailJapaneseStart, savedPair_[0]);
    window->SetText(kDetailJapaneseEnd, savedPair_[1]);
    pairSaved_ = false;
  } else {
    window->SetText(kDetailJapaneseStart, ToTagNotation(pair.japaneseCodeStartTag));
    window->SetText(kDetailJapaneseEnd, ToTagNotation(pair.japaneseCodeEndTag));
  }
  ShowPairState();
}

void DetailWindow::CarrierClicked() {
  if (editKind != EntryKind::DSet) return;
  // The pair as shown is the one applied on finishing, to both lines of the pair.
  TagDefinition pair;
  pair.japaneseCodeStartTag = FromTagNotation(SlotText(kJapaneseStartSlot));
  pair.japaneseCodeEndTag = FromTagNotation(SlotText(kJapaneseEndSlot));
  const CarrierSetting next = NextCarrierSetting(EntryCarrierSetting(pair));
  SetEntryCarrierSetting(pair, next);
  window->SetText(kDetailJapaneseStart, ToTagNotation(pair.japaneseCodeStartTag));
  window->SetText(kDetailJapaneseEnd, ToTagNotation(pair.japaneseCodeEndTag));
  window->SetText(kDetailCarrier, CarrierButtonText(next));
}

std::string DetailWindow::SlotText(int slot) const {
  std::string text = window->Text(kSlots[slot].id);
  const std::string& filled = shown_[slot];
  return text == filled.substr(0, filled.find('\0')) ? filled : text;
}

void DetailWindow::AppendToken(const char* token) {
  if (focusedSlot < 1 || focusedSlot > kDetailSlots) return;
  int id = kSlots[focusedSlot].id;
  if (!window->IsEnabled(id)) return;  // a greyed-out field keeps what it shows
  std::string text = window->Text(id);
  if (text.size() <= kDetailFieldBytes - kTokenBytes) {
    window->SetText(id, text + token);
    window->SetCaretToEnd(id);
  }
  window->Focus(id);
}

void DetailWindow::ApplyAndClose() {
  ExtractionSettings& s = app_.extraction;
  Window* list = app_.extractionWindow ? app_.extractionWindow->window : nullptr;
  if (editIndex < 0 || editIndex >= kTagEntries || !list) {
    window->ShowWindow(false);
    return;
  }
  std::string values[kDetailSlots + 1];
  for (int slot = 1; slot <= kDetailSlots; ++slot) values[slot] = FromTagNotation(SlotText(slot));
  const std::string& name = values[kNameSlot];

  TagDefinition edited;
  for (int slot = 1; slot <= kDetailSlots; ++slot) edited.*kSlots[slot].member = values[slot];
  edited.applyToMultiple = window->IsChecked(kDetailApplyToMultiple);
  edited.searchAfterPrevious = window->IsChecked(kDetailSearchAfterPrevious);
  switch (ApplyEntryEdit(s, editIndex, partnerIndex, edited)) {
    case NameCheck::NotSet:
      app_.platform.MessageBox(BoxOwner::None, "データ名称が設定されていません!!", kCaption, BoxIcon::None);
      return;
    case NameCheck::Taken:
      app_.platform.MessageBox(BoxOwner::None, "データ名称= " + name + " は既に定義されてます!!", kCaption,
                               BoxIcon::None);
      return;
    case NameCheck::Ok: break;
  }
  const TagDefinition& e = s.entries[editIndex];
  bool pair = editKind == EntryKind::DSet || editKind == EntryKind::Group;
  bool partnerValid = pair && partnerIndex >= 0 && partnerIndex < kTagEntries && partnerIndex != editIndex;
  const int lines = list->ListCount(kExtList);

  // Relabel without touching the names again: a name may hold spaces.
  std::string label = ListLabel(e);
  for (int row : {editIndex, partnerValid ? partnerIndex : -1}) {
    if (row < 0 || row >= lines) continue;
    list->ListDelete(kExtList, row);
    list->ListInsert(kExtList, row, label);
  }
  list->ListSelect(kExtList, editIndex);
  window->ShowWindow(false);
}

void DetailWindow::EntriesInserted(int at, int count) {
  if (editIndex >= at) editIndex += count;
  if (partnerIndex >= at) partnerIndex += count;
}

void DetailWindow::EntryRemoved(int index) {
  if (index == editIndex) {
    editIndex = -1;
    if (window && window->IsVisible()) window->ShowWindow(false);
  } else if (editIndex > index) {
    --editIndex;
  }
  if (index == partnerIndex) {
    partnerIndex = -1;
  } else if (partnerIndex > index) {
    --partnerIndex;
  }
}

void DetailWindow::Dismiss() {
  if (window && window->IsVisible()) window->ShowWindow(false);
}

}  // namespace tanavo
