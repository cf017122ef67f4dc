// The record walk and the settings check result text on outside bytes: the
// input is split into a settings file and a mobile file.
#include "state/record_history.h"
#include "app/result_window.h"
#include "check/trial_extraction.h"
#include "extract/kta_file.h"
#include "files/extraction_file.h"
#include "fuzz_support.h"

using namespace tanavo;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 2) return 0;
  // The first two bytes say how many of the rest are settings.
  const size_t settingsBytes = ((static_cast<size_t>(data[0]) << 8) | data[1]) % (size - 1);
  const std::string_view rest = AsText(data + 2, size - 2);
  FuzzApp f;
  ReadSettingsEntries(f.app, rest.substr(0, settingsBytes));
  f.app.state.mobileFile = std::string(rest.substr(std::min(settingsBytes, rest.size())));

  TrialExtraction(f.app);
  for (int step = 0; step < 3; ++step) NextRecord(f.app);
  PreviousRecord(f.app);
  PreviousRecord(f.app);
  FUZZ_CHECK(f.app.stack.Depth() >= 0 && f.app.stack.Depth() <= kMaxStackDepth);
  FUZZ_CHECK(f.app.history.top >= 0 && f.app.history.top <= kHistorySlots);
  FUZZ_CHECK(f.platform.WindowOf(kResultWindowClass)->Text(kResultTextView).size() <= kMaxResultTextBytes);
  return 0;
}
