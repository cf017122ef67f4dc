// Whether quitting now would lose settings the user typed.
#pragma once

namespace tanavo {

struct App;

// True when the extraction settings or the display settings differ from the
// files they were last read from or saved to (from nothing, when there is no
// such file), or when the detail settings window or the display settings
// editor holds edits not taken over yet.
bool HasUnsavedSettings(App& app);

}  // namespace tanavo
