// The detail settings window: every field of one tag definition, with control
// bytes shown and typed as "[CR]", "[LF]", "[SP]", "[EC]" and "[TB]".
#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "extract/settings.h"
#include "platform/base_window.h"
#include "platform/platform.h"

namespace tanavo {

struct App;

// The thirteen edit fields, by slot number 1 to 13.
constexpr int kDetailSlots = 13;
constexpr int kDetailRangeStart = 1000;    // slot 1
constexpr int kDetailRangeEnd = 1014;      // slot 2
constexpr int kDetailName = 1018;          // slot 3
constexpr int kDetailDataTypeStart = 1021;  // slots 4 to 11: content extraction tags
constexpr int kDetailDataTypeEnd = 1023;
constexpr int kDetailEncodingStart = 1025;
constexpr int kDetailEncodingEnd = 1027;
constexpr int kDetailJapaneseStart = 1028;
constexpr int kDetailJapaneseEnd = 1030;
constexpr int kDetailContentStart = 1031;
constexpr int kDetailContentEnd = 1033;
constexpr int kDetailLineEnd = 1042;       // slot 12
constexpr int kDetailNextLineHead = 1043;  // slot 13

constexpr int kDetailTitle = 1036;
constexpr int kDetailTokenCR = 1006;
constexpr int kDetailTokenLF = 1010;
constexpr int kDetailTokenTab = 1002;
constexpr int kDetailTokenEsc = 1001;
constexpr int kDetailTokenSpace = 1008;
constexpr int kDetailSearchAfterPrevious = 1044;  // check box
constexpr int kDetailSearchAfterPreviousLabel = 1045;
constexpr int kDetailApplyToMultiple = 1037;  // check box
constexpr int kDetailApplyToMultipleLabel = 1038;
constexpr int kDetailFinish = 1011;
// Data entries only: the entry's item read in full as Internet mail, stored
// as the marker in the Japanese code pair (mime/full_choice.h).
constexpr int kDetailFullMime = 1046;  // check box
// The record entry only: whose emoji its records' user-defined codes are,
// stepped through auto, docomo, au, SoftBank and none on each click, stored
// in the Japanese code pair (extract/carrier_choice.h).
constexpr int kDetailCarrier = 1047;  // push button
// Data entries only: the charset the entry's text is in (extract/item_charset.h),
// stepped through the tags' charset, UTF-8, EUC-JP and UTF-16, kept in the
// Japanese code pair; not with full decoding, which reads the mail's own.
constexpr int kDetailItemCharset = 1048;  // push button

// An edit field holds this many bytes; a token is appended only while the
// field holds at most kDetailFieldBytes - 4, so that it always fits whole.
constexpr std::size_t kDetailFieldBytes = 203;
constexpr std::size_t kTokenBytes = 4;

// The class the window is registered under; tests and tools find it by it.
inline constexpr char kDetailWindowClass[] = "NORMAL3";

class DetailWindow : public BaseWindow<DetailWindow, App> {
 public:
  explicit DetailWindow(App& app) : BaseWindow(app) {}
  static WindowSpec Declaration();
  static std::vector<ControlSpec> Controls();
  void OnCommand(int id, int code) override;

  // Opens the window for the selected line of the extraction settings list.
  void Open();

  // The extraction settings list gained or lost lines while this window was
  // open: the entry being edited is followed to its new line, and the window
  // is hidden when that entry is gone.
  void EntriesInserted(int at, int count);
  void EntryRemoved(int index);
  // The table was replaced: the entry being edited is gone.
  void Dismiss();
  // The window is open with a field or a flag changed since it was filled:
  // typed, but not applied to the settings.
  bool HasEditsNotApplied() const;

  int editIndex = -1;
  int partnerIndex = -1;
  KindText editKind;
  int focusedSlot = 0;

 private:
  void Created(Window& w) override;
  void AppendToken(const char* token);
  void FullMimeClicked();
  void CarrierClicked();
  void ItemCharsetClicked();
  // The pair's fields and the charset button as the pair shown and the full
  // decoding check box have them.
  void ShowPairState();
  void ApplyAndClose();
  std::string SlotText(int slot) const;

  // What each slot was filled with, whole: the control shows a text only up
  // to its first NUL byte, and an untouched field must keep every byte.
  std::string shown_[kDetailSlots + 1];
  // The Japanese code pair as it was before full decoding was checked, given
  // back when it is unchecked again; empty when it was not checked here.
  bool pairSaved_ = false;
  std::string savedPair_[2];
};

}  // namespace tanavo
