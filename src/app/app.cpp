#include "app/app.h"

#include "app/main_window.h"
#include "codec/conversion_window.h"
#include "dispset/display_window.h"
#include "dispset/name_list_window.h"
#include "check/result_window.h"
#include "extract/detail_window.h"
#include "extract/extraction_window.h"

namespace tanavo {

App::App(Platform& p) : platform(p), stack(p, extraction, state.mobileFile) {}

App::~App() = default;

void App::Start() {
  mainWindow = std::make_unique<MainWindow>(*this);
  extractionWindow = std::make_unique<ExtractionWindow>(*this);
  resultWindow = std::make_unique<ResultWindow>(*this);
  detailWindow = std::make_unique<DetailWindow>(*this);
  conversionWindow = std::make_unique<ConversionWindow>(*this);
  displayWindow = std::make_unique<DisplayWindow>(*this);
  nameListWindow = std::make_unique<NameListWindow>(*this);

  mainWindow->Create();
  extractionWindow->Create();
  resultWindow->Create();
  detailWindow->Create();
  conversionWindow->Create();
  displayWindow->Create();
  nameListWindow->Create();
}

}  // namespace tanavo
