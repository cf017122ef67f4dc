#include "state/record_history.h"

namespace tanavo {

namespace {
bool InSlots(int32_t slot) { return slot >= 1 && slot <= kHistorySlots; }
}  // namespace

std::string WarningText(HistoryWarning warning) {
  switch (warning) {
    case HistoryWarning::Full: return "スタックの階層が深すぎます!!";
  }
  return std::string();
}

bool Push(RecordHistory& history, Platform& platform, int32_t start, HistoryReporter* warnings) {
  if (history.top >= kHistorySlots) {
    Report(platform, warnings, HistoryWarning::Full);
    return false;
  }
  if (history.top < 0) history.top = 0;
  ++history.top;
  history.starts[history.top] = start;
  return true;
}

int32_t Back(RecordHistory& history) {
  if (history.top <= 1) return 1;
  if (history.top > kHistorySlots) history.top = kHistorySlots + 1;  // never index past the slots
  --history.top;
  return history.starts[history.top];
}

int32_t Top(const RecordHistory& history) {
  return InSlots(history.top) ? history.starts[history.top] : 0;
}

}  // namespace tanavo
