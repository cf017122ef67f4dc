// The display settings file (*.kdp).
#pragma once

namespace tanavo {

struct App;

void LoadDisplaySettings(App& app);
void SaveDisplaySettings(App& app);

}  // namespace tanavo
