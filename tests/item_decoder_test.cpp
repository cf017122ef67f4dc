#include "display/item_decoder.h"

#include <gtest/gtest.h>

#include "codec/codec.h"
#include "app/attachment_list.h"
#include "app/display_window.h"
#include "display/attachment.h"
#include "mime_test_data.h"
#include "support/warning_recorder.h"
#include "test_support.h"

namespace tanavo {
namespace {

const char* const kMailEnd = "</MAIL>";
constexpr int kMailEntry = 0;
constexpr int kSubjectEntry = 1;

// A mail item as the record walk delivers it: its range tags included.
std::string MailItem(const std::string& mail) { return "<MAIL>" + mail + kMailEnd; }

class ItemDecoderTest : public ::testing::Test {
 protected:
  ItemDecoderTest() {
    app.extraction.entries[kMailEntry] = MailEntry("Mail", "<MAIL>", kMailEnd, kMailEnd);
    TagDefinition& subject = app.extraction.entries[kSubjectEntry];
    subject.kind = "Data";
    subject.name = "Subject";
    subject.contentStartTag = "Subject: ";
    subject.contentEndTag = "\r\n";
  }
  std::string Decode(const std::string& item, int entry = kMailEntry) { return DecodeItem(fake.app, entry, item, TextOnlyDecoding()).text; }
  std::string Multipart(const std::string& item, int entry = kMailEntry) {
    return DecodeItem(fake.app, entry, item, {[&](const DecodedItem& d) { ShowItemAttachments(fake.app, d); }}).text;
  }
  MemoryWindow& Display() { return fake.Win(kDisplayWindowClass); }
  std::vector<std::string> ListRows() {
    std::vector<std::string> rows;
    for (int r = 0; r < Display().ListCount(kDispAttachmentList); ++r) rows.push_back(Display().ListRow(kDispAttachmentList, r));
    return rows;
  }

