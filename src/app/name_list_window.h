// The Data tag name list: a small always-on-top window beside the display
// settings editor listing the names of the Data entries, so that placeholders
// can be typed without looking them up.
#pragma once

#include <string>
#include <vector>

#include "platform/base_window.h"
#include "platform/platform.h"

namespace tanavo {

struct App;
struct ExtractionSettings;

constexpr int kNameListEdit = 1000;

// Each Data entry's name + CR LF, walking the used entries (up to the first
// empty name) in table order; empty when there is none.
std::string DataNameList(const ExtractionSettings& settings);

// The class the window is registered under; tests and tools find it by it.
inline constexpr char kNameListWindowClass[] = "NORMAL6";

class NameListWindow : public BaseWindow<NameListWindow, App> {
 public:
  explicit NameListWindow(App& app) : BaseWindow(app) {}
  static WindowSpec Declaration();
  static std::vector<ControlSpec> Controls();
  void ShowNames(const std::string& names);
  void Hide();

 private:
  void Layout(int cw, int ch) override;
};

}  // namespace tanavo
