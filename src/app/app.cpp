#include "app/app.h"

#include "app/conversion_window.h"
#include "app/coverage_window.h"
#include "app/detail_window.h"
#include "app/display_window.h"
#include "app/extraction_window.h"
#include "app/main_window.h"
#include "app/name_list_window.h"
#include "app/raw_view.h"
#include "app/result_window.h"
#include "app/tag_window.h"

namespace tanavo {

App::App(Platform& p) : Workspace(p) { views = this; }

App::~App() = default;

void App::Start() {
  mainWindow = std::make_unique<MainWindow>(*this);
  extractionWindow = std::make_unique<ExtractionWindow>(*this);
  resultWindow = std::make_unique<ResultWindow>(*this);
  detailWindow = std::make_unique<DetailWindow>(*this);
  conversionWindow = std::make_unique<ConversionWindow>(*this);
  displayWindow = std::make_unique<DisplayWindow>(*this);
  nameListWindow = std::make_unique<NameListWindow>(*this);
  coverageWindow = std::make_unique<CoverageWindow>(*this);
  tagWindow = std::make_unique<TagWindow>(*this);

  mainWindow->Create();
  extractionWindow->Create();
  resultWindow->Create();
  detailWindow->Create();
  conversionWindow->Create();
  displayWindow->Create();
  nameListWindow->Create();
  coverageWindow->Create();
  tagWindow->Create();
}

void App::MobileFileReplaced() {
  if (coverageWindow) coverageWindow->MobileFileReplaced();
  // The raw text view shows the mobile file's own bytes, the one buffer, or
  // the copy converted from UTF-8 the examiner chose for this file.
  ShowRawFile(*this);
}

void App::ExtractionSettingsReplaced() {
  if (extractionWindow) extractionWindow->SettingsReplaced();
}

void App::TakeEditedDisplayTexts() {
  Window* w = displayWindow ? displayWindow->window : nullptr;
  if (!w) return;
  display.listLineTemplate = w->Text(kDispTemplateEdit);
  display.layoutText = w->Text(kDispLayoutEdit);
}

}  // namespace tanavo
