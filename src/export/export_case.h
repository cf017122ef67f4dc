// What an export takes from a case file (--case): the tags and notes, each
// record's normalised time for records.tsv, the tagged records that open the
// report, and a timeline of the records exported per day.
#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "case/case_file.h"
#include "case/case_tags.h"
#include "case/case_times.h"
#include "platform/platform.h"
#include "export/export_report.h"
#include "export/record_choice.h"

namespace tanavo {

constexpr const char* kCaseOption = "--case";
constexpr const char* kTaggedOption = "--tagged";

class ExportCase {
 public:
  // Opens the case at path as the case commands do (refused when its
  // evidence changed), and refuses one built from another mobile file or
  // index than those of this export (their SHA-256 given): its tags would
  // name other records. False after the box saying why.
  bool Open(Platform& p, const std::string& path, const std::string& mobileSha256, const std::string& indexSha256);

  const std::vector<CaseTag>& Tags() const { return tags_; }
  // The tagged records, as a choice of records.
  RecordChoice TaggedChoice() const;
  // The labels and notes of record n (UTF-8), each joined by " | ".
  void TagsOf(int32_t n, std::string* labels, std::string* notes) const;
  CaseTime TimeOf(int32_t n);
  // Closes the case and hashes the file as it then is, as evidence; false
  // when it cannot be read.
  bool CloseAndHash(EvidenceFile* e);

 private:
  std::string path_;
  std::unique_ptr<CaseFile> file_;
  std::unique_ptr<CaseTimes> times_;
  std::vector<CaseTag> tags_;                     // by record
  std::map<int32_t, std::pair<std::size_t, std::size_t>> tagsOf_;  // record: first, end in tags_
};

// A TSV field of a UTF-8 text: TAB, CR, LF and backslash as \t \r \n \\,
// other control bytes as \xHH.
std::string TsvUtf8(std::string_view utf8);

// The records exported per day of their clock, and those without a time.
class Timeline {
 public:
  void Add(const CaseTime& t);
  // The index page's section: an SVG image drawn in the page (no script, no
  // file fetched) with a bar per day, and the counts.
  std::string Section() const;

 private:
  std::map<std::string, int64_t> days_;  // "2009-10-22": records
  int64_t withoutTime_ = 0;
};

// The index page's first section: every tag, with its record's number
// linked to its section on its page (the records chosen, on the pages the
// export wrote; a record not exported is named without a link).
std::string TaggedSection(const std::vector<CaseTag>& tags, const RecordChoice& chosen,
                          const std::vector<ReportPage>& pages);

}  // namespace tanavo
