// The extraction settings file (*.kta): 800-byte entries of sixteen 50-byte fields.
#pragma once

namespace tanavo {

struct App;

void LoadExtractionSettings(App& app);
void SaveExtractionSettings(App& app);

}  // namespace tanavo
