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

// The result text, built block by block in walk order. Blocks that would take
// it past the text view's capacity are left out.
class ResultText {
 public:
  void AddRange(std::string_view name, std::string_view matched) {
    Add({name, kCrLf, matched, kCrLf, kCrLf});
  }
  void AddItem(std::string_view name, std::string_view raw, std::string_view decoded) {
    Add({name, kCrLf, raw, kCrLf, kExtractionResult, kCrLf, decoded, kCrLf, kCrLf});
  }
  const std::string& Text() const { return text_; }

 private:
  void Add(std::initializer_list<std::string_view> parts) {
    std::size_t size = 0;
    for (std::string_view p : parts) size += p.size();
    if (full_ || size > kMaxResultTextBytes - text_.size()) {
      full_ = true;  // later blocks would leave a gap in walk order
      return;
    }
    for (std::string_view p : parts) text_.append(p);
  }
  std::string text_;
  bool full_ = false;
};

// The first used D_SET entry, or -1.
int FirstRecordEntry(const ExtractionSettings& s) {
  int used = UsedCount(s);
  for (int i = 0; i < used && i < kTagEntries; ++i) {
    if (s.entries[i].kind == "D_SET") return i;
  }
  return -1;
}

void RunStep(App& app, Step step) {
  if (app.state.mobileFile.empty()) {
    ShowWarning(app.platform, "携帯データを読み込んでください!!");
    return;
  }
  int firstEntry = 0;
  if (step != Step::Check) {
    // Going on or back means looking for another record: without a record
    // delimiter there is none to look for.
    firstEntry = FirstRecordEntry(app.extraction);
    if (firstEntry < 0) {
      ShowWarning(app.platform, "D_SETタグが設定されていません!!");
      return;
    }
  }
  ResetLastEnd(app.walk);
  Window* w = app.resultWindow ? app.resultWindow->window : nullptr;
  if (w) w->ShowWindow(true);

  int32_t recordFrom = 1;
  if (step == Step::Next) recordFrom = Top(app.history) + 1;
  if (step == Step::Back) recordFrom = Back(app.history);

  ResultText result;
  WalkHooks hooks;
  hooks.onRecord = [&](const TagMatch& record) {
    if (step != Step::Back) Push(app.history, app.platform, record.start);
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
    return;  // the view keeps the record it showed
  }
  if (w) w->SetText(kResultTextView, result.Text());
}

}  // namespace

void TrialExtraction(App& app) { RunStep(app, Step::Check); }
void NextRecord(App& app) { RunStep(app, Step::Next); }
void PreviousRecord(App& app) { RunStep(app, Step::Back); }

void CloseResultWindow(App& app) {
  Window* w = app.resultWindow ? app.resultWindow->window : nullptr;
  if (!w) return;
  w->ShowWindow(false);
  w->SetText(kResultTextView, "");
}

}  // namespace tanavo
