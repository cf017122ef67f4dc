// What index creation and the index file loader warn of, as codes with the
// numbers they name; the caller decides how each is shown (the window
// program and tanavo-cli alike: a "警告" box through the platform).
#pragma once

#include <cstdint>
#include <string>

namespace tanavo {

class Platform;

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
std::string IndexWarningText(IndexWarning warning, int64_t count = 0, int64_t total = 0);

class IndexReporter {
 public:
  virtual ~IndexReporter() = default;
  virtual void Warn(IndexWarning warning, int64_t count, int64_t total) = 0;
};

// Each warning a box, as the window program and tanavo-cli show them.
class BoxIndexReporter : public IndexReporter {
 public:
  explicit BoxIndexReporter(Platform& platform) : platform_(platform) {}
  void Warn(IndexWarning warning, int64_t count, int64_t total) override;

 private:
  Platform& platform_;
};

// Warns through reporter, or in a box through platform when there is none.
void ReportIndexWarning(Platform& platform, IndexReporter* reporter, IndexWarning warning, int64_t count = 0,
                        int64_t total = 0);

}  // namespace tanavo
