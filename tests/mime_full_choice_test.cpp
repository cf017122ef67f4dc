#include <gtest/gtest.h>

#include <string>

#include "display/item_decoder.h"
#include "extract/kta_file.h"
#include "mime/full_choice.h"
#include "test_support.h"

namespace tanavo {
namespace {

TagDefinition MailEntry() {
  TagDefinition e;
  e.kind = "Data";
  e.name = "Body";
  e.rangeStartTag = "BEGIN:VBODY\r\n";
  e.rangeEndTag = "END:VBODY";
  e.dataTypeStartTag = e.dataTypeEndTag = "*";
  e.encodingStartTag = e.encodingEndTag = "*";
  e.contentStartTag = "\r\n\r\n";
  e.contentEndTag = "END:VBODY";
  return e;
}

TEST(FullMimeChoice, RoundTripsThroughTheSettingsFile) {
  TagDefinition e = MailEntry();
  SetFullMimeEntry(e, true);
  TagDefinition back;
  DecodeEntry(EncodeEntry(e), back);
  EXPECT_TRUE(IsFullMimeEntry(back));
  EXPECT_EQ(EncodeEntry(back), EncodeEntry(e));
  SetFullMimeEntry(back, false);
  EXPECT_FALSE(IsFullMimeEntry(back));
  EXPECT_TRUE(back.japaneseCodeStartTag.empty());
}

TEST(FullMimeChoice, OnlyTheExactPairOnADataEntryChoosesIt) {
  struct Case {
    const char* kind;
    const char* start;
    const char* end;
    bool full;
  } cases[] = {{"Data", "*MIME*", "", true},  {"Data", "*MIME*", "*", false}, {"Data", "*", "*", false},
               {"Data", "*mime*", "", false}, {"Group", "*MIME*", "", false}, {"D_SET", "*MIME*", "", false}};
  for (const Case& c : cases) {
    TagDefinition e = MailEntry();
    e.kind = c.kind;
    e.japaneseCodeStartTag = c.start;
    e.japaneseCodeEndTag = c.end;
    EXPECT_EQ(IsFullMimeEntry(e), c.full) << c.kind << " " << c.start << "/" << c.end;
  }
}

TEST(FullMimeChoice, SwitchingOffLeavesOtherCharsetTagsAlone) {
  TagDefinition e = MailEntry();
  e.japaneseCodeStartTag = e.japaneseCodeEndTag = "*";
  SetFullMimeEntry(e, false);
  EXPECT_EQ(e.japaneseCodeStartTag, "*");
  EXPECT_EQ(e.japaneseCodeEndTag, "*");
}

// The marker changes nothing for the decoding the settings describe: an entry
// holding it decodes exactly as one whose charset pair is empty.
TEST(FullMimeChoice, SettingsDecodingIgnoresTheMarker) {
  const std::string item =
      "BEGIN:VBODY\r\nContent-Type: text/plain; charset=ISO-2022-JP\r\nContent-Transfer-Encoding: 7bit\r\n\r\n"
      "\x1B$B0!\x1B(B\r\nEND:VBODY";
  FakeApp marked, plain;
  marked.app.extraction.entries[0] = MailEntry();
  SetFullMimeEntry(marked.app.extraction.entries[0], true);
  plain.app.extraction.entries[0] = MailEntry();
  EXPECT_EQ(DecodeDataItem(marked.app, 0, item), DecodeDataItem(plain.app, 0, item));
  EXPECT_EQ(marked.platform.boxes.size(), plain.platform.boxes.size());
}

TEST(FullMimeChoice, EachEntryShowsItsFieldByName) {
  FullMail m;
  m.date = "d";
  m.from = "f";
  m.to = "t";
  m.subject = "s";
  m.body = "b";
  EXPECT_EQ(FullMailField(m, "Date"), "d");
  EXPECT_EQ(FullMailField(m, "From"), "f");
  EXPECT_EQ(FullMailField(m, "To"), "t");
  EXPECT_EQ(FullMailField(m, "Subject"), "s");
  EXPECT_EQ(FullMailField(m, "Body"), "b");
  EXPECT_EQ(FullMailField(m, "Mail"), "b");
}

}  // namespace
}  // namespace tanavo
