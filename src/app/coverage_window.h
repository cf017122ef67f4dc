// The coverage window: the account of the last index creation, its summary
// above, a list of its findings, and the mobile file's raw text at the offset
// of the finding chosen, so that a cut, merged or stray piece of the evidence
// is read where it is.
#pragma once

#include <string>
#include <vector>

#include "platform/base_window.h"
#include "platform/platform.h"

namespace tanavo {

struct App;

constexpr int kCoverageSummary = 1000;
constexpr int kCoverageList = 1001;
constexpr int kCoverageText = 1002;

// The raw text shown for a finding: from the start of the line two lines
// before its offset, up to this many bytes.
constexpr std::size_t kCoverageExcerptBytes = 8192;

// The class the window is registered under; tests and tools find it by it.
inline constexpr char kCoverageWindowClass[] = "NORMAL7";

// Where the raw text of a finding at offset (0-based) starts: the start of
// the line two lines before the offset's line, or of the file.
std::size_t CoverageExcerptStart(const std::string& mobile, int64_t offset);

class CoverageWindow : public BaseWindow<CoverageWindow, App> {
 public:
  explicit CoverageWindow(App& app) : BaseWindow(app) {}
  static WindowSpec Declaration();
  static std::vector<ControlSpec> Controls();

  void OnCommand(int id, int code) override;
  // The menu command: fills the window from the last coverage and shows it;
  // a box when no index was made in this run.
  void ShowCoverage();
  // The mobile file was replaced: the raw text shown is let go.
  void MobileFileReplaced();

 private:
  void Created(Window&) override { LayOutNow(); }
  void Layout(int cw, int ch) override;
  void ShowFinding(int row);
};

}  // namespace tanavo
