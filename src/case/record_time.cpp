#include "case/record_time.h"

#include <cctype>
#include <cstdint>
#include <cstdio>
#include <vector>

namespace tanavo {

namespace {

struct Clock {
  int year = 0, month = 0, day = 0, hour = 0, minute = 0, second = 0;
  bool zoneGiven = false;
  int offset = 0;  // minutes east of UTC
};

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

std::string_view Trim(std::string_view s) {
  while (!s.empty() && std::isspace(static_cast<unsigned char>(s.front()))) s.remove_prefix(1);
  while (!s.empty() && std::isspace(static_cast<unsigned char>(s.back()))) s.remove_suffix(1);
  return s;
}

// Reads 1..maxDigits digits at *pos.
bool Number(std::string_view s, std::size_t* pos, int maxDigits, int* value, int minDigits = 1) {
  int n = 0, digits = 0;
  while (*pos < s.size() && IsDigit(s[*pos]) && digits < maxDigits) {
    n = n * 10 + (s[*pos] - '0');
    ++*pos, ++digits;
  }
  *value = n;
  return digits >= minDigits;
}

bool Take(std::string_view s, std::size_t* pos, char c) {
  if (*pos < s.size() && s[*pos] == c) {
    ++*pos;
    return true;
  }
  return false;
}

void SkipSpaces(std::string_view s, std::size_t* pos) {
  while (*pos < s.size() && (s[*pos] == ' ' || s[*pos] == '\t')) ++*pos;
}

int DaysInMonth(int y, int m) {
  static const int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  const bool leap = (y % 4 == 0 && y % 100 != 0) || y % 400 == 0;
  return m == 2 && leap ? 29 : kDays[m - 1];
}

bool Valid(const Clock& c) {
  return c.year >= 1900 && c.year <= 2999 && c.month >= 1 && c.month <= 12 && c.day >= 1 &&
         c.day <= DaysInMonth(c.year, c.month) && c.hour >= 0 && c.hour <= 23 && c.minute >= 0 && c.minute <= 59 &&
         c.second >= 0 && c.second <= 60 && c.offset > -24 * 60 && c.offset < 24 * 60;
}

// Days since 1970-01-01 of a civil date (proleptic Gregorian).
std::int64_t DaysFromCivil(int y, int m, int d) {
  y -= m <= 2;
  const std::int64_t era = (y >= 0 ? y : y - 399) / 400;
  const unsigned yoe = static_cast<unsigned>(y - era * 400);
  const unsigned doy = static_cast<unsigned>((153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1);
  const unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
  return era * 146097 + static_cast<std::int64_t>(doe) - 719468;
}

void CivilFromDays(std::int64_t z, int* y, int* m, int* d) {
  z += 719468;
  const std::int64_t era = (z >= 0 ? z : z - 146096) / 146097;
  const unsigned doe = static_cast<unsigned>(z - era * 146097);
  const unsigned yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
  const unsigned doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
  const unsigned mp = (5 * doy + 2) / 153;
  *d = static_cast<int>(doy - (153 * mp + 2) / 5 + 1);
  *m = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
  *y = static_cast<int>(yoe + era * 400 + (*m <= 2));
}

std::string Format(int y, int mo, int d, int h, int mi, int s) {
  char buf[40];
  std::snprintf(buf, sizeof buf, "%04d-%02d-%02dT%02d:%02d:%02d", y, mo, d, h, mi, s);
  return buf;
}

// A zone after the clock: Z, +hh:mm, +hhmm, or a name of RFC 5322 (and JST).
bool Zone(std::string_view s, std::size_t* pos, Clock* c) {
  SkipSpaces(s, pos);
  if (*pos >= s.size()) return true;
  const char sign = s[*pos];
  if (sign == 'Z' || sign == 'z') {
    ++*pos;
    c->zoneGiven = true;
    return true;
  }
  if (sign == '+' || sign == '-') {
    ++*pos;
    int h = 0, m = 0;
    std::size_t start = *pos;
    if (!Number(s, pos, 2, &h, 2)) return false;
    Take(s, pos, ':');
    if (!Number(s, pos, 2, &m, 2) || m > 59) return false;
    (void)start;
    c->offset = (sign == '-' ? -1 : 1) * (h * 60 + m);
    c->zoneGiven = true;
    return true;
  }
  struct Named {
    const char* name;
    int offset;
  };
  static const Named kNames[] = {{"UT", 0},       {"UTC", 0},      {"GMT", 0},      {"JST", 540},
                                 {"EST", -300},   {"EDT", -240},   {"CST", -360},   {"CDT", -300},
                                 {"MST", -420},   {"MDT", -360},   {"PST", -480},   {"PDT", -420}};
  std::size_t end = *pos;
  while (end < s.size() && std::isalpha(static_cast<unsigned char>(s[end]))) ++end;
  std::string word(s.substr(*pos, end - *pos));
  for (char& ch : word) ch = static_cast<char>(std::toupper(static_cast<unsigned char>(ch)));
  for (const Named& n : kNames) {
    if (word == n.name) {
      c->offset = n.offset;
      c->zoneGiven = true;
      *pos = end;
      return true;
    }
  }
  return false;
}

// What may follow a time: a comment of RFC 5322, "(JST)".
bool OnlyCommentLeft(std::string_view s, std::size_t pos) {
  SkipSpaces(s, &pos);
  if (pos >= s.size()) return true;
  return s[pos] == '(' && s.back() == ')';
}

// hh:mm[:ss] at *pos.
bool ClockTime(std::string_view s, std::size_t* pos, Clock* c) {
  if (!Number(s, pos, 2, &c->hour) || !Take(s, pos, ':') || !Number(s, pos, 2, &c->minute, 2)) return false;
  if (Take(s, pos, ':') && !Number(s, pos, 2, &c->second, 2)) return false;
  return true;
}

// [Day,] D Mon YYYY hh:mm[:ss] [zone]
bool Rfc5322(std::string_view s, Clock* c) {
  std::size_t pos = 0;
  const std::size_t comma = s.find(',');
  if (comma != std::string_view::npos && comma <= 4) pos = comma + 1;
  SkipSpaces(s, &pos);
  if (!Number(s, &pos, 2, &c->day)) return false;
  SkipSpaces(s, &pos);
  static const char* const kMonths[] = {"jan", "feb", "mar", "apr", "may", "jun",
                                        "jul", "aug", "sep", "oct", "nov", "dec"};
  if (pos + 3 > s.size()) return false;
  std::string mon(s.substr(pos, 3));
  for (char& ch : mon) ch = static_cast<char>(std::tolower(static_cast<unsigned char>(ch)));
  c->month = 0;
  for (int i = 0; i < 12; ++i) {
    if (mon == kMonths[i]) c->month = i + 1;
  }
  if (c->month == 0) return false;
  pos += 3;
  SkipSpaces(s, &pos);
  const std::size_t yearStart = pos;
  if (!Number(s, &pos, 4, &c->year, 2)) return false;
  if (pos - yearStart == 2) c->year += c->year < 50 ? 2000 : 1900;  // obsolete two-digit years
  SkipSpaces(s, &pos);
  if (!ClockTime(s, &pos, c)) return false;
  if (!Zone(s, &pos, c)) return false;
  return OnlyCommentLeft(s, pos);
}

// yyyy/mm/dd hh:mm[:ss] (also with - or . between the date's parts, or T
// before the clock) [zone]
bool Numeric(std::string_view s, Clock* c) {
  std::size_t pos = 0;
  if (!Number(s, &pos, 4, &c->year, 4)) return false;
  if (pos >= s.size()) return false;
  const char sep = s[pos];
  if (sep != '/' && sep != '-') return false;
  ++pos;
  if (!Number(s, &pos, 2, &c->month) || !Take(s, &pos, sep) || !Number(s, &pos, 2, &c->day)) return false;
  if (!Take(s, &pos, 'T')) {
    if (pos >= s.size() || s[pos] != ' ') return false;
    SkipSpaces(s, &pos);
  }
  if (!ClockTime(s, &pos, c)) return false;
  if (!Zone(s, &pos, c)) return false;
  return OnlyCommentLeft(s, pos);
}

// yyyymmddThhmmss[Z] of vCalendar and vMessage.
bool Basic(std::string_view s, Clock* c) {
  std::size_t pos = 0;
  if (!Number(s, &pos, 4, &c->year, 4) || !Number(s, &pos, 2, &c->month, 2) || !Number(s, &pos, 2, &c->day, 2)) {
    return false;
  }
  if (!Take(s, &pos, 'T') && !Take(s, &pos, 't')) return false;
  if (!Number(s, &pos, 2, &c->hour, 2) || !Number(s, &pos, 2, &c->minute, 2)) return false;
  if (pos < s.size() && IsDigit(s[pos]) && !Number(s, &pos, 2, &c->second, 2)) return false;
  if (!Zone(s, &pos, c)) return false;
  return pos == s.size();
}

// y.m.d.h.m.s, each part without leading zeros.
bool Dotted(std::string_view s, Clock* c) {
  std::size_t pos = 0;
  int* parts[] = {&c->year, &c->month, &c->day, &c->hour, &c->minute, &c->second};
  for (int i = 0; i < 6; ++i) {
    if (i > 0 && !Take(s, &pos, '.')) return false;
    if (!Number(s, &pos, i == 0 ? 4 : 2, parts[i], i == 0 ? 4 : 1)) return false;
  }
  return pos == s.size();
}

// "NAME:" or "NAME;PARAM=...:" before the value, as vMessage and vCalendar
// lines and mail headers have it; the TZID parameter names a zone.
std::string_view AfterPropertyName(std::string_view s, std::string_view* tzid) {
  std::size_t i = 0;
  while (i < s.size() && (std::isalnum(static_cast<unsigned char>(s[i])) || s[i] == '-' || s[i] == '_')) ++i;
  if (i == 0 || !std::isalpha(static_cast<unsigned char>(s[0]))) return std::string_view();
  std::size_t colon = i;
  if (i < s.size() && s[i] == ';') {
    colon = s.find(':', i);
    if (colon == std::string_view::npos) return std::string_view();
    const std::string_view params = s.substr(i, colon - i);
    const std::size_t t = params.find("TZID=");
    if (t != std::string_view::npos) {
      std::string_view z = params.substr(t + 5);
      *tzid = z.substr(0, z.find(';'));
    }
  }
  if (colon >= s.size() || s[colon] != ':') return std::string_view();
  return Trim(s.substr(colon + 1));
}

bool ParseAny(std::string_view s, Clock* c) {
  const auto tryOne = [&](bool (*form)(std::string_view, Clock*)) {
    *c = Clock();
    return form(s, c) && Valid(*c);
  };
  return tryOne(Basic) || tryOne(Numeric) || tryOne(Dotted) || tryOne(Rfc5322);
}

}  // namespace

std::string OffsetText(int minutes) {
  char buf[16];
  const int a = minutes < 0 ? -minutes : minutes;
  std::snprintf(buf, sizeof buf, "%c%02d:%02d", minutes < 0 ? '-' : '+', (a / 60) % 100, a % 60);
  return buf;
}

bool ParseOffset(std::string_view text, int* minutes) {
  Clock c;
  std::size_t pos = 0;
  if (text.empty() || (text[0] != '+' && text[0] != '-')) return false;
  if (!Zone(text, &pos, &c) || pos != text.size() || !c.zoneGiven || c.offset <= -24 * 60 || c.offset >= 24 * 60) {
    return false;
  }
  *minutes = c.offset;
  return true;
}

RecordTime NormaliseTime(std::string_view text, int assumedOffsetMinutes) {
  RecordTime t;
  if (text.size() > kMaxTimeTextBytes) return t;
  const std::string_view s = Trim(text);
  if (s.empty()) return t;
  Clock c;
  std::string_view tzid;
  bool ok = ParseAny(s, &c);
  if (!ok) {
    const std::string_view value = AfterPropertyName(s, &tzid);
    ok = !value.empty() && ParseAny(value, &c);
  }
  if (!ok) return t;
  if (!c.zoneGiven && (tzid == "Asia/Tokyo" || tzid == "JST")) {
    c.offset = 540;
    c.zoneGiven = true;
  }
  t.found = true;
  t.source = std::string(s);
  t.zoneAssumed = !c.zoneGiven;
  const int offset = c.zoneGiven ? c.offset : assumedOffsetMinutes;
  t.local = Format(c.year, c.month, c.day, c.hour, c.minute, c.second);
  t.iso = t.local + (offset == 0 && c.zoneGiven ? std::string("Z") : OffsetText(offset));
  const std::int64_t seconds = DaysFromCivil(c.year, c.month, c.day) * 86400 + c.hour * 3600 + c.minute * 60 +
                               c.second - static_cast<std::int64_t>(offset) * 60;
  std::int64_t days = seconds / 86400, rest = seconds % 86400;
  if (rest < 0) rest += 86400, --days;
  int y = 0, mo = 0, d = 0;
  CivilFromDays(days, &y, &mo, &d);
  t.utc = Format(y, mo, d, static_cast<int>(rest / 3600), static_cast<int>(rest % 3600 / 60),
                 static_cast<int>(rest % 60)) + "Z";
  return t;
}

}  // namespace tanavo
