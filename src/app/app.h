// The application: one owner of every single instance of the run. A test makes
// a fresh App on the fake platform.
#pragma once

#include <memory>

#include "app/app_state.h"
#include "display/attachments.h"
#include "dispset/display_settings.h"
#include "engine/pointer_stack.h"
#include "check/record_history.h"
#include "engine/walk.h"
#include "extract/settings.h"
#include "index/record_index.h"
#include "platform/platform.h"

namespace tanavo {

class MainWindow;
class ExtractionWindow;
class ResultWindow;
class DetailWindow;
class ConversionWindow;
class DisplayWindow;
class NameListWindow;

struct App {
  explicit App(Platform& platform);
  ~App();
  App(const App&) = delete;
  App& operator=(const App&) = delete;

  // Start-up: the main window, then the six tool windows hidden, in order.
  void Start();

  Platform& platform;
  AppState state;
  ExtractionSettings extraction;
  DisplaySettings display;
  FilePointerStack stack;
  WalkState walk;
  RecordHistory history;
  AttachmentTable attachments;
  RecordIndex index;

  std::unique_ptr<MainWindow> mainWindow;
  std::unique_ptr<ExtractionWindow> extractionWindow;
  std::unique_ptr<ResultWindow> resultWindow;
  std::unique_ptr<DetailWindow> detailWindow;
  std::unique_ptr<ConversionWindow> conversionWindow;
  std::unique_ptr<DisplayWindow> displayWindow;
  std::unique_ptr<NameListWindow> nameListWindow;
};

}  // namespace tanavo
