#include "extract/kta_file.h"

#include "app/app.h"

namespace tanavo {

void LoadExtractionSettings(App&) {}
void SaveExtractionSettings(App&) {}

}  // namespace tanavo
