#include <gtest/gtest.h>

#include <string>

#include "extract/settings.h"

namespace tanavo {
namespace {

void Put(ExtractionSettings& s, int i, const char* kind, const char* name) {
  s.entries[i].kind = kind;
  s.entries[i].name = name;
}

TEST(ExtractionSettings, KindAndFlagsAreParsedFromTheTextTheyKeep) {
  const struct {
    const char* text;
    EntryKind kind;
  } kinds[] = {{"", EntryKind::None},        {"D_SET", EntryKind::DSet},  {"Group", EntryKind::Group},
               {"Data", EntryKind::Data},    {"data", EntryKind::Other},  {"D_SET ", EntryKind::Other},
               {"GROUP", EntryKind::Other},  {"X", EntryKind::Other}};
  for (const auto& c : kinds) {
    KindText k = c.text;
    EXPECT_EQ(k.Value(), c.kind) << c.text;
    EXPECT_EQ(k.Text(), c.text);
  }
  // Set from a value, the text is its spelling; a kind without one reads back
  // from the text it leaves, so value and text never disagree.
  EXPECT_EQ(KindText(EntryKind::Group).Text(), "Group");
  EXPECT_EQ(KindText(EntryKind::Other).Text(), "");
  EXPECT_EQ(KindText(EntryKind::Other).Value(), EntryKind::None);
  EXPECT_EQ(KindText().Value(), EntryKind::None);

  const struct {
    const char* text;
    bool on;
  } flags[] = {{"Y", true}, {"N", false}, {"", false}, {"y", false}, {"YES", false}};
  for (const auto& c : flags) {
    FlagText f = c.text;
    EXPECT_EQ(f.Value(), c.on) << c.text;
    EXPECT_EQ(f.Text(), c.text);
  }
  EXPECT_EQ(FlagText(true).Text(), "Y");
  EXPECT_EQ(FlagText(false).Text(), "N");
}

TEST(ExtractionSettings, UsedEntriesEndAtTheFirstEmptyName) {
  ExtractionSettings s;
  EXPECT_EQ(UsedCount(s), 0);
  EXPECT_FALSE(IsPresent(s));

  Put(s, 0, "D_SET", "D_SET");
  Put(s, 1, "Data", "Data01");
  Put(s, 3, "D_SET", "D_SET");  // after a hole: hidden
  EXPECT_EQ(UsedCount(s), 2);
  EXPECT_TRUE(IsPresent(s));

  for (int i = 0; i < kTagEntries; ++i) s.entries[i].name = "x";
  EXPECT_EQ(UsedCount(s), kTagEntries);

  s.dsetPairCount = 1;
  s.groupCounter = 4;
  s.dataCounter = -2;
  s.entries[7].contentEndTag = "end";
  ResetSettings(s);
  EXPECT_EQ(UsedCount(s), 0);
  EXPECT_EQ(s.entries[7].contentEndTag, "");
  EXPECT_EQ(s.dsetPairCount, 1);
  EXPECT_EQ(s.groupCounter, 4);
  EXPECT_EQ(s.dataCounter, -2);
}

TEST(ExtractionSettings, FindPartnerPairsByNameInTableOrder) {
  ExtractionSettings s;
  Put(s, 0, "D_SET", "D_SET");
  Put(s, 1, "Group", "Head");
  Put(s, 2, "Data", "Head");  // same name, other kind: kinds are not compared
  Put(s, 3, "Group", "Head");
  Put(s, 4, "D_SET", "D_SET");
  Put(s, 5, "Group", "Lone");
  Put(s, 7, "Group", "Lone");  // past the first empty name: not used
  EXPECT_EQ(FindPartner(s, 0), 4);
  EXPECT_EQ(FindPartner(s, 4), 0);
  EXPECT_EQ(FindPartner(s, 1), 2);
  EXPECT_EQ(FindPartner(s, 3), 1);
  EXPECT_EQ(FindPartner(s, 2), 2);  // a Data entry is its own partner
  EXPECT_EQ(FindPartner(s, 5), -1);
  EXPECT_EQ(FindPartner(s, -1), -1);
  EXPECT_EQ(FindPartner(s, kTagEntries), -1);
}

TEST(ExtractionSettings, TagNotationRoundTripsControlBytes) {
  const std::string raw = "a b\r\n\x1b$B\t\x82\xa0 ";
  const std::string shown = ToTagNotation(raw);
  EXPECT_EQ(shown, "a[SP]b[CR][LF][EC]$B[TB]\x82\xa0[SP]");
  EXPECT_EQ(FromTagNotation(shown), raw);

  // A typed token becomes its byte, so the token itself cannot be stored.
  EXPECT_EQ(FromTagNotation("[CR][LF]"), "\r\n");
  EXPECT_EQ(FromTagNotation("[cr][SP"), "[cr][SP");
  // Replacements are not searched again: "[S" + "[SP]" + "P]" gives "[S P]".
  EXPECT_EQ(FromTagNotation("[S[SP]P]"), "[S P]");
}

TEST(ExtractionSettings, TwoDigitNumbersAndListLabels) {
  EXPECT_EQ(TwoDigitNumber(7), "07");
  EXPECT_EQ(TwoDigitNumber(12), "12");
  EXPECT_EQ(TwoDigitNumber(100), "00");
  EXPECT_EQ(TwoDigitNumber(0), "00");

  TagDefinition e;
  e.kind = "D_SET";
  e.name = "D_SET";
  EXPECT_EQ(ListLabel(e), "D_SET");
  e.kind = "Group";
  e.name = "Group01";
  EXPECT_EQ(ListLabel(e), " Group01");
  e.kind = "Data";
  e.name = "From";
  EXPECT_EQ(ListLabel(e), "  From");
}

TEST(ExtractionSettings, InsertAndRemoveKeepTheTableBound) {
  ExtractionSettings s;
  Put(s, 0, "Data", "A");
  Put(s, 1, "Data", "B");
  Put(s, 3, "Data", "Hidden");  // beyond the empty entry 2
  ASSERT_TRUE(InsertEntries(s, 1, 2));
  EXPECT_EQ(s.entries[0].name, "A");
  EXPECT_EQ(s.entries[1].name, "");
  EXPECT_EQ(s.entries[3].name, "B");
  EXPECT_EQ(s.entries[5].name, "Hidden");  // still behind an empty entry
  s.entries[1].name = "N1";
  s.entries[2].name = "N2";
  EXPECT_EQ(UsedCount(s), 4);

  RemoveEntry(s, 0);
  EXPECT_EQ(s.entries[0].name, "N1");
  EXPECT_EQ(s.entries[2].name, "B");
  EXPECT_EQ(s.entries[3].name, "");
  EXPECT_EQ(s.entries[3].kind.Text(), "");
  EXPECT_EQ(UsedCount(s), 3);
  RemoveEntry(s, 3);  // not used: nothing happens
  RemoveEntry(s, -1);
  EXPECT_EQ(UsedCount(s), 3);
  EXPECT_FALSE(InsertEntries(s, 5, 1));  // past the used entries

  ExtractionSettings full;
  for (int i = 0; i < kTagEntries - 1; ++i) Put(full, i, "Data", "x");
  EXPECT_FALSE(InsertEntries(full, 0, 2));
  EXPECT_EQ(UsedCount(full), kTagEntries - 1);
  ASSERT_TRUE(InsertEntries(full, 0, 1));
  full.entries[0].name = "first";
  EXPECT_EQ(UsedCount(full), kTagEntries);
  EXPECT_FALSE(InsertEntries(full, 0, 1));
  EXPECT_EQ(full.entries[0].name, "first");
}

}  // namespace
}  // namespace tanavo
