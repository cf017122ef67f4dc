// Progress texts at a rate a person can see. Setting a status text costs a
// repaint; a counter set once per record costs more than the work it counts.
// A text is shown when the last one shown is kProgressInterval old or older;
// a text held back is shown by Flush, so a counter always ends on its last
// value.
#pragma once

#include <chrono>
#include <functional>
#include <string>
#include <utility>

namespace tanavo {

constexpr std::chrono::milliseconds kProgressInterval{50};

class ProgressThrottle {
 public:
  using Clock = std::function<std::chrono::steady_clock::time_point()>;

  explicit ProgressThrottle(std::function<void(const std::string&)> show,
                            Clock clock = [] { return std::chrono::steady_clock::now(); })
      : show_(std::move(show)), clock_(std::move(clock)) {}

  void Update(std::string text) {
    const auto now = clock_();
    if (!shownOnce_ || now - lastShown_ >= kProgressInterval) {
      show_(text);
      shownOnce_ = true;
      lastShown_ = now;
      held_ = false;
    } else {
      pending_ = std::move(text);
      held_ = true;
    }
  }

  // Shows the last text held back, if any.
  void Flush() {
    if (held_) show_(pending_);
    held_ = false;
  }

 private:
  std::function<void(const std::string&)> show_;
  Clock clock_;
  std::chrono::steady_clock::time_point lastShown_{};
  bool shownOnce_ = false;
  bool held_ = false;
  std::string pending_;
};

}  // namespace tanavo