  FakeApp fake;
  App& app = fake.app;
  std::vector<RecordedBox>& boxes = fake.platform.boxes;
};

TEST_F(ItemDecoderTest, TextItemsAreDecodedAndOthersGiveTheMarker) {
  std::string jis;
  for (int i = 0; i < 8; ++i) jis += kJisBody + "\r\n";
  std::string sjis;
  for (int i = 0; i < 8; ++i) sjis += "日本語のメール本文です。\r\n";
  const std::string headers = "Content-Type: text/plain; charset=ISO-2022-JP\r\nContent-Transfer-Encoding: base64\r\n";
  EXPECT_EQ(Decode(MailItem(headers + "\r\n" + WrappedBase64(jis))), sjis);
  EXPECT_EQ(Decode(MailItem("Content-Type: Text/plain; charset=\"iso-2022-jp\"\r\n"
                            "Content-Transfer-Encoding: quoted-printable\r\n\r\n=1B$B$3$s=\r\n$K$A$O=1B(B")),
            "こんにちは");
  // The lower-case header comes first in the mail, but the upper-case list line wins.
  EXPECT_EQ(Decode(MailItem("Content-transfer-encoding: 7bit\r\nCONTENT-TRANSFER-ENCODING: BASE64\r\n"
                            "Content-Type: text/plain; charset=Shift_JIS\r\n\r\n" + EncodeBase64("本文"))),
            "本文");
  // No Content-Type at all: text.
  EXPECT_EQ(Decode(MailItem("Content-Transfer-Encoding: 7bit\r\n\r\nplain")), "plain");

  // Anything but the two spellings of text/plain: the marker, and no header is judged.
  for (const char* type : {"TEXT/PLAIN", "text/html", "multipart/mixed", "multipart/alternative"}) {
    EXPECT_EQ(Decode(MailItem(std::string("Content-Type: ") + type +
                              "; boundary=\"b\"\r\nContent-Transfer-Encoding: 8bit\r\n\r\nx")),
              kMultipartMarker)
        << type;
  }
  EXPECT_TRUE(boxes.empty());

  // Both data type tags empty: text, whatever the headers say.
  app.extraction.entries[kMailEntry].dataTypeStartTag.clear();
  app.extraction.entries[kMailEntry].dataTypeEndTag.clear();
  EXPECT_EQ(Decode(MailItem("Content-Type: multipart/mixed; boundary=\"b\"\r\n\r\nbody")), "body");
}

TEST_F(ItemDecoderTest, HeaderItemsGetTheirEncodedWordsDecoded) {
  // A subject in two encoded words, as phones write it, and one unfolded by the walk.
  EXPECT_EQ(Decode("Subject: " + IsoWord(kJisSubject) + " " + IsoWord(kJisHello) + "\r\n", kSubjectEntry),
            "件名 こんにちは");
  EXPECT_EQ(Decode("Subject: " + IsoWord(kJisSubject) + IsoWord(kJisHello) + "\r\n", kSubjectEntry),
            "件名こんにちは");
  EXPECT_EQ(Decode("Subject: \tplain\r\n", kSubjectEntry), "plain");
  EXPECT_EQ(Decode("From: someone\r\n", kSubjectEntry), "");
  EXPECT_TRUE(boxes.empty());
}

TEST_F(ItemDecoderTest, WarningsAppearOncePerDecodedItem) {
  const std::string item = MailItem("Content-Type: text/plain; charset=UTF-8\r\nContent-Transfer-Encoding: 8bit\r\n\r\nbody");
  EXPECT_EQ(Decode(item), "body");
  ASSERT_EQ(boxes.size(), 2u);
  EXPECT_NE(boxes[0].text.find("8bit"), std::string::npos);
  EXPECT_NE(boxes[1].text.find("UTF-8"), std::string::npos);
  Decode(item);
  EXPECT_EQ(boxes.size(), 4u);
  // An empty body is not decoded, so nothing is judged.
  EXPECT_EQ(Decode(MailItem("Content-Type: text/plain; charset=UTF-8\r\nContent-Transfer-Encoding: 8bit\r\n")), "");
  EXPECT_EQ(boxes.size(), 4u);
}

TEST_F(ItemDecoderTest, IndexOutsideTheTableDecodesToNothing) {
  const std::string item = MailItem(MultipartHeader("boundary=\"b\"") + Attachment("b", "a.jpg", "x") + "--b--\r\n");
  for (int index : {-1, kTagEntries, 100000, -100000}) {
    EXPECT_EQ(Decode(item, index), "") << index;
    EXPECT_EQ(Multipart(item, index), "") << index;
  }
  // Through the one entry point an entry outside the table has no tags: the
  // item is no multipart item, and nothing is recorded.
  EXPECT_EQ(app.attachments.count, 0);
}

TEST_F(ItemDecoderTest, MultipartMailShowsItsTextPartAndListsAttachments) {
  const std::string b = "==_Part_1234";
  const std::string mail =
      MultipartHeader("boundary=\"" + b + "\"") + "This is a multi-part message in MIME format.\r\n" +
      Part(b,
           "Content-Type: text/plain; charset=\"ISO-2022-JP\"\r\nContent-Transfer-Encoding: quoted-printable\r\n",
           "=1B$B$3$s=\r\n$K$A$O=1B(B") +
      Attachment(b, "photo.jpg", "JPEGDATA") +
      Part(b, "Content-Type: application/octet-stream;\r\n name=\"very-long-\r\n name.dat\"\r\n", "raw") +
      Attachment(b, IsoWord(kJisPhoto) + ".jpg", "JPEG2") + "--" + b + "--\r\nepilogue\r\n";
  Display().Show(kDispAttachmentList, false);
  Display().Show(kDispAttachmentLabel, false);
  Display().Show(kDispStatusText, false);

  EXPECT_EQ(Decode(MailItem(mail)), kMultipartMarker);
  EXPECT_EQ(Multipart(MailItem(mail)), "こんにちは\r\n");
  EXPECT_EQ(app.attachments.count, 3);
  EXPECT_EQ(app.attachments.names[1], "photo.jpg");
  EXPECT_EQ(app.attachments.names[2], "very-long-name.dat");
  EXPECT_EQ(app.attachments.names[3], "写真.jpg");
  // Contents stay transfer-encoded, up to the next delimiter.
  EXPECT_EQ(app.attachments.contents[1], WrappedBase64("JPEGDATA") + "\r\n");
  EXPECT_EQ(app.attachments.contents[2], "raw\r\n");
  EXPECT_EQ(app.attachments.names[0], "");

  EXPECT_TRUE(Display().IsShown(kDispAttachmentList));
  EXPECT_TRUE(Display().IsShown(kDispAttachmentLabel));
  EXPECT_TRUE(Display().IsShown(kDispStatusText));
  EXPECT_EQ(Display().Text(kDispAttachmentLabel), "添付ファイル");
  EXPECT_EQ(ListRows(), (std::vector<std::string>{"photo.jpg", "very-long-name.dat", "写真.jpg"}));
  EXPECT_TRUE(boxes.empty());
}

TEST_F(ItemDecoderTest, WhichPartIsTheText) {
  const std::string head = MultipartHeader("boundary=\"b\"");
  const std::string text1 = Part("b", "Content-Type: text/plain; charset=Shift_JIS\r\n", "first");
  const std::string text2 = Part("b", "Content-Type: Text/plain; charset=Shift_JIS\r\n", "second");
  EXPECT_EQ(Multipart(MailItem(head + text1 + text2 + "--b--")), "second\r\n");
  EXPECT_EQ(ListRows().size(), 0u);

  // No text part: attachments only. A part without a Content-Type, and a text
  // part whose Content-Type has no ";" in the part, are attachments.
  EXPECT_EQ(Multipart(MailItem(head + Part("b", "X-Id: 1\r\n", "one") +
                               Part("b", "Content-Type: text/plain\r\n", "two") + "--b--")),
            "");
  EXPECT_EQ(ListRows(), (std::vector<std::string>{"", ""}));
  EXPECT_EQ(app.attachments.contents[2], "two\r\n");

  // A text part with an empty body gives nothing and judges nothing.
  EXPECT_EQ(Multipart(MailItem(head + "--b\r\nContent-Type: text/plain; charset=UTF-8\r\n"
                                      "Content-Transfer-Encoding: 8bit\r\n\r\n--b--")),
            "");
  EXPECT_TRUE(boxes.empty());
  // A text part that is judged warns once per item.
  EXPECT_EQ(Multipart(MailItem(head + Part("b", "Content-Type: text/plain; charset=UTF-8\r\n"
                                                "Content-Transfer-Encoding: 8bit\r\n", "x") + "--b--")),
            "x\r\n");
  EXPECT_EQ(boxes.size(), 2u);
}

TEST_F(ItemDecoderTest, WithoutAQuotedBoundaryTheItemIsOneAttachment) {
  const std::string mail = "Content-Type: multipart/mixed; boundary=xyz\r\n\r\n--xyz\r\n"
                           "Content-Type: image/gif; name=\"a.gif\"\r\n\r\nR0lGOD\r\n--xyz--\r\n";
  EXPECT_EQ(Multipart(MailItem(mail)), "");
  EXPECT_EQ(app.attachments.count, 1);
  EXPECT_EQ(app.attachments.names[1], "a.gif");
  EXPECT_EQ(app.attachments.contents[1],
            "--xyz\r\nContent-Type: image/gif; name=\"a.gif\"\r\n\r\nR0lGOD\r\n--xyz--\r\n");
  EXPECT_EQ(ListRows(), (std::vector<std::string>{"a.gif"}));

  // An empty boundary would split at every "--": one attachment as well.
  EXPECT_EQ(Multipart(MailItem("Content-Type: multipart/mixed; boundary=\"\"\r\n\r\n--a--b--")), "");
  EXPECT_EQ(app.attachments.contents[1], "--a--b--");
  EXPECT_EQ(ListRows(), (std::vector<std::string>{""}));

  // Nothing after the empty line's end tag is lost when the item is cut short.
  EXPECT_EQ(Multipart("Content-Type: multipart/mixed;\r\n\r\ntail without end"), "");
  EXPECT_EQ(app.attachments.contents[1], "tail without end");
  // No empty line: no content.
  EXPECT_EQ(Multipart(MailItem("Content-Type: multipart/mixed;\r\nbody")), "");
  EXPECT_EQ(app.attachments.contents[1], "");
}

TEST_F(ItemDecoderTest, SixthAndLaterAttachmentsAreLeftOutAndSaidSo) {
  std::string mail = MultipartHeader("boundary=\"b\"") + Part("b", "Content-Type: text/plain; charset=Shift_JIS\r\n", "本文");
  for (int i = 1; i <= 7; ++i) mail += Attachment("b", "f" + std::to_string(i) + ".jpg", "data" + std::to_string(i));
  mail += "--b--\r\n";
  EXPECT_EQ(Multipart(MailItem(mail)), "本文\r\n");
  EXPECT_EQ(app.attachments.count, kAttachmentSlots);
  EXPECT_EQ(ListRows(), (std::vector<std::string>{"f1.jpg", "f2.jpg", "f3.jpg", "f4.jpg", "f5.jpg"}));
  for (int slot = 1; slot <= kAttachmentSlots; ++slot) {
    EXPECT_EQ(app.attachments.contents[slot], WrappedBase64("data" + std::to_string(slot)) + "\r\n");
  }
  ASSERT_EQ(boxes.size(), 1u);
  EXPECT_EQ(boxes[0].text, "添付ファイルは5件まで表示します。残りの2件は表示されません");
  EXPECT_EQ(boxes[0].caption, "警告");
}

TEST_F(ItemDecoderTest, AttachmentWarningsAreCodesToTheCallersReporter) {
  struct Case {
    const char* what;
    std::size_t held;
    bool fullMime;
    std::vector<AttachmentWarning> codes;
  };
  const Case cases[] = {
      {"two past the slots", kAttachmentSlots + 2, false, {AttachmentWarning::LeftOut}},
      {"all in the slots", kAttachmentSlots, false, {}},
      {"a mail read in full", kAttachmentSlots + 2, true, {}},
  };
  for (const Case& c : cases) {
    WarningRecorder<AttachmentWarning, std::size_t, std::string_view> warnings;
    DecodedItem item;
    item.attachmentCount = c.held;
    item.fullMime = c.fullMime;
    WarnAttachmentsLeftOut(app.platform, item, kAttachmentSlots, &warnings);
    EXPECT_EQ(warnings.codes, c.codes) << c.what;
    if (!c.codes.empty()) {
      EXPECT_EQ(warnings.texts[0], "添付ファイルは5件まで表示します。残りの2件は表示されません");
    }
  }
  // A program is written but not opened, which the warning names with its path.
  WarningRecorder<AttachmentWarning, std::size_t, std::string_view> warnings;
  OpenAttachmentBytes(app, "run.exe", "MZprogram", &warnings);
  EXPECT_EQ(warnings.codes, std::vector<AttachmentWarning>{AttachmentWarning::NotOpened});
  EXPECT_NE(warnings.texts[0].find("temp.exe に保存しました"), std::string::npos);
  EXPECT_TRUE(boxes.empty());
  EXPECT_TRUE(fake.platform.shellOpened.empty());
}

TEST_F(ItemDecoderTest, DecodingReturnsEveryAttachmentAndLeavesTheWindowAlone) {
  std::string mail = MultipartHeader("boundary=\"b\"") + Part("b", "Content-Type: text/plain; charset=Shift_JIS\r\n", "本文");
  for (int i = 1; i <= 7; ++i) mail += Attachment("b", "f" + std::to_string(i) + ".jpg", "data" + std::to_string(i));
  mail += "--b--\r\n";
  const DecodedItem d = DecodeItem(fake.app, kMailEntry, MailItem(mail));
  EXPECT_TRUE(d.multipart);
  EXPECT_EQ(d.text, "本文\r\n");
  ASSERT_EQ(d.attachments.size(), 7u);
  EXPECT_EQ(d.attachmentCount, 7u);
  for (int i = 1; i <= 7; ++i) {
    EXPECT_EQ(d.attachments[i - 1].name, "f" + std::to_string(i) + ".jpg");
    EXPECT_EQ(d.attachments[i - 1].content, WrappedBase64("data" + std::to_string(i)) + "\r\n");
  }
  EXPECT_EQ(app.attachments.count, 0);
  EXPECT_EQ(ListRows().size(), 0u);
  EXPECT_TRUE(boxes.empty());

  const DecodedItem text = DecodeItem(fake.app, kSubjectEntry, "Subject: s\r\n");
  EXPECT_FALSE(text.multipart);
  EXPECT_EQ(text.text, "s");
  EXPECT_TRUE(text.attachments.empty());

  // An item of nothing but delimiters keeps a bounded number of them.
  std::string many = MultipartHeader("boundary=\"b\"");
  for (std::size_t i = 0; i < kMaxItemAttachments + 5; ++i) many += "--b\r\n\r\nx\r\n";
  const DecodedItem bounded = DecodeItem(fake.app, kMailEntry, MailItem(many + "--b--\r\n"));
  EXPECT_EQ(bounded.attachments.size(), kMaxItemAttachments);
  EXPECT_EQ(bounded.attachmentCount, kMaxItemAttachments + 5);
}

TEST_F(ItemDecoderTest, APartBeginsAtTheDelimiterThatClosesTheOneBefore) {
  // A boundary of dashes over a body of dashes: an occurrence inside a
  // delimiter starts no part, so the body is read about once.
  const std::string dashes(4000, '-');
  const std::string item = MailItem(MultipartHeader("boundary=\"" + dashes + "\"") + std::string(100000, '-'));
  const DecodedItem d = DecodeItem(fake.app, kMailEntry, item);
  EXPECT_EQ(d.attachmentCount, 100000 / (dashes.size() + 2) - 1);
  EXPECT_LE(d.work, 2 * item.size());
}

TEST_F(ItemDecoderTest, ANewItemRebuildsTheListButKeepsOlderSlots) {
  const std::string head = MultipartHeader("boundary=\"b\"");
  Multipart(MailItem(head + Attachment("b", "1.jpg", "a") + Attachment("b", "2.jpg", "b") +
                     Attachment("b", "3.jpg", "c") + "--b--"));
  EXPECT_EQ(app.attachments.count, 3);
  Multipart(MailItem(head + Attachment("b", "new.png", "n") + "--b--"));
  EXPECT_EQ(app.attachments.count, 1);
  EXPECT_EQ(app.attachments.names[1], "new.png");
  EXPECT_EQ(app.attachments.names[2], "2.jpg");
  EXPECT_EQ(ListRows(), (std::vector<std::string>{"new.png"}));
  // An item without attachments empties the list and leaves the count.
  Multipart(MailItem(head + Part("b", "Content-Type: text/plain; charset=Shift_JIS\r\n", "t") + "--b--"));
  EXPECT_EQ(app.attachments.count, 1);
  EXPECT_EQ(ListRows().size(), 0u);
  EXPECT_EQ(Display().Text(kDispAttachmentLabel), "添付ファイル");
}

TEST_F(ItemDecoderTest, TruncatedMailKeepsWhatArrived) {
  const std::string head = MultipartHeader("boundary=\"b\"");
  // No closing delimiter: the last part runs to the end of the item, less its end tag.
  EXPECT_EQ(Multipart(MailItem(head + Attachment("b", "a.jpg", "whole") + "--b\r\n"
                               "Content-Type: image/png; name=\"cut.png\"\r\n\r\niVBORw0K")),
            "");
  EXPECT_EQ(ListRows(), (std::vector<std::string>{"a.jpg", "cut.png"}));
  EXPECT_EQ(app.attachments.contents[2], "iVBORw0K");
  EXPECT_EQ(Multipart(MailItem(head + "--b\r\nContent-Type: text/plain; charset=Shift_JIS\r\n\r\n途中まで")),
            "途中まで");
  // A part with no empty line has no content; a text part without one no text.
  EXPECT_EQ(Multipart(MailItem(head + "--b\r\nContent-Type: image/png; name=\"h.png\"\r\n--b--")), "");
  EXPECT_EQ(ListRows(), (std::vector<std::string>{"h.png"}));
  EXPECT_EQ(app.attachments.contents[1], "");
  EXPECT_EQ(Multipart(MailItem(head + "--b\r\nContent-Type: text/plain; charset=UTF-8\r\n--b--")), "");
  // Cut inside the headers, or before any part.
  EXPECT_EQ(Multipart(MailItem(head + "--b\r\nContent-Type: image/png; name=\"h")), "");
  EXPECT_EQ(ListRows(), (std::vector<std::string>{""}));
  EXPECT_EQ(Multipart(MailItem("Content-Type: multipart/mixed; boundary=\"b")), "");
  EXPECT_EQ(Multipart(MailItem(head)), "");
  EXPECT_EQ(ListRows().size(), 0u);
  EXPECT_TRUE(boxes.empty());
}

TEST(ItemDecoderBareAppTest, NoDisplayWindowStillFillsTheTable) {
  FakePlatform platform;
  App app(platform);  // not started: no windows
  app.extraction.entries[0].kind = "Data";
  app.extraction.entries[0].name = "Mail";
  app.extraction.entries[0].dataTypeStartTag = app.extraction.entries[0].dataTypeEndTag = "*";
  const std::string item = "Content-Type: multipart/mixed; boundary=\"b\"\r\n\r\n--b\r\n"
                           "Content-Type: image/jpeg; name=\"x.jpg\"\r\n\r\n/9j/\r\n--b--";
  EXPECT_EQ(DecodeItem(app, 0, item, {[&](const DecodedItem& d) { ShowItemAttachments(app, d); }}).text, "");
  EXPECT_EQ(app.attachments.count, 1);
  EXPECT_EQ(app.attachments.contents[1], "/9j/\r\n");
}

}  // namespace
}  // namespace tanavo
