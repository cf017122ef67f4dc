#include "app/main_window.h"

#include "app/app.h"
#include "app/memo.h"
#include "app/raw_view.h"
#include "app/menus.h"
#include "files/mobile_file.h"
#include "app/unsaved.h"
#include "codec/codec.h"
#include "app/conversion_window.h"
#include "app/coverage_window.h"
#include "app/data_display.h"
#include "app/display_window.h"
#include "dispset/kdp_file.h"
#include "files/display_file.h"
#include "app/extraction_window.h"
#include "extract/kta_file.h"
#include "files/extraction_file.h"
#include "index/capacity_setting.h"
#include "index/index_creation.h"
#include "index/index_file.h"

namespace tanavo {

void StatusPartEdges(int clientWidth, int (&edges)[kStatusParts]) {
  int q = (clientWidth - 200) / 4;  // truncates toward zero, as the layout wants
  edges[0] = 100;
  edges[1] = 200;
  edges[2] = 200 + q;
  edges[3] = 200 + 2 * q;
  edges[4] = 200 + 3 * q;
  edges[5] = clientWidth;
}

WindowSpec MainWindow::Declaration() {
  WindowSpec s{kMainWindowClass, "Tanavo", 816, 641, FrameKind::Overlapped, kExControlParent, true, 0};
  s.menuBar = &MenuBar();
  s.statusBar = true;
  return s;
}

std::vector<ControlSpec> MainWindow::Controls() {
  return {{kRawTextView, ControlKind::TextView,
           kClientEdge | kVScroll | kHScroll | kMultiLine | kAutoVScroll | kAutoHScroll | kReadOnly | kWantReturn,
           36, 31, 239, 66, ""}};
}

void MainWindow::Created(Window& w) {
  int cw = 0, ch = 0;
  w.ClientSize(&cw, &ch);
  SetStatusParts(cw);
  app_.state.mobileFilePath = PathParts{};
  app_.state.extractionFilePath = PathParts{};
  app_.state.programFolder = app_.files.CurrentDirectory();
  LoadRecordCapacity(app_);
  (void)TheBase64Alphabet();
}

void MainWindow::SetStatusParts(int cw) {
  int edges[kStatusParts];
  StatusPartEdges(cw, edges);
  app_.platform.SetStatusParts(edges);
}

void MainWindow::Layout(int cw, int ch) {
  SetStatusParts(cw);
  window->Move(kRawTextView, 0, 0, cw, ch - kStatusBarHeight);
}

bool MainWindow::OnCloseRequest() {
  if (!HasUnsavedSettings(app_)) return true;
  return app_.platform.MessageBox(BoxOwner::Main, "保存されていない変更があります。終了しますか?", "確認",
                                  BoxIcon::Warning, BoxButtons::YesNo) == BoxAnswer::Yes;
}

void MainWindow::OnCommand(int id, int /*code*/) {
  switch (id) {
    case kCmdOpenMobileFile: OpenMobileFile(app_); break;
    case kCmdLoadExtractionSettings: LoadExtractionSettings(app_); break;
    case kCmdLoadDisplaySettings: LoadDisplaySettings(app_); break;
    case kCmdExit:
      if (window) window->SendClose();  // the same road as the close box
      break;
    case kCmdLoadIndexFile:
      LoadIndexFileCommand(app_);
      CaseIndexReplaced(app_);  // the case beside the index file, opened and checked
      break;
    case kCmdCreateIndex:
      app_.state.indexFilePath = PathParts();  // until the new index is saved
      CreateIndexCommand(app_);
      CaseIndexReplaced(app_);
      break;
    case kCmdCoverage: app_.coverageWindow->ShowCoverage(); break;
    case kCmdDataDisplay: OpenDataDisplay(app_); break;
    case kCmdRawUtf8: ToggleRawViewUtf8(app_); break;
    case kCmdAnalysisMemo: OpenAnalysisMemo(app_); break;
    case kCmdConversionTool: app_.conversionWindow->ShowTool(); break;
    case kCmdExtractionSettings: app_.extractionWindow->Open(); break;
    case kCmdDisplaySettings: app_.displayWindow->ShowEditor(); break;
    case kCmdUserManual: OpenUserManual(app_); break;
    case kCmdVersion: ShowVersionBox(app_); break;
    default: break;
  }
}

}  // namespace tanavo
