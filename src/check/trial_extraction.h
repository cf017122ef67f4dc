// Trying the extraction settings on the mobile file record by record.
#pragma once

#include <cstddef>

namespace tanavo {

struct App;

// What a text view can show and a person can read: a result text never grows
// past it; one warning says the rest was left out.
constexpr std::size_t kMaxResultTextBytes = 64 * 1024 * 1024;

// Each returns 0 when it showed its record whole, 1 when it failed or was
// refused (no mobile file, no D_SET entry, no record found, the history full
// or the text cut at its cap), after its warning.
int TrialExtraction(App& app);  // "確　　認"
int NextRecord(App& app);       // "次へ"
int PreviousRecord(App& app);   // "戻る"
void CloseResultWindow(App& app);  // "終　了"

}  // namespace tanavo
