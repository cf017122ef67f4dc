// The display settings / data display window.
#pragma once

#include <vector>

#include "platform/platform.h"

namespace tanavo {

struct App;

class DisplayWindow : public WindowEvents {
 public:
  explicit DisplayWindow(App& app) : app_(app) {}
  static WindowSpec Spec();
  static std::vector<ControlSpec> Controls();
  void Create();
  void ShowEditor();
  void OnCommand(int id, int code) override;

  Window* window = nullptr;

 private:
  App& app_;
};

}  // namespace tanavo
