#include <gtest/gtest.h>

#include <string>

#include "display/item_decoder.h"
#include "mime/tag_decoding.h"
#include "extract/kta_file.h"
#include "files/extraction_file.h"
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

// The pair that holds the marker reads as "no charset" in the decoding the
// settings describe, so a program without full decoding reading the file
// decodes the entry as before, only without a charset step.
TEST(FullMimeChoice, SettingsDecodingReadsTheMarkerAsNoCharset) {
  const std::string item = "Content-Type: text/plain; charset=ISO-2022-JP\r\n\r\nx";
  EXPECT_EQ(ReadHeaderValue(item, kFullMimeTag, "", HeaderKind::Charset), "");
  EXPECT_EQ(ReadHeaderValue(item, "charset=", "", HeaderKind::Charset), "");
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

namespace tanavo {
namespace {

// A Data entry in full mode, as the record walk hands its item over (range
// tags included): valid mail gives its field and never a box.
TEST(FullMimeChoice, DataItemInFullModeIsReadAsMail) {
  const std::string item =
      "BEGIN:VBODY\r\nSubject: =?iso-2022-jp?B?GyRCMCEbKEI=?=\r\nContent-Type: text/plain; charset=us-ascii\r\n"
      "Content-Transfer-Encoding: 8bit\r\n\r\nplain\r\nEND:VBODY";
  FakeApp f;
  TagDefinition body = MailEntry();
  SetFullMimeEntry(body, true);
  TagDefinition subject = body;
  subject.name = "Subject";
  f.app.extraction.entries[0] = body;
  f.app.extraction.entries[1] = subject;
  EXPECT_EQ(DecodeItem(f.app, 0, item, TextOnlyDecoding()).text, "plain\r\n");
  EXPECT_EQ(DecodeItem(f.app, 1, item, TextOnlyDecoding()).text, "亜");
  EXPECT_TRUE(f.platform.boxes.empty());
  // The settings' decoding of the same item warns about "8bit".
  f.app.extraction.entries[0] = MailEntry();
  f.app.extraction.entries[0].japaneseCodeStartTag = f.app.extraction.entries[0].japaneseCodeEndTag = "*";
  DecodeItem(f.app, 0, item, TextOnlyDecoding()).text;
  EXPECT_FALSE(f.platform.boxes.empty());
}

// Saved and loaded as a whole settings file, the choice stays with its entry
// and a charset pair of another entry stays as it was.
TEST(FullMimeChoice, SurvivesSavingAndLoadingTheSettingsFile) {
  const std::string path = "D:\\work\\mail.kta";
  FakeApp f;
  TagDefinition full = MailEntry();
  SetFullMimeEntry(full, true);
  TagDefinition plain = MailEntry();
  plain.name = "Plain";
  plain.japaneseCodeStartTag = plain.japaneseCodeEndTag = "*";
  const TagDefinition record = Def("D_SET", "D_SET", "BEGIN:VMSG", "END:VMSG");
  SetTable(f.app.extraction, {record, full, plain, record});
  f.platform.dialogAnswers.push_back(path);
  SaveExtractionSettings(f.app);
  ASSERT_EQ(f.platform.files.count(path), 1u);
  EXPECT_TRUE(f.platform.boxes.empty());

  ResetSettings(f.app.extraction);
  f.platform.dialogAnswers.push_back(path);
  ASSERT_TRUE(LoadExtractionSettings(f.app));
  EXPECT_TRUE(IsFullMimeEntry(f.app.extraction.entries[1]));
  EXPECT_FALSE(IsFullMimeEntry(f.app.extraction.entries[2]));
  EXPECT_EQ(f.app.extraction.entries[2].japaneseCodeStartTag, "*");
  EXPECT_EQ(f.app.extraction.entries[1].contentEndTag, "END:VBODY");
}

}  // namespace
}  // namespace tanavo
