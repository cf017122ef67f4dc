#include "app/conversion_window.h"

#include "app/app.h"
#include "codec/codec.h"
#include "text/bytes.h"

namespace tanavo {

namespace {

constexpr int kConvOuterWidth = 450;
constexpr int kConvOuterHeight = 360;
constexpr int kConvFont = 4;

}  // namespace

WindowSpec ConversionWindow::Declaration() {
  return WindowSpec{kConversionWindowClass, "文字コード変換", kConvOuterWidth, kConvOuterHeight, FrameKind::CaptionOnly,
                    kExControlParent, false, kConvFont};
}

std::vector<ControlSpec> ConversionWindow::Controls() {
  // No size handling: the controls keep these positions.
  return {
      {kConvSourceLabel, ControlKind::Static, kStyleNone, 17, 15, 76, 14, "変換元"},
      {kConvSourceEdit, ControlKind::Edit, kClientEdge | kVScroll | kMultiLine | kWantReturn, 18, 34, 410, 100, ""},
      {kConvMoveUpButton, ControlKind::DefPushButton, kStyleNone, 183, 147, 80, 25, "↑　移動　↑"},
      {kConvResultLabel, ControlKind::Static, kStyleNone, 18, 164, 100, 13, "変換結果"},
      {kConvResultEdit, ControlKind::Edit, kReadOnly | kClientEdge | kVScroll | kMultiLine | kAutoVScroll | kWantReturn,
       18, 183, 410, 100, ""},
      {kConvBase64Button, ControlKind::DefPushButton, kStyleNone, 25, 297, 60, 25, "BASE64"},
      {kConvQuotedPrintableButton, ControlKind::DefPushButton, kStyleNone, 101, 296, 60, 25, "Q-PRINT"},
      {kConvShiftJisButton, ControlKind::DefPushButton, kStyleNone, 177, 297, 60, 25, "S-JIS"},
      {kConvHexDumpButton, ControlKind::DefPushButton, kStyleNone, 255, 297, 60, 25, "１６進"},
      {kConvClearButton, ControlKind::DefPushButton, kStyleNone, 363, 297, 60, 25, "クリア"},
      {kConvCloseButton, ControlKind::DefPushButton, kStyleNone, 369, 4, 60, 25, "終了"},
  };
}

void ConversionWindow::ShowTool() {
  Window* main = app_.platform.MainWindow();
  if (!window || !main) return;
  Rect m = main->Placement();
  Rect own = window->Placement();
  int left = m.right - kConvOffsetFromMainRight;
  int top = m.top + kConvOffsetFromMainTop;
  window->SetPlacement(Rect{left, top, left + own.Width(), top + own.Height()});
  window->ShowWindow(true);
  window->FocusWindow();
}

void ConversionWindow::OnCommand(int id, int code) {
  if (code != kNotifyClick || !window) return;
  Window& w = *window;
  // Each conversion reads the whole source; the result edit shows its
  // result up to the first 0x00 byte.
  switch (id) {
    case kConvBase64Button: w.SetText(kConvResultEdit, DecodeBase64(w.Text(kConvSourceEdit))); break;
    case kConvQuotedPrintableButton:
      w.SetText(kConvResultEdit, DecodeQuotedPrintableLoose(w.Text(kConvSourceEdit)));
      break;
    case kConvShiftJisButton: w.SetText(kConvResultEdit, JisToShiftJisLoose(w.Text(kConvSourceEdit))); break;
    case kConvHexDumpButton:
      w.SetText(kConvResultEdit, HexDump(RemoveByte(w.Text(kConvSourceEdit), '\0')));
      break;
    case kConvMoveUpButton: w.SetText(kConvSourceEdit, w.Text(kConvResultEdit)); break;
    case kConvClearButton: w.SetText(kConvSourceEdit, ""); break;
    case kConvCloseButton: w.ShowWindow(false); break;
    default: break;
  }
}

}  // namespace tanavo
