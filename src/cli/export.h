// tanavo-cli export: everything an examiner hands on from an index, written
// into a folder of its own without touching the evidence.
#pragma once

#include <cstddef>
#include <string>

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

// Loads the index file as `list` does and writes into outDir (created; refused
// when it exists and is not empty): records/NNNN.txt, attachments/NNNN-K-NAME,
// records.tsv, report.html (its coverage first) and SHA256SUMS. kExitOk, or
// kExitFailed after saying why. An index that leaves records of the mobile
// file out (past its capacity, or cut at the end) is refused before anything
// is written, unless partial.
int ExportIndex(CliContext& ctx, const std::string& indexPath, const std::string& outDir,
                ExportTimes* times = nullptr, bool partial = false);

}  // namespace tanavo
