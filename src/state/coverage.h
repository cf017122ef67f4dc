// The coverage of the last index creation: an account of every byte of the
// mobile file, inside a record, between records or after the last one, made
// beside the record walk (which it does not change), with what an examiner
// must hear about: records cut, merged, or left out, and gaps that hold more
// than white space.
#pragma once

#include <cstdint>
#include <vector>

namespace tanavo {

enum class CoverageKind {
  CutTail,        // a record's start tag with no end tag after it: the file stops inside the record
  MergedRecords,  // a record holds the record start tag again at the start of a line (an end tag is missing)
  NonBlankGap,    // bytes between records, or before the first or after the last, that are not all white space
  LeftOut,        // whole records after the last one the index took: its capacity was reached
};

struct CoverageFinding {
  CoverageKind kind = CoverageKind::NonBlankGap;
  int64_t offset = 0;  // 0-based byte offset in the mobile file of its first byte
  int64_t length = 0;  // bytes it covers (MergedRecords: the record that holds the start tag again)
  // CutTail, MergedRecords: the record's number in the file (1-based, counting
  // every record found, indexed or not); at MergedRecords, offset is where the
  // start tag occurs again. LeftOut: the number of the first record left out.
  int32_t record = 0;
  int32_t records = 0;  // LeftOut: how many records were left out; otherwise 0
};

struct Coverage {
  bool made = false;         // false until an index creation made one
  int64_t fileBytes = 0;     // the mobile file
  int64_t recordBytes = 0;   // in whole records, indexed or left out
  int64_t indexedBytes = 0;  // in the records the index took
  int64_t gapBytes = 0;      // before, between and after records (the cut tail not counted)
  int64_t cutBytes = 0;      // from a cut record's start tag to the end of the file
  int32_t recordsFound = 0;  // whole records in the file
  int32_t recordsIndexed = 0;
  int32_t recordsLeftOut = 0;   // whole records found after the last one indexed
  int32_t mergedRecords = 0;    // records holding the start tag again
  int32_t nonBlankGaps = 0;
  bool cutTail = false;
  std::vector<CoverageFinding> findings;  // by offset
};

}  // namespace tanavo
