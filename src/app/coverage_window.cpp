#include "app/coverage_window.h"

#include <algorithm>

#include "app/app.h"
#include "app/placement.h"
#include "index/coverage.h"

namespace tanavo {

namespace {

constexpr int kOuterWidth = 820;  // a merged record's finding in one line
constexpr int kOuterHeight = 480;
constexpr int kCoverageFont = 0;  // the raw text view's, so the bytes look as they do there
constexpr int kSummaryHeight = 22;
constexpr int kContextLines = 2;

}  // namespace

std::size_t CoverageExcerptStart(const std::string& mobile, int64_t offset) {
  if (offset <= 0) return 0;
  std::size_t at = std::min(static_cast<std::size_t>(offset), mobile.size());
  // Back to the start of the offset's line, then of kContextLines before it.
  for (int line = 0; line <= kContextLines && at > 0; ++line) {
    const std::size_t lf = mobile.rfind('\n', at - 1);
    if (lf == std::string::npos) return 0;
    at = line < kContextLines ? lf : lf + 1;
    if (line < kContextLines && at == 0) return 0;
  }
  return at;
}

WindowSpec CoverageWindow::Declaration() {
  return WindowSpec{kCoverageWindowClass, "網羅性", kOuterWidth, kOuterHeight, FrameKind::CaptionSizing, kExNone, false,
                    kCoverageFont};
}

std::vector<ControlSpec> CoverageWindow::Controls() {
  return {
      {kCoverageSummary, ControlKind::Static, kStyleNone, 4, 4, 796, 18, ""},
      {kCoverageList, ControlKind::ListBox, kClientEdge | kVScroll | kNotify, 0, kSummaryHeight, 804, 140, ""},
      {kCoverageText, ControlKind::TextView,
       kClientEdge | kVScroll | kHScroll | kMultiLine | kAutoVScroll | kAutoHScroll | kReadOnly, 0, 166, 804, 270, ""},
  };
}

void CoverageWindow::Layout(int cw, int ch) {
  Window& w = *window;
  const int listHeight = std::max(60, (ch - kSummaryHeight) / 3);
  w.Move(kCoverageSummary, 4, 4, cw - 8, kSummaryHeight - 4);
  w.Move(kCoverageList, 0, kSummaryHeight, cw, listHeight);
  w.Move(kCoverageText, 0, kSummaryHeight + listHeight, cw, std::max(0, ch - kSummaryHeight - listHeight));
}

void CoverageWindow::ShowCoverage() {
  if (!window) return;
  const Coverage& c = app_.coverage;
  if (!c.made) {
    ShowWarning(app_.platform, "インデックスを作成してください!!");
    return;
  }
  window->SetText(kCoverageSummary, CoverageSummaryText(c));
  std::vector<std::string> rows;
  rows.reserve(c.findings.size());
  for (const CoverageFinding& f : c.findings) rows.push_back(CoverageFindingText(f));
  if (rows.empty()) rows.push_back("指摘はありません。ファイルのすべてのバイトがレコードか空白の隙間にあります");
  window->ListSetRows(kCoverageList, rows);
  window->SetText(kCoverageText, "");
  if (!c.findings.empty()) {
    window->ListSelect(kCoverageList, 0);
    ShowFinding(0);
  }
  Window* main = app_.platform.MainWindow();
  window->SetPlacement(PlaceToolWindow(app_.platform, *window, main));
  window->ShowWindow(true);
  window->FocusWindow();
}

void CoverageWindow::MobileFileReplaced() {
  if (!window) return;
  window->SetText(kCoverageText, "");
  window->ListClear(kCoverageList);
  window->SetText(kCoverageSummary, "");
}

void CoverageWindow::ShowFinding(int row) {
  const Coverage& c = app_.coverage;
  const std::string& mobile = app_.state.mobileFile;
  if (row < 0 || static_cast<std::size_t>(row) >= c.findings.size()) return;
  // The coverage is of the file loaded when the index was made; another
  // file loaded since has other bytes at the offset.
  if (static_cast<int64_t>(mobile.size()) != c.fileBytes) {
    window->SetText(kCoverageText, "");
    return;
  }
  const std::size_t from = CoverageExcerptStart(mobile, c.findings[static_cast<std::size_t>(row)].offset);
  const std::size_t length = std::min(kCoverageExcerptBytes, mobile.size() - from);
  window->ShowBytes(kCoverageText, std::string_view(mobile).substr(from, length));  // shown where it is held
}

void CoverageWindow::OnCommand(int id, int code) {
  if (id == kCoverageList && code == kNotifySelChange) ShowFinding(window->ListSelection(kCoverageList));
}

}  // namespace tanavo
