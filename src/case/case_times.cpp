#include "case/case_times.h"

#include <sqlite3.h>

namespace tanavo {

CaseTimes::CaseTimes(CaseFile& c)
    : select_(c.db(), "SELECT time_iso, time_local, time_zone_assumed FROM records WHERE number = ?1") {}

CaseTime CaseTimes::Of(std::int32_t n) {
  CaseTime t;
  if (!select_.ok()) return t;
  select_.Reset();
  select_.Bind(1, static_cast<std::int64_t>(n));
  if (select_.Step() == SQLITE_ROW && !select_.IsNull(0)) {
    t.found = true;
    t.iso = select_.Text(0);
    t.local = select_.Text(1);
    t.zoneAssumed = select_.Int(2) != 0;
  }
  return t;
}

}  // namespace tanavo
