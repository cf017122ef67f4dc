#include "dispset/kdp_file.h"

#include "app/app.h"

namespace tanavo {

void LoadDisplaySettings(App&) {}
void SaveDisplaySettings(App&) {}

}  // namespace tanavo
