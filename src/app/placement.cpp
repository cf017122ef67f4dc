#include "app/placement.h"

#include <algorithm>

namespace tanavo {

namespace {

long long Overlap(const Rect& a, const Rect& b) {
  const long long w = std::min(a.right, b.right) - std::max(a.left, b.left);
  const long long h = std::min(a.bottom, b.bottom) - std::max(a.top, b.top);
  return w > 0 && h > 0 ? w * h : 0;
}

// Moved into the screen; a window larger than the screen keeps its top left
// corner on it, where its caption can be reached.
Rect Clamped(int left, int top, int width, int height, int screenWidth, int screenHeight) {
  left = std::max(0, std::min(left, screenWidth - width));
  if (screenHeight > 0) top = std::min(top, screenHeight - height);
  top = std::max(0, top);
  return Rect{left, top, left + width, top + height};
}

}  // namespace

Rect PlaceBeside(const Rect& served, const Rect& main, int width, int height, int screenWidth, int screenHeight) {
  const int candidates[][2] = {
      {served.right, served.top},          {served.left - width, served.top},
      {served.left, served.bottom},        {served.right - width, served.bottom},
      {served.left, served.top - height},  {served.right - width, served.top - height},
      {main.right, served.top},            {main.left, main.bottom},
  };
  Rect best;
  long long bestServed = -1, bestMain = 0;
  for (const auto& c : candidates) {
    const Rect r = Clamped(c[0], c[1], width, height, screenWidth, screenHeight);
    const long long s = Overlap(r, served), m = Overlap(r, main);
    if (bestServed < 0 || s < bestServed || (s == bestServed && m < bestMain)) {
      best = r;
      bestServed = s;
      bestMain = m;
    }
  }
  return best;
}

Rect PlaceToolWindow(Platform& platform, const Window& own, const Window* served) {
  const Window* main = platform.MainWindow();
  const Rect mainRect = main ? main->Placement() : Rect{};
  const Rect ownRect = own.Placement();
  return PlaceBeside(served ? served->Placement() : mainRect, mainRect, ownRect.Width(), ownRect.Height(),
                     platform.ScreenWidth(), platform.ScreenHeight());
}

}  // namespace tanavo
