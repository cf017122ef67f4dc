// The analysis memo, the user manual and the version box.
#pragma once

#include <string>

namespace tanavo {

struct App;

void OpenAnalysisMemo(App& app);
void OpenUserManual(App& app);
void ShowVersionBox(App& app);

// The path of the memo for the loaded mobile file's extension.
std::string AnalysisMemoPath(const App& app);

}  // namespace tanavo
