// The start positions of the records shown by the settings check, so that the
// result window can go back.
#pragma once

#include <array>
#include <cstdint>
#include <string>

#include "platform/reporter.h"

namespace tanavo {

constexpr int kHistorySlots = 2500;

enum class HistoryWarning {
  Full,  // a push past kHistorySlots, refused
};
std::string WarningText(HistoryWarning warning);
using HistoryReporter = Reporter<HistoryWarning>;

struct RecordHistory {
  int32_t top = 0;
  std::array<int32_t, kHistorySlots + 1> starts{};  // slots 1 to 2500; slot 0 unused
};

// Stores a start position on top: true when stored, false when the history is
// full (after the warning, through warnings or else in a box of platform;
// nothing is stored, so Back no longer leads to the record shown).
[[nodiscard]] bool Push(RecordHistory& history, Platform& platform, int32_t start, HistoryReporter* warnings = nullptr);
// Drops the record on display and returns the start of the one below it; with
// one position or none, 1 (the search then finds the first record).
int32_t Back(RecordHistory& history);
// The start of the record on display; 0 when none is stored.
int32_t Top(const RecordHistory& history);

}  // namespace tanavo
