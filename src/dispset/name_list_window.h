// The Data tag name list window.
#pragma once

#include <vector>

#include "platform/platform.h"

namespace tanavo {

struct App;

class NameListWindow : public WindowEvents {
 public:
  explicit NameListWindow(App& app) : app_(app) {}
  static WindowSpec Spec();
  static std::vector<ControlSpec> Controls();
  void Create();
  void OnCommand(int id, int code) override;

  Window* window = nullptr;

 private:
  App& app_;
};

}  // namespace tanavo
