#include "check/trial_extraction.h"

#include <string>
#include <string_view>

#include "state/workspace.h"
#include "display/item_decoder.h"
#include "display/record_charset.h"
#include "state/record_history.h"
#include "engine/walk.h"

namespace tanavo {

namespace {

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

}  // namespace

TrialResult RunTrialStep(Workspace& ws, TrialStep step, const std::function<void()>& walkStarts) {
  TrialResult out;
  if (ws.state.mobileFile.empty()) {
    out.refusal = TrialRefusal::NoMobileFile;
    return out;
  }
  int firstEntry = 0;
  if (step != TrialStep::Check) {
    // Going on or back means looking for another record: without a record
    // delimiter there is none to look for.
    firstEntry = FirstEntryOfKind(ws.extraction, EntryKind::DSet);
    if (firstEntry < 0) {
      out.refusal = TrialRefusal::NoDSetEntry;
      return out;
    }
  }
  ResetLastEnd(ws.walk);
  NoteRecordCharset(ws, {});
  if (walkStarts) walkStarts();

  int32_t recordFrom = 1;
  if (step == TrialStep::Next) recordFrom = Top(ws.history) + 1;
  if (step == TrialStep::Previous) recordFrom = Back(ws.history);

  bool historyFull = false;
  ResultText result;
  WalkHooks hooks;
  hooks.onRecord = [&](const TagMatch& record) {
    if (step != TrialStep::Previous && !Push(ws.history, ws.platform, record.start)) historyFull = true;
    result.AddRange(ws.stack.TopOwner(), record.text);
    NoteRecordCharset(ws, record.text);
  };
  hooks.onGroup = [&](int entry) {
    if (entry < 0 || entry >= kTagEntries) return;
    result.AddRange(ws.extraction.entries[entry].name, ws.stack.TopText());
  };
  hooks.onItem = [&](int entry, const std::string& itemText) {
    if (entry < 0 || entry >= kTagEntries) return;
    std::string decoded = DecodeItem(ws, entry, itemText, TextOnlyDecoding()).text;
    result.AddItem(ws.extraction.entries[entry].name, itemText, decoded);
  };

  WalkResult r = WalkRecord(ws.extraction, ws.stack, ws.walk, firstEntry, recordFrom, hooks);
  if (r.recordMissing) {
    out.refusal = TrialRefusal::NoRecordFound;
    return out;  // the view keeps the record it showed
  }
  out.cut = result.Cut();
  out.text = result.Take();
  out.status = historyFull || out.cut ? TrialStatus::Failed : TrialStatus::Shown;
  return out;
}

const char* TrialRefusalText(TrialRefusal refusal) {
  switch (refusal) {
    case TrialRefusal::NoMobileFile: return "携帯データを読み込んでください!!";
    case TrialRefusal::NoDSetEntry: return "D_SETタグが設定されていません!!";
    case TrialRefusal::NoRecordFound: return "D_SETタグが検出されませんでした!!";
    case TrialRefusal::None: break;
  }
  return "";
}

std::string WarningText(TrialWarning warning) {
  switch (warning) {
    case TrialWarning::ResultCut:
      return "設定確認結果が" + std::to_string(kMaxResultTextBytes / (1024 * 1024)) +
             "MBを超えたため、以降は表示しません!!";
  }
  return std::string();
}

}  // namespace tanavo
