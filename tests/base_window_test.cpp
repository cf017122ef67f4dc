#include "platform/base_window.h"

#include <gtest/gtest.h>

#include <vector>

#include "platform/fake/fake_platform.h"

namespace tanavo {
namespace {

struct Owner {
  Platform& platform;
};

constexpr int kPane = 1000;

// A tool window that records what the base asked of it.
class PaneWindow : public BaseWindow<PaneWindow, Owner> {
 public:
  explicit PaneWindow(Owner& owner) : BaseWindow(owner) {}
  static WindowSpec Declaration() {
    return WindowSpec{"PANE", "pane", 300, 200, FrameKind::CaptionSizing, kExNone, false, 0};
  }
  static std::vector<ControlSpec> Controls() { return {{kPane, ControlKind::Edit, kStyleNone, 7, 8, 9, 10, ""}}; }

  Window* seenOnCreation = nullptr;
  std::vector<Rect> layouts;

 private:
  void Created(Window& w) override { seenOnCreation = window == &w ? &w : nullptr; }
  void Layout(int cw, int ch) override {
    window->Move(kPane, 0, 0, cw, ch);
    layouts.push_back(Rect{0, 0, cw, ch});
  }
};

TEST(BaseWindow, KeepsItsWindowLaysOutOnEachSizeAndHidesOnClose) {
  FakePlatform platform;
  Owner owner{platform};
  PaneWindow pane(owner);
  EXPECT_EQ(pane.window, nullptr);
  pane.Create();

  MemoryWindow& w = *platform.WindowOf("PANE");
  ASSERT_EQ(pane.window, &w);
  EXPECT_EQ(pane.seenOnCreation, &w);  // the hook runs with the window already kept
  // No layout before the first size change: the declared positions stand.
  EXPECT_TRUE(pane.layouts.empty());
  EXPECT_EQ(w.ControlRect(kPane).left, 7);

  w.Resize(120, 80);
  ASSERT_EQ(pane.layouts.size(), 1u);
  EXPECT_EQ(w.ControlRect(kPane).Width(), 120);
  EXPECT_EQ(w.ControlRect(kPane).Height(), 80);

  w.ShowWindow(true);
  EXPECT_FALSE(w.RequestClose());
  EXPECT_FALSE(w.Destroyed());
  EXPECT_FALSE(w.IsVisible());
}

}  // namespace
}  // namespace tanavo
