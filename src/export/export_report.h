// The HTML report of the evidence export, in UTF-8, with no script and nothing
// fetched (inline CSS; a Content-Security-Policy forbids the rest): report.html
// is the index page (the evidence, the counts, what was chosen and the pages),
// and report/0001.html ... hold the records, kRecordsPerPage to a page, so
// that a browser opens each at once whatever the number of records.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "export/export_text.h"

namespace tanavo {

// Records on one page of the report; record files and attachments in one
// folder (by record number: records/0001/ holds records 1 to 1000).
constexpr int32_t kRecordsPerPage = 1000;
constexpr int32_t kFilesPerFolder = 1000;
// The most rows a sheet of the common spreadsheets holds.
constexpr int64_t kSpreadsheetRows = 1048576;

constexpr const char* kRecordsFolder = "records";
constexpr const char* kAttachmentsFolder = "attachments";
constexpr const char* kPagesFolder = "report";
constexpr const char* kReportFile = "report.html";

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
  // Names in the record's folder of records/ and attachments/ (RecordFolder).
  std::string textFile;
  std::vector<std::string> attachmentFiles;  // Shift_JIS
  // Beside each name: whether the window program would open it. Only those
  // are links: a browser opens an HTML or SVG attachment as a page of its
  // own, outside the report's Content-Security-Policy.
  std::vector<bool> attachmentLinked;
  Carrier carrier = Carrier::None;  // whose emoji its texts' user-defined codes are
};

// The folder of record n's files: "0001" for records 1 to 1000. Numbers
// past the digits shown here take the ones they need; names stay unique.
std::string RecordFolder(int32_t n);
// Record n's number as file names have it ("000001"), and its text's name.
std::string RecordNumber6(int32_t n);
std::string RecordFileName(int32_t n);
// Page k (from 1) of the report: "0001.html".
std::string PageFileName(int32_t page);
// The 0-based offset in hexadecimal of a 1-based position ("0x0000001A").
std::string HexOffset(int32_t position);

// A page is written in this order, so that it never has to be held whole:
// PageStart, a PageRow per record, PageSectionsStart, a PageSection per
// record (kept aside until the rows are done), PageEnd.
std::string PageStart(const std::string& mobileName, int32_t page, int32_t pages, int32_t first, int32_t last);
std::string PageRow(const ReportRecord& r);
std::string PageSectionsStart();
// A record's collapsible section with its text (Shift_JIS), given to sink in
// pieces: a record text may be large.
void PageSection(const TextSink& sink, const ReportRecord& r, std::string_view text);
std::string PageEnd(int32_t page, int32_t pages);

struct ReportPage {
  int32_t first = 0;  // record numbers on it
  int32_t last = 0;
  int32_t records = 0;
};

// What the index page says.
struct ReportSummary {
  std::vector<EvidenceFile> evidence;  // evidence[0] is the mobile file
  std::string madeAt;
  int32_t indexRecords = 0;  // the records the index holds
  std::string choice;        // the records chosen ("1-100,250")
  std::string chosenBy;      // how ("--records 1-100,250", "--tagged"); empty: all of them
  int64_t chosen = 0;
  int32_t missing = 0;  // chosen, but not found at their position
  int64_t attachments = 0;
  int64_t tableRows = 0;  // of records.tsv, its header included
  std::vector<ReportPage> pages;
  // Sections that open the index page, under its title (each whole: its
  // <h2> and what follows, UTF-8): what the export must say before anything
  // else, such as how much of the mobile file the index covers.
  std::vector<std::string> sections;
};

std::string ReportIndexPage(const ReportSummary& s);

}  // namespace tanavo
