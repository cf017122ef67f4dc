// Trying the extraction settings on the mobile file record by record: each
// step returns the result text of one record and shows nothing; the settings
// check result window shows it.
#pragma once

#include <cstddef>
#include <functional>
#include <string>

#include "platform/reporter.h"

namespace tanavo {

struct Workspace;

// What a text view can show and a person can read: a result text never grows
// past it; one warning says the rest was left out.
constexpr std::size_t kMaxResultTextBytes = 64 * 1024 * 1024;

enum class TrialStep {
  Check,     // "確　　認": from the first record
  Next,      // "次へ"
  Previous,  // "戻る"
};

enum class TrialStatus {
  Shown,     // the record's result text, whole
  Failed,    // a result text, but the history was full or the text cut at its cap
  Refused,   // no result text: no mobile file, no D_SET entry or no record found (TrialResult::refusal)
};

// Why a step was refused, for its caller to show as a warning.
enum class TrialRefusal {
  None,           // not refused
  NoMobileFile,   // no mobile file loaded
  NoDSetEntry,    // next or back without a D_SET entry
  NoRecordFound,  // the walk found no record from where it began
};
// The warning's text of a refusal; "" for None.
const char* TrialRefusalText(TrialRefusal refusal);

struct TrialResult {
  TrialStatus status = TrialStatus::Refused;
  TrialRefusal refusal = TrialRefusal::None;  // Refused: why
  std::string text;  // the result text (Shown and Failed)
  bool cut = false;  // the text stopped at kMaxResultTextBytes: TrialWarning::ResultCut
};

// One step of the settings check. walkStarts is called once the step has
// passed its checks and walks the file: the window program shows the result
// window then, before any box of the walk.
[[nodiscard]] TrialResult RunTrialStep(Workspace& ws, TrialStep step,
                                       const std::function<void()>& walkStarts = nullptr);

// What the settings check warns of once the result text is on display.
enum class TrialWarning {
  ResultCut,  // TrialResult::cut: the text stopped at kMaxResultTextBytes
};
std::string WarningText(TrialWarning warning);
using TrialBoxes = BoxReporter<TrialWarning>;

}  // namespace tanavo
