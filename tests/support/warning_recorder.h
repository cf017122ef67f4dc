// A reporter that records the warnings told to it, for tests that assert
// codes rather than boxes.
#pragma once

#include <string>
#include <vector>

#include "platform/reporter.h"

namespace tanavo {

template <typename Code, typename... Details>
struct WarningRecorder : Reporter<Code, Details...> {
  std::vector<Code> codes;
  std::vector<std::string> texts;  // each as its box would say it, numbers and all
  void Warn(Code code, Details... details) override {
    codes.push_back(code);
    texts.push_back(WarningText(code, details...));
  }
};

}  // namespace tanavo
