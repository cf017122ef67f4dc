// The extraction settings window.
#pragma once

#include <vector>

#include "platform/platform.h"

namespace tanavo {

struct App;

class ExtractionWindow : public WindowEvents {
 public:
  explicit ExtractionWindow(App& app) : app_(app) {}
  static WindowSpec Spec();
  static std::vector<ControlSpec> Controls();
  void Create();
  void Open();
  void OnCommand(int id, int code) override;

  Window* window = nullptr;

 private:
  App& app_;
};

}  // namespace tanavo
