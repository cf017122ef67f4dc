// Placeholder until trial extraction lands.
#include "engine/trial_extraction.h"

namespace tanavo {
void TrialExtraction(App&) {}
void NextRecord(App&) {}
void PreviousRecord(App&) {}
void CloseResultWindow(App&) {}
}  // namespace tanavo
