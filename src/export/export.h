// The export: everything an examiner hands on from an index, written into a
// folder of its own without touching the evidence. One call, on any file
// system (the real one for tanavo-cli, the in-memory one for the tests).
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "export/record_choice.h"

namespace tanavo {

constexpr const char* kRecordsOption = "--records";

class Platform;
class FileSystem;
struct Coverage;

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

// What to export: the index (loaded as `list` loads it) into outDir, both
// absolute. With casePath (a case built from this index), records.tsv takes
// each record's time and tags, the report opens with the tagged records and
// draws a timeline, SHA256SUMS covers the case file; tagged exports the
// tagged records only (in place of choice).
// A mobile file up to this size is held whole, as the data display holds
// it: the export then writes the very bytes loaded, whatever happens to the
// file afterwards. A larger one is read a window at a time, where the
// extraction settings allow (a walk that reads of the file its record
// alone), hashed as it is first read and again as the records are read: a
// file that changed meanwhile fails the export.
constexpr std::uint64_t kHeldMobileBytes = 64 * 1024 * 1024;

// An index file up to this size is read whole, its list lines held; a
// larger one is read a window at a time, its positions kept, and its list
// lines read again in record order as the records are written (hashed as
// first read and again then: a file that changed meanwhile fails the
// export).
constexpr std::uint64_t kHeldIndexBytes = 16 * 1024 * 1024;

struct ExportRequest {
  std::string indexPath;
  std::string outDir;
  RecordChoice choice;
  bool partial = false;  // write what the index holds although it leaves records out
  std::string casePath;
  bool tagged = false;
  std::uint64_t heldMobileBytes = kHeldMobileBytes;
  std::uint64_t heldIndexBytes = kHeldIndexBytes;
};

// What the export tells as it goes, beside its boxes (which go through the
// platform): the caller decides where it is written.
class ExportReporter {
 public:
  virtual ~ExportReporter() = default;
  // The coverage of the index, known before anything is written.
  virtual void CoverageFound(const Coverage& /*coverage*/) {}
  // The choice names record beyond, and the index holds count records.
  virtual void NoSuchRecord(int32_t /*beyond*/, int32_t /*count*/) {}
  // A whole line (the start), and a counter: item n done.
  virtual void Line(const std::string& /*text*/) {}
  virtual void Count(int /*n*/, const std::string& /*counter*/) {}
};

enum class ExportStatus {
  Written,  // every chosen record and file written
  Failed,   // refused or failed, after saying why (records missing or attachments not written included)
};

struct ExportSummary {
  ExportStatus status = ExportStatus::Failed;
  ExportTimes times;
};

// Writes the chosen records into outDir (created; refused when it exists
// and is not empty): records/FFFF/NNNNNN.txt, attachments/FFFF/NNNNNN-K-NAME
// (FFFF: a folder per thousand records), records.tsv, report.html (its
// coverage first) with its pages in report/, and SHA256SUMS. An index that
// leaves records of the mobile file out (past its capacity, or cut at the
// end) is refused before anything is written, unless partial. Every file is
// read and written through files; the evidence is hashed as it was read.
ExportSummary RunExport(Platform& platform, FileSystem& files, const ExportRequest& request,
                        ExportReporter* reporter = nullptr);

// The warning for attachments of record n that were not written: those past
// what one item keeps (kMaxItemAttachments).
std::string NotWrittenAttachments(int32_t n, std::size_t count);

// The closing line of an export that wrote files: counts and times.
std::string ExportDoneText(const ExportTimes& t);

}  // namespace tanavo
