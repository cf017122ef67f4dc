// The settings check result window: what the trial extraction matched, record
// by record, with buttons to go on, go back and close.
#pragma once

#include <string>
#include <vector>

#include "platform/base_window.h"
#include "platform/platform.h"

namespace tanavo {

struct App;

constexpr int kResultTextView = 1000;
constexpr int kResultCloseButton = 1001;
constexpr int kResultBackButton = 1002;
constexpr int kResultNextButton = 1010;

// The buttons of the settings check, on the result window: each returns 0
// when it showed its record whole, 1 when it failed or was refused (no mobile
// file, no D_SET entry, no record found, the history full or the text cut at
// its cap), after its warning.
int TrialExtraction(App& app);     // "確　　認"
int NextRecord(App& app);          // "次へ"
int PreviousRecord(App& app);      // "戻る"
void CloseResultWindow(App& app);  // "終　了"

// The class the window is registered under; tests and tools find it by it.
inline constexpr char kResultWindowClass[] = "NORMAL2";

class ResultWindow : public BaseWindow<ResultWindow, App> {
 public:
  explicit ResultWindow(App& app) : BaseWindow(app) {}
  static WindowSpec Declaration();
  static std::vector<ControlSpec> Controls();

  void OnCommand(int id, int code) override;

  // Puts a result text on display: the view shows it up to its first NUL
  // byte, as its control does; the text itself is kept whole, moved, not
  // copied.
  void ShowResult(std::string text);
  void ClearResult();

  // The text on display, as it was built; the text view shows these bytes,
  // so it changes only through ShowResult and ClearResult.
  std::string resultText;

 private:
  // Laid out at once: the in-memory windows get no size message while hidden.
  void Created(Window&) override { LayOutNow(); }
  void Layout(int cw, int ch) override;
};

}  // namespace tanavo
