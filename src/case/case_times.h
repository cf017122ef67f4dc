// Each record's normalised time as the case holds it, read one record at a
// time (an export takes them in record order, never all at once).
#pragma once

#include <cstdint>
#include <string>

#include "case/case_file.h"

namespace tanavo {

struct CaseTime {
  bool found = false;
  std::string iso;    // "2009-10-22T15:48:25+09:00"
  std::string local;  // "2009-10-22T15:48:25": the clock as the record shows it
  bool zoneAssumed = false;
};

class CaseTimes {
 public:
  explicit CaseTimes(CaseFile& c);
  // Record n's time; not found when the record has none or is not in the case.
  CaseTime Of(std::int32_t n);

 private:
  Statement select_;
};

}  // namespace tanavo
