// The detail settings window.
#pragma once

#include <vector>

#include "platform/platform.h"

namespace tanavo {

struct App;

class DetailWindow : public WindowEvents {
 public:
  explicit DetailWindow(App& app) : app_(app) {}
  static WindowSpec Spec();
  static std::vector<ControlSpec> Controls();
  void Create();
  void OnCommand(int id, int code) override;

  Window* window = nullptr;

 private:
  App& app_;
};

}  // namespace tanavo
