// A record's time, read from a value the settings cut out and written as ISO
// 8601 with its zone. The text it came from is kept beside it, and a zone
// the text does not give is never taken silently: the one assumed is named.
#pragma once

#include <string>
#include <string_view>

namespace tanavo {

// Longer values are no time (a body, an attachment): none is looked for.
constexpr std::size_t kMaxTimeTextBytes = 200;

struct RecordTime {
  bool found = false;
  std::string iso;    // "2009-10-22T15:48:25+09:00", as the text's zone gives it
  std::string utc;    // "2009-10-22T06:48:25Z": sorts and compares across zones
  std::string local;  // "2009-10-22T15:48:25": the clock as the text shows it
  std::string source;       // the text it was read from
  bool zoneAssumed = false;  // the text gave no zone: assumedOffset was taken
};

// The time of text (ASCII forms: RFC 5322 dates, yyyy/mm/dd hh:mm[:ss],
// yyyymmddThhmmss[Z] of vMessage and vCalendar with or without a property
// name before it, y.m.d.h.m.s). assumedOffsetMinutes is the zone taken when
// the text names none (east of UTC positive).
RecordTime NormaliseTime(std::string_view text, int assumedOffsetMinutes);

// "+09:00" for 540; parses it back, false when it is no offset.
std::string OffsetText(int minutes);
bool ParseOffset(std::string_view text, int* minutes);

}  // namespace tanavo
