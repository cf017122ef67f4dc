// The character code conversion tool: a source text, a result text and the
// buttons that apply the codecs to it.
#pragma once

#include <vector>

#include "platform/base_window.h"
#include "platform/platform.h"

namespace tanavo {

struct App;

enum ConversionControl {
  kConvSourceEdit = 1000,
  kConvBase64Button = 1001,
  kConvQuotedPrintableButton = 1002,
  kConvResultLabel = 1004,
  kConvHexDumpButton = 1006,
  kConvCloseButton = 1008,
  kConvClearButton = 1009,
  kConvShiftJisButton = 1010,
  kConvMoveUpButton = 1011,
  kConvSourceLabel = 1012,
  kConvResultEdit = 1014,
};

// Where the tool opens, relative to the main window's normal position.
constexpr int kConvOffsetFromMainRight = 300;
constexpr int kConvOffsetFromMainTop = 200;

// The class the window is registered under; tests and tools find it by it.
inline constexpr char kConversionWindowClass[] = "NORMAL4";

class ConversionWindow : public BaseWindow<ConversionWindow, App> {
 public:
  explicit ConversionWindow(App& app) : BaseWindow(app) {}
  static WindowSpec Declaration();
  static std::vector<ControlSpec> Controls();
  // The menu command: moves the tool beside the main window, shows it and
  // gives it the focus. The texts stay from the last use.
  void ShowTool();

  void OnCommand(int id, int code) override;
};

}  // namespace tanavo
