// Trying the extraction settings on the mobile file record by record.
#pragma once

#include <cstddef>

namespace tanavo {

struct App;

// The text view's length is a signed 32-bit count: a result text never grows
// past it, whatever the settings make the walk match.
constexpr std::size_t kMaxResultTextBytes = 0x7FFFFFFF;

void TrialExtraction(App& app);    // "確　　認"
void NextRecord(App& app);         // "次へ"
void PreviousRecord(App& app);     // "戻る"
void CloseResultWindow(App& app);  // "終　了"

}  // namespace tanavo
