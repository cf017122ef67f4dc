// A command's warnings as codes with what they name (numbers, a text), told
// to a reporter its caller gives, so that tests assert codes and each front
// door shows them its way. BoxReporter shows each as the "警告" box it always
// was (a window, or a "警告: text" line of tanavo-cli), its text given by the
// WarningText overload of the code's enum, declared beside the enum.
#pragma once

#include <utility>

#include "platform/platform.h"

namespace tanavo {

template <typename Code, typename... Details>
class Reporter {
 public:
  virtual ~Reporter() = default;
  virtual void Warn(Code code, Details... details) = 0;
};

template <typename Code, typename... Details>
class BoxReporter : public Reporter<Code, Details...> {
 public:
  explicit BoxReporter(Platform& platform) : platform_(platform) {}
  void Warn(Code code, Details... details) override { ShowWarning(platform_, WarningText(code, details...)); }

 private:
  Platform& platform_;
};

// Warns through reporter, or in a box through platform when there is none.
template <typename Code, typename... Details, typename... Args>
void Report(Platform& platform, Reporter<Code, Details...>* reporter, Code code, Args&&... details) {
  if (reporter) {
    reporter->Warn(code, std::forward<Args>(details)...);
    return;
  }
  BoxReporter<Code, Details...>(platform).Warn(code, std::forward<Args>(details)...);
}

}  // namespace tanavo
