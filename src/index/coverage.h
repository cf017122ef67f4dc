// The coverage of the mobile file by the record index: the D_SET ranges found
// one after another from the start of the file, as index creation finds them,
// with every byte counted once. A walk of its own, of the D_SET tags alone,
// so that the record walk stays as it is and the account costs little beside
// index creation.
#pragma once

#include <string>
#include <string_view>

#include "engine/file_window.h"
#include "extract/settings.h"
#include "state/coverage.h"
#include "state/record_index.h"

namespace tanavo {

// The coverage counted as the records are found: index creation hands over
// each record its walk finds (the D_SET range, as onRecord gives it), so that
// no record is looked for twice; Finish looks for the rest itself (records
// left out by the capacity, a cut record) and accounts the end of the file.
// mobile, s and index must outlive it. For an index being made, its records
// are given by TakeIndexed; its count is read when the walk finishes.
class CoverageWalk {
 public:
  CoverageWalk(std::string_view mobile, const ExtractionSettings& s, const RecordIndex& index);
  // A record [start, end] (1-based, both bytes inside it, as TagMatch has
  // them) found after the ones taken; anything else is not taken.
  void Take(int32_t start, int32_t end);
  // Records taken from now on are counted as indexed.
  void TakeIndexed(int32_t start, int32_t end) {
    if (start > lastIndexed_) lastIndexed_ = start;
    Take(start, end);
  }
  Coverage Finish();

 private:
  std::string_view mobile_;
  const RecordIndex& index_;
  int dset_;
  const TagDefinition* entry_ = nullptr;
  int64_t lastIndexed_ = 0;
  std::size_t gapFrom_ = 0;  // 0-based end of the last record taken
  CoverageFinding leftOut_;
  Coverage c_;
};

// The coverage of mobile by index under the extraction settings s: records
// taken from the first D_SET entry's range tags (its line end and next-line
// head included). Records whose start is after the index's last position are
// counted as left out. Settings without a D_SET entry give a coverage of one
// gap (the whole file) and made == true.
Coverage ComputeCoverage(std::string_view mobile, const ExtractionSettings& s, const RecordIndex& index);
// The same coverage of the file read through window, holding at once only
// what a record and the search for it need (a gap is counted in pieces).
// False when the file could not be read.
bool ComputeCoverageInPieces(FileWindow& window, const ExtractionSettings& s, const RecordIndex& index,
                             Coverage* coverage);

// Whether a byte counts as white space in a gap: space, tab, CR, LF, FF, VT.
bool IsGapBlank(unsigned char b);

// One finding in a line of its own (Shift_JIS), led by its offset in hex
// unless withOffset is false: what tanavo-cli writes on standard error and
// the coverage window lists.
std::string CoverageFindingText(const CoverageFinding& f, bool withOffset = true);
// A 0-based offset as the findings show it ("0x0000001A").
std::string CoverageOffsetText(int64_t offset);
// The summary in one line, for the status bar ("レコード 3000件 (インデックス
// 2500件)、レコード内 99.2% ..." and the number of findings).
std::string CoverageSummaryText(const Coverage& c);
// The summary short enough for a narrow part of the status bar: the findings'
// count ("指摘なし", "指摘 3件"), led by "全N件" of records found.
std::string CoverageStatusText(const Coverage& c);
// Whether an export of this index leaves out records the file holds (by the
// capacity, or a cut record), which needs --partial.
bool CoverageLeavesRecordsOut(const Coverage& c);

}  // namespace tanavo
