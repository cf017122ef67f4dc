// tanavo-cli export: everything an examiner hands on from an index, written
// into a folder of its own without touching the evidence.
#pragma once

#include <cstddef>
#include <string>

#include "export/record_choice.h"

namespace tanavo {

struct CliContext;

// Where the time of an export went, in seconds.
struct ExportTimes {
  double rendering = 0;    // the records rendered as the data display does
  double attachments = 0;  // attachments decoded and written
  double hashing = 0;      // SHA-256 of the evidence and of every file written
  double tables = 0;       // the TSV rows and the HTML report built
  double writing = 0;      // record texts, table, report and checksums written
  double total = 0;
  int records = 0;
  int missingRecords = 0;  // not found at their stored position
  int attachmentFiles = 0;
  std::size_t attachmentsNotWritten = 0;  // beyond what one item keeps
  int files = 0;  // in the output folder
};

// Loads the index file as `list` does and writes the chosen records into
// outDir (created; refused when it exists and is not empty):
// records/FFFF/NNNNNN.txt, attachments/FFFF/NNNNNN-K-NAME (FFFF: a folder per
// thousand records), records.tsv, report.html (its coverage first) with its
// pages in report/, and SHA256SUMS. kExitOk, or kExitFailed after saying why.
// An index that leaves records of the mobile file out (past its capacity, or
// cut at the end) is refused before anything is written, unless partial.
// With casePath (a case built from this index), records.tsv takes each
// record's time and tags, the report opens with the tagged records and
// draws a timeline, SHA256SUMS covers the case file; tagged exports the
// tagged records only (in place of choice).
int ExportIndex(CliContext& ctx, const std::string& indexPath, const std::string& outDir,
                ExportTimes* times = nullptr, const RecordChoice& choice = RecordChoice(), bool partial = false,
                const std::string& casePath = std::string(), bool tagged = false);

}  // namespace tanavo
