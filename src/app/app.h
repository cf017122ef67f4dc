// The window program: the working data of the run and the windows that show
// it. A test makes a fresh App on the fake platform.
#pragma once

#include <memory>

#include "app/raw_view.h"
#include "app/case_display.h"
#include "state/workspace.h"

namespace tanavo {

class MainWindow;
class ExtractionWindow;
class ResultWindow;
class DetailWindow;
class ConversionWindow;
class DisplayWindow;
class NameListWindow;
class CoverageWindow;
class TagWindow;

struct App : Workspace, private WorkspaceViews {
  explicit App(Platform& platform);
  ~App() override;

  // Start-up: the main window, then the eight tool windows hidden, in order.
  void Start();

  std::unique_ptr<MainWindow> mainWindow;
  std::unique_ptr<ExtractionWindow> extractionWindow;
  std::unique_ptr<ResultWindow> resultWindow;
  std::unique_ptr<DetailWindow> detailWindow;
  std::unique_ptr<ConversionWindow> conversionWindow;
  std::unique_ptr<DisplayWindow> displayWindow;
  std::unique_ptr<NameListWindow> nameListWindow;
  std::unique_ptr<CoverageWindow> coverageWindow;
  RawViewState rawView;  // what the main window's raw text view shows, and how
  std::unique_ptr<TagWindow> tagWindow;
  // The case file of the index, and what the data display lists of it.
  CaseSession caseSession;

 private:
  void MobileFileReplaced() override;
  void ExtractionSettingsReplaced() override;
  void TakeEditedDisplayTexts() override;
};

}  // namespace tanavo
