// The file-pointer stack: the nested texts (whole file, record, group, item)
// through which scanning descends. Level 0 is the loaded mobile file itself,
// never copied.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

#include "extract/settings.h"
#include "platform/platform.h"
#include "platform/reporter.h"

namespace tanavo {

constexpr int kStackLevels = 11;  // level 0 plus at most 10 pushed levels
constexpr int kMaxStackDepth = kStackLevels - 1;

enum class StackWarning {
  TooDeep,       // a push past kMaxStackDepth, refused
  PoppedTooFar,  // a pop at level 0, refused
};
std::string WarningText(StackWarning warning);
using StackReporter = Reporter<StackWarning>;

class FilePointerStack {
 public:
  // Warns through warnings, or in a box of platform when it is null.
  FilePointerStack(Platform& platform, const ExtractionSettings& settings, const std::string& mobileFile,
                   StackReporter* warnings = nullptr);

  // True when pushed; false when refused at depth 10 (after the warning). A
  // caller that goes on as if pushed would later pop a level not its own.
  [[nodiscard]] bool Push(int entryIndex);
  // True when popped; false at depth 0 (after the warning).
  bool Pop();
  void SetTopText(std::string text);
  std::string_view TopText() const;
  const std::string& TopOwner() const;
  int Depth() const { return depth_; }
  // Back to level 0: loading a mobile file and every walk start here.
  void Reset();

 private:
  Platform& platform_;
  StackReporter* warnings_;
  const ExtractionSettings& settings_;
  const std::string& mobileFile_;
  int depth_ = 0;
  std::array<std::string, kStackLevels> text_;
  std::array<std::string, kStackLevels> owner_;
};

}  // namespace tanavo
