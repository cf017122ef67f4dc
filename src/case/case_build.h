// Building a case file from the working data of a loaded index: each record
// rendered as the data display shows it, its values, attachments and time
// stored, all in one transaction, so that an interrupted build leaves the
// case as it was (its tags included).
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "case/case_file.h"

namespace tanavo {

struct Workspace;

enum class CaseBuildStatus {
  Built,
  OtherEvidence,  // the case was built from another index: kept as it is
  Busy,           // another program holds the case past the wait
  Failed,         // the database refused a write (message in error)
};

struct CaseBuildResult {
  CaseBuildStatus status = CaseBuildStatus::Failed;
  std::string error;
  int32_t records = 0;
  int32_t notFound = 0;     // records not at their position in the mobile file
  int32_t withoutTime = 0;  // records without a readable time
  int32_t zoneAssumed = 0;  // records whose time gave no zone
};

struct CaseBuildInput {
  std::vector<CaseEvidence> evidence;  // each file's role, path and SHA-256
  int assumedOffsetMinutes = 9 * 60;   // the zone of a time that names none
  std::function<void(int32_t n, int32_t count)> progress;
};

// The type of a file by its first bytes ("image/jpeg", ...; text/plain for
// text, application/octet-stream when unknown).
std::string TypeByContent(const std::string& bytes);

// The key a field name is found by: UTF-8, case folded.
std::string FieldKey(const std::string& utf8Name);

CaseBuildResult BuildCase(CaseFile& c, Workspace& ws, const CaseBuildInput& input);

}  // namespace tanavo
