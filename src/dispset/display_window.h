// The display settings / data display window.
#pragma once

#include <vector>

#include "platform/platform.h"

namespace tanavo {

struct App;

// Controls of the display window, shared by the display settings editor and
// the data display.
constexpr int kDispTemplateEdit = 1000;
constexpr int kDispClose = 1001;
constexpr int kDispSave = 1002;
constexpr int kDispRecordList = 1003;
constexpr int kDispAttachmentLabel = 1004;
constexpr int kDispStatusText = 1005;
constexpr int kDispTitle = 1012;
constexpr int kDispLayoutEdit = 1014;
constexpr int kDispAttachmentList = 1046;

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
