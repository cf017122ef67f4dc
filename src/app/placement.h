// Where a tool window opens beside the window it serves.
#pragma once

#include "platform/platform.h"

namespace tanavo {

// A place for a window of width x height: within the screen (screenHeight 0:
// no bottom edge), covering as little of the served window as can be, then as
// little of the main window (its menu and its raw text) as can be. Tried
// beside the served window (right, left), then below and above it; the first
// best of those wins.
Rect PlaceBeside(const Rect& served, const Rect& main, int width, int height, int screenWidth, int screenHeight);

// PlaceBeside for a window of the program, with the main window's and the
// screen's measures taken from the platform.
Rect PlaceToolWindow(Platform& platform, const Window& own, const Window* served);

}  // namespace tanavo
