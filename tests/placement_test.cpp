// Tool windows open where they can be seen: on the screen, off the window
// they serve, and over as little of the main window as the screen allows.
#include <gtest/gtest.h>

#include <algorithm>

#include "app/main_window.h"
#include "app/menus.h"
#include "app/placement.h"
#include "app/extraction_window.h"
#include "app/display_window.h"
#include "app/name_list_window.h"
#include "app/detail_window.h"
#include "test_support.h"

namespace tanavo {
namespace {

long long Overlap(const Rect& a, const Rect& b) {
  const long long w = std::min(a.right, b.right) - std::max(a.left, b.left);
  const long long h = std::min(a.bottom, b.bottom) - std::max(a.top, b.top);
  return w > 0 && h > 0 ? w * h : 0;
}

bool OnScreen(const Rect& r, int width, int height) {
  return r.left >= 0 && r.top >= 0 && r.right <= width && r.bottom <= height;
}

TEST(Placement, BesideTheServedWindowAndOffTheMainWindowWhereThereIsRoom) {
  const Rect main{0, 0, 816, 641};
  const struct {
    const char* what;
    Rect served;
    int screenWidth, screenHeight;
    Rect want;
  } cases[] = {
      {"room right of both", {816, 20, 1099, 381}, 1600, 1200, {1099, 20, 1599, 416}},
      {"served at the right edge: left of it, off the main window", {1317, 20, 1600, 381}, 1600, 1200,
       {817, 20, 1317, 416}},
      {"narrow screen: below, the main window's menu and top lines clear", {741, 20, 1024, 381}, 1024, 768,
       {0, 372, 500, 768}},
  };
  for (const auto& c : cases) {
    const Rect r = PlaceBeside(c.served, main, 500, 396, c.screenWidth, c.screenHeight);
    EXPECT_TRUE(OnScreen(r, c.screenWidth, c.screenHeight)) << c.what;
    EXPECT_EQ(Overlap(r, c.served), 0) << c.what;
    EXPECT_EQ(r.left, c.want.left) << c.what;
    EXPECT_EQ(r.top, c.want.top) << c.what;
  }
}

// On a 1024 x 768 screen the two windows of the issue can be seen.
TEST(Placement, DetailSettingsAndDataNameListOnASmallScreen) {
  FakeApp f;
  f.platform.screenWidth = 1024;
  f.platform.screenHeight = 768;
  f.app.extractionWindow->Open();
  MemoryWindow& ext = f.Win(kExtractionWindowClass);
  ext.Click(kExtAddDSet);
  ext.UserSelect(kExtList, 0);
  ext.Click(kExtDetails);
  MemoryWindow& detail = f.Win(kDetailWindowClass);
  ASSERT_TRUE(detail.IsVisible());
  const Rect d = detail.Placement(), e = ext.Placement(), m = f.Win(kMainWindowClass).Placement();
  EXPECT_TRUE(OnScreen(d, 1024, 768));
  EXPECT_EQ(Overlap(d, e), 0);
  EXPECT_GE(d.top, m.top + 60);  // the main window's caption and menu stay clear

  f.app.mainWindow->OnCommand(kCmdDisplaySettings, 0);
  MemoryWindow& names = f.Win(kNameListWindowClass);
  ASSERT_TRUE(names.IsVisible());
  const Rect n = names.Placement(), editor = f.Win(kDisplayWindowClass).Placement();
  EXPECT_TRUE(OnScreen(n, 1024, 768));
  EXPECT_EQ(Overlap(n, editor), 0);
  EXPECT_EQ(Overlap(n, m), 0);  // there is room right of the main window
}

}  // namespace
}  // namespace tanavo
