// The character code conversion tool.
#pragma once

#include <vector>

#include "platform/platform.h"

namespace tanavo {

struct App;

class ConversionWindow : public WindowEvents {
 public:
  explicit ConversionWindow(App& app) : app_(app) {}
  static WindowSpec Spec();
  static std::vector<ControlSpec> Controls();
  void Create();
  void ShowTool();
  void OnCommand(int id, int code) override;

  Window* window = nullptr;

 private:
  App& app_;
};

}  // namespace tanavo
