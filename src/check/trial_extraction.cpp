#include "check/trial_extraction.h"

#include <string>
#include <string_view>

#include "app/app.h"
#include "display/item_decoder.h"
#include "check/record_history.h"
#include "check/result_window.h"
#include "engine/walk.h"

namespace tanavo {

namespace {

enum class Step { Check, Next, Back };

constexpr std::string_view kCrLf = "\r\n";
constexpr std::string_view kExtractionResult = "抽出結果";

// The result text, built block by block in walk order, in one buffer. What
// would take it past its cap is left out; the first block that does not fit
// is cut there.
class ResultText {
 public:
  void AddRange(std::string_view name, std::string_view matched) {
    Add({name, kCrLf, matched, kCrLf, kCrLf});
  }
  void AddItem(std::string_view name, std::string_view raw, std::string_view decoded) {
    Add({name, kCrLf, raw, kCrLf, kExtractionResult, kCrLf, decoded, kCrLf, kCrLf});
  }
  bool Cut() const { return cut_; }
  std::string Take() { return std::move(text_); }

 private:
  void Add(std::initializer_list<std::string_view> parts) {
    for (std::string_view p : parts) {
      if (cut_) return;
      const std::size_t room = kMaxResultTextBytes - text_.size();
      if (p.size() > room) {
        text_.append(p.data(), room);
        cut_ = true;  // later blocks would leave a gap in walk order
        return;
      }
      text_.append(p);
    }
  }
  std::string text_;
  bool cut_ = false;
};

int RunStep(App& app, Step step) {
  if (app.state.mobileFile.empty()) {
    ShowWarning(app.platform, "携帯データを読み込んでください!!");
    return 1;
  }
  int firstEntry = 0;
  if (step != Step::Check) {
    // Going on or back means looking for another record: without a record
    // delimiter there is none to look for.
    firstEntry = FirstEntryOfKind(app.extraction, EntryKind::DSet);
    if (firstEntry < 0) {
      ShowWarning(app.platform, "D_SETタグが設定されていません!!");
      return 1;
    }
  }
  ResetLastEnd(app.walk);
  ResultWindow* view = app.resultWindow.get();
  if (view && view->window) view->window->ShowWindow(true);

  int32_t recordFrom = 1;
  if (step == Step::Next) recordFrom = Top(app.history) + 1;
  if (step == Step::Back) recordFrom = Back(app.history);

  int status = 0;
  ResultText result;
  WalkHooks hooks;
  hooks.onRecord = [&](const TagMatch& record) {
    if (step != Step::Back && !Push(app.history, app.platform, record.start)) status = 1;
    result.AddRange(app.stack.TopOwner(), record.text);
  };
  hooks.onGroup = [&](int entry) {
    if (entry < 0 || entry >= kTagEntries) return;
    result.AddRange(app.extraction.entries[entry].name, app.stack.TopText());
  };
  hooks.onItem = [&](int entry, const std::string& itemText) {
    if (entry < 0 || entry >= kTagEntries) return;
    std::string decoded = DecodeDataItem(app, entry, itemText);
    result.AddItem(app.extraction.entries[entry].name, itemText, decoded);
  };

  WalkResult r = WalkRecord(app.extraction, app.stack, app.walk, firstEntry, recordFrom, hooks);
  if (r.recordMissing) {
    ShowWarning(app.platform, "D_SETタグが検出されませんでした!!");
    return 1;  // the view keeps the record it showed
  }
  const bool cut = result.Cut();
  if (view) view->ShowResult(result.Take());
  if (cut) {
    ShowWarning(app.platform, "設定確認結果が" + std::to_string(kMaxResultTextBytes / (1024 * 1024)) +
                                  "MBを超えたため、以降は表示しません!!");
    status = 1;
  }
  return status;
}

}  // namespace

int TrialExtraction(App& app) { return RunStep(app, Step::Check); }
int NextRecord(App& app) { return RunStep(app, Step::Next); }
int PreviousRecord(App& app) { return RunStep(app, Step::Back); }

void CloseResultWindow(App& app) {
  ResultWindow* view = app.resultWindow.get();
  if (!view || !view->window) return;
  view->window->ShowWindow(false);
  view->ClearResult();
}

}  // namespace tanavo
