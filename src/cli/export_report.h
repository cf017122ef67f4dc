// report.html of the evidence export: one self-contained page in UTF-8 (inline
// CSS, no script, nothing fetched) with the evidence summary, a table of all
// records and each record's text in a collapsible section.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "cli/export_text.h"

namespace tanavo {

struct EvidenceFile {
  std::string role;  // what the file is to the examination (Shift_JIS)
  std::string name;  // file name as shown, as the platform names it
  std::string path;
  std::uint64_t size = 0;
  std::string sha256;
};

struct ReportRecord {
  int32_t number = 0;
  int32_t position = 0;  // 1-based, as the index stores it
  std::string listLine;  // Shift_JIS
  bool found = false;    // rendered; when not, there is no text and no file
  std::string textFile;  // its name in the records folder
  std::vector<std::string> attachmentFiles;  // names in the attachments folder, Shift_JIS
};

// The page is written in this order, so that it never has to be held whole:
// ReportStart, a ReportRow per record, ReportSectionsStart, a ReportSection
// per record, ReportEnd.
// Everything up to the rows of the record table; evidence[0] is the mobile file.
// coverageHtml (ReportCoverage) comes first, under the title.
std::string ReportStart(const std::vector<EvidenceFile>& evidence, int32_t records, const std::string& madeAt,
                        const std::string& coverageHtml = std::string());
// A record's row in the table.
std::string ReportRow(const ReportRecord& r);
std::string ReportSectionsStart();
// A record's collapsible section with its text (Shift_JIS), given to sink in
// pieces: a record text may be large.
void ReportSection(const TextSink& sink, const ReportRecord& r, std::string_view text);
std::string ReportEnd();

constexpr const char* kRecordsFolder = "records";
constexpr const char* kAttachmentsFolder = "attachments";

// The record number zero-padded to four, as the file names have it (records
// past 9999 take the digits they need).
std::string RecordNumber4(int32_t n);
// The 0-based offset in hexadecimal of a 1-based position ("0x0000001A").
std::string HexOffset(int32_t position);

}  // namespace tanavo
