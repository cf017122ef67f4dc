// Trying the extraction settings on the mobile file record by record.
#pragma once

namespace tanavo {

struct App;

void TrialExtraction(App& app);  // "確　　認"
void NextRecord(App& app);       // "次へ"
void PreviousRecord(App& app);   // "戻る"

}  // namespace tanavo
