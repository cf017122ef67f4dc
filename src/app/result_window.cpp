#include "app/result_window.h"

#include "app/app.h"
#include "check/trial_extraction.h"

namespace tanavo {

namespace {

constexpr int kOuterWidth = 450;
constexpr int kOuterHeight = 360;
constexpr int kResultFont = 2;

int ShowStep(App& app, TrialStep step) {
  ResultWindow* view = app.resultWindow.get();
  TrialResult r = RunTrialStep(app, step, [view] {
    if (view && view->window) view->window->ShowWindow(true);
  });
  if (r.status == TrialStatus::Refused) {
    ShowWarning(app.platform, TrialRefusalText(r.refusal));
    return 1;
  }
  if (view) view->ShowResult(std::move(r.text));
  if (r.cut) TrialBoxes(app.platform).Warn(TrialWarning::ResultCut);
  return r.status == TrialStatus::Shown ? 0 : 1;
}

}  // namespace

int TrialExtraction(App& app) { return ShowStep(app, TrialStep::Check); }
int NextRecord(App& app) { return ShowStep(app, TrialStep::Next); }
int PreviousRecord(App& app) { return ShowStep(app, TrialStep::Previous); }

void CloseResultWindow(App& app) {
  ResultWindow* view = app.resultWindow.get();
  if (!view || !view->window) return;
  view->window->ShowWindow(false);
  view->ClearResult();
}

WindowSpec ResultWindow::Declaration() {
  return WindowSpec{kResultWindowClass, "設定確認結果", kOuterWidth, kOuterHeight, FrameKind::CaptionSizing, kExNone,
                    false, kResultFont};
}

std::vector<ControlSpec> ResultWindow::Controls() {
  // Created where the first layout would put them; every size change lays them out again.
  return {
      {kResultTextView, ControlKind::TextView,
       kClientEdge | kVScroll | kHScroll | kMultiLine | kAutoVScroll | kAutoHScroll | kReadOnly, 0, 30, 434, 261,
       ""},
      {kResultCloseButton, ControlKind::PushButton, kStyleNone, 379, 5, 50, 20, "終　了"},
      {kResultBackButton, ControlKind::PushButton, kStyleNone, 334, 296, 40, 20, "戻る"},
      {kResultNextButton, ControlKind::PushButton, kStyleNone, 384, 296, 40, 20, "次へ"},
  };
}

void ResultWindow::Layout(int cw, int ch) {
  Window& w = *window;
  w.Move(kResultTextView, 0, 30, cw, ch - 60);
  w.Move(kResultCloseButton, cw - 55, 5, 50, 20);
  w.Move(kResultBackButton, cw - 100, ch - 25, 40, 20);
  w.Move(kResultNextButton, cw - 50, ch - 25, 40, 20);
}

void ResultWindow::ShowResult(std::string text) {
  if (window) window->SetText(kResultTextView, "");  // lets go of the text before it is replaced
  resultText = std::move(text);
  if (window) window->ShowBytes(kResultTextView, resultText);  // shown where it is kept
}

void ResultWindow::ClearResult() {
  if (window) window->SetText(kResultTextView, "");
  resultText = std::string();  // gives the memory back, not only the length
}

void ResultWindow::OnCommand(int id, int code) {
  if (code != kNotifyClick) return;
  switch (id) {
    case kResultCloseButton: CloseResultWindow(app_); break;
    case kResultBackButton: PreviousRecord(app_); break;
    case kResultNextButton: NextRecord(app_); break;
    default: break;
  }
}

}  // namespace tanavo
