#include <gtest/gtest.h>

#include "case/record_time.h"

namespace tanavo {
namespace {

constexpr int kJapan = 9 * 60;

TEST(RecordTimeTest, EveryFormToIsoWithItsZone) {
  struct Case {
    const char* text;
    const char* iso;  // empty: no time
    const char* utc;
    bool assumed;
  };
  const Case cases[] = {
      // RFC 5322, with the day name or without, numeric and named zones, a comment after.
      {"Tue, 14 Feb 2006 19:20:00 +0900", "2006-02-14T19:20:00+09:00", "2006-02-14T10:20:00Z", false},
      {"14 Feb 2006 19:20 -0500", "2006-02-14T19:20:00-05:00", "2006-02-15T00:20:00Z", false},
      {"Mon, 1 Jan 2007 00:00:05 GMT", "2007-01-01T00:00:05Z", "2007-01-01T00:00:05Z", false},
      {"Wed, 3 Apr 2013 23:05:09 +0900 (JST)", "2013-04-03T23:05:09+09:00", "2013-04-03T14:05:09Z", false},
      {"Fri, 21 Nov 97 09:55:06 PST", "1997-11-21T09:55:06-08:00", "1997-11-21T17:55:06Z", false},
      {"Tue, 14 Feb 2006 19:20:00", "2006-02-14T19:20:00+09:00", "2006-02-14T10:20:00Z", true},
      {"Date: Tue, 14 Feb 2006 19:20:00 +0900", "2006-02-14T19:20:00+09:00", "2006-02-14T10:20:00Z", false},
      // yyyy/mm/dd hh:mm: no zone, so the assumed one.
      {"2006/1/1 09:15", "2006-01-01T09:15:00+09:00", "2006-01-01T00:15:00Z", true},
      {"2009/10/22 06:48:25", "2009-10-22T06:48:25+09:00", "2009-10-21T21:48:25Z", true},
      {"2009-10-22T06:48:25+02:00", "2009-10-22T06:48:25+02:00", "2009-10-22T04:48:25Z", false},
      // vMessage and vCalendar.
      {"X-NOK-DT:20091022T064825Z", "2009-10-22T06:48:25Z", "2009-10-22T06:48:25Z", false},
      {"X-IRMC-DATE:20091022T064825", "2009-10-22T06:48:25+09:00", "2009-10-21T21:48:25Z", true},
      {"DTSTART:20091022T0648", "2009-10-22T06:48:00+09:00", "2009-10-21T21:48:00Z", true},
      {"DTSTART;TZID=Asia/Tokyo:20091022T064825", "2009-10-22T06:48:25+09:00", "2009-10-21T21:48:25Z", false},
      {"DTSTART;TZID=Europe/Paris:20091022T064825", "2009-10-22T06:48:25+09:00", "2009-10-21T21:48:25Z", true},
      {"20091022T064825Z", "2009-10-22T06:48:25Z", "2009-10-22T06:48:25Z", false},
      // y.m.d.h.m.s
      {"2013.4.3.23.5.9", "2013-04-03T23:05:09+09:00", "2013-04-03T14:05:09Z", true},
      {"  2013.12.31.23.59.59\r\n", "2013-12-31T23:59:59+09:00", "2013-12-31T14:59:59Z", true},
      // No readable time.
      {"", "", "", false},
      {"hello", "", "", false},
      {"2013.13.3.23.5.9", "", "", false},  // month 13
      {"2013/2/29 10:00", "", "", false},   // no such day
      {"2012/2/29 24:00", "", "", false},
      {"32 Jan 2006 10:00 +0900", "", "", false},
      {"20091022T064825+99", "", "", false},
      {"2006/1/1", "", "", false},  // a date without a clock: no time to give
      {"Subject: 2006/1/1 09:15 meeting", "", "", false},
  };
  for (const Case& c : cases) {
    const RecordTime t = NormaliseTime(c.text, kJapan);
    EXPECT_EQ(t.found, *c.iso != '\0') << c.text;
    EXPECT_EQ(t.iso, c.iso) << c.text;
    EXPECT_EQ(t.utc, c.utc) << c.text;
    if (t.found) {
      EXPECT_EQ(t.zoneAssumed, c.assumed) << c.text;
      EXPECT_EQ(t.iso.substr(0, 19), t.local) << c.text;
    }
  }
}

TEST(RecordTimeTest, KeepsTheTextAndNamesTheAssumedZone) {
  const RecordTime t = NormaliseTime(" 2006/1/1 09:15 ", -5 * 60);
  EXPECT_EQ(t.source, "2006/1/1 09:15");
  EXPECT_TRUE(t.zoneAssumed);
  EXPECT_EQ(t.iso, "2006-01-01T09:15:00-05:00");
  EXPECT_EQ(t.utc, "2006-01-01T14:15:00Z");
  EXPECT_FALSE(NormaliseTime(std::string(kMaxTimeTextBytes + 1, ' ') + "2006/1/1 09:15", 0).found);
}

TEST(RecordTimeTest, Offsets) {
  int m = 0;
  EXPECT_TRUE(ParseOffset("+09:00", &m));
  EXPECT_EQ(m, 540);
  EXPECT_TRUE(ParseOffset("-0330", &m));
  EXPECT_EQ(m, -210);
  EXPECT_FALSE(ParseOffset("09:00", &m));
  EXPECT_FALSE(ParseOffset("+25:00", &m));
  EXPECT_EQ(OffsetText(-210), "-03:30");
  EXPECT_EQ(OffsetText(0), "+00:00");
}

}  // namespace
}  // namespace tanavo
