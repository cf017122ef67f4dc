// The Data tag name list: a small always-on-top window beside the display
// settings editor listing the names of the Data entries, so that placeholders
// can be typed without looking them up.
#pragma once

#include <string>
#include <vector>

#include "platform/platform.h"

namespace tanavo {

struct App;
struct ExtractionSettings;

constexpr int kNameListEdit = 1000;

// Each Data entry's name + CR LF, walking the used entries (up to the first
// empty name) in table order; empty when there is none.
std::string DataNameList(const ExtractionSettings& settings);

class NameListWindow : public WindowEvents {
 public:
  explicit NameListWindow(App& app) : app_(app) {}
  static WindowSpec Declaration();
  static std::vector<ControlSpec> Controls();
  void Create();
  void ShowNames(const std::string& names);
  void Hide();

  void OnCreate(Window& w) override { window = &w; }
  void OnSize(int cw, int ch) override;

  Window* window = nullptr;

 private:
  App& app_;
};

}  // namespace tanavo
