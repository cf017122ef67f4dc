// What index creation and the index file loader warn of, as codes with the
// numbers they name; the caller decides how each is shown (the window
// program and tanavo-cli alike: a "警告" box through the platform).
#pragma once

#include <cstdint>
#include <string>

#include "platform/reporter.h"

namespace tanavo {

enum class IndexWarning {
  // Index creation refused: what must be loaded first.
  NoMobileFile,
  NoExtractionSettings,
  NoDisplaySettings,
  NoDSet,
  TooManyListEntries,  // count: the Data entries a list line can name
  RecordsLeftOut,      // count: the capacity; total: the records the file holds
  CreationFailed,
  // The index file read.
  OverCapacity,  // count: the capacity, the records past it not read
  Truncated,     // count: the records read before the text ended
  Damaged,       // count: the records read before the damaged one
};

// The warning's text, as its box shows it.
std::string WarningText(IndexWarning warning, int64_t count = 0, int64_t total = 0);
inline std::string IndexWarningText(IndexWarning warning, int64_t count = 0, int64_t total = 0) {
  return WarningText(warning, count, total);
}

using IndexReporter = Reporter<IndexWarning, int64_t, int64_t>;
// Each warning a box, as the window program and tanavo-cli show them.
using BoxIndexReporter = BoxReporter<IndexWarning, int64_t, int64_t>;

// Warns through reporter, or in a box through platform when there is none.
void ReportIndexWarning(Platform& platform, IndexReporter* reporter, IndexWarning warning, int64_t count = 0,
                        int64_t total = 0);

}  // namespace tanavo
