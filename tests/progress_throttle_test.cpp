#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/progress_throttle.h"

namespace tanavo {
namespace {

TEST(ProgressThrottle, ShowsAtMostEveryIntervalAndEndsOnTheLastText) {
  struct Case {
    std::vector<int> at;  // milliseconds of each update, texts "0", "1", ...
    std::vector<std::string> shown;
  } cases[] = {
      {{0}, {"0"}},
      {{0, 10, 20}, {"0", "2"}},            // held back, then flushed
      {{0, 50, 60, 100}, {"0", "1", "3"}},  // the interval counts from the last shown
      {{0, 49, 120}, {"0", "2"}},           // nothing held back at the end
      {{}, {}},
  };
  for (const Case& c : cases) {
    std::vector<std::string> shown;
    int now = 0;
    ProgressThrottle t([&](const std::string& s) { shown.push_back(s); },
                       [&] { return std::chrono::steady_clock::time_point(std::chrono::milliseconds(now)); });
    for (std::size_t i = 0; i < c.at.size(); ++i) {
      now = c.at[i];
      t.Update(std::to_string(i));
    }
    t.Flush();
    t.Flush();  // once only
    EXPECT_EQ(shown, c.shown) << c.at.size();
  }
}

}  // namespace
}  // namespace tanavo
