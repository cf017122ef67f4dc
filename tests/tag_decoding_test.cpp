#include "mime/tag_decoding.h"

#include <gtest/gtest.h>

#include <utility>
#include <vector>

#include "codec/codec.h"
#include "display/item_warnings.h"
#include "mime_test_data.h"
#include "platform/fake/fake_platform.h"

namespace tanavo {
namespace {

const std::string kFrame(1, '\x16');

struct RecordedWarnings : MimeReporter {
  std::vector<std::pair<MimeWarning, std::string>> seen;
  void Warn(MimeWarning w, std::size_t offset, std::string_view detail) override {
    EXPECT_EQ(offset, 0u);
    seen.emplace_back(w, std::string(detail));
  }
};

// The tag decoding's body pipeline; warnings kept as codes.
std::string DecodeBody(RecordedWarnings& r, std::string_view body, std::string_view encoding,
                       std::string_view charset) {
  return DecodeTagBody(body, encoding, charset, &r);
}

TEST(MimeHeaderTest, FindHeaderTagsTakesTheFirstListLineThatOccurs) {
  const std::string line = "Content-Type: text/plain; charset=ISO-2022-JP\r\n";
  HeaderTags t = FindHeaderTags(line, kContentTypePatterns);
  EXPECT_EQ(t.startTag, "Content-Type:");
  EXPECT_EQ(t.endTag, ";");
  t = FindHeaderTags(line, kCharsetPatterns);
  EXPECT_EQ(t.startTag, "charset=");
  EXPECT_EQ(t.endTag, "\r\n");

  t = FindHeaderTags("Content-type: text/html;\r\n", kContentTypePatterns);
  EXPECT_EQ(t.startTag, "Content-type:");
  // A start tag with no end tag after it does not match.
  t = FindHeaderTags("Content-Type: text/plain\r\n\r\nbody", kContentTypePatterns);
  EXPECT_EQ(t.startTag, "");
  EXPECT_EQ(t.endTag, "");
  t = FindHeaderTags("Subject: x\r\n", kTransferEncodingPatterns);
  EXPECT_EQ(t.startTag, "");

  // The list order wins, not the order in the text.
  t = FindHeaderTags("Content-transfer-encoding: 7bit\r\nCONTENT-TRANSFER-ENCODING: BASE64\r\n",
                     kTransferEncodingPatterns);
  EXPECT_EQ(t.startTag, "CONTENT-TRANSFER-ENCODING:");
  EXPECT_EQ(t.endTag, "\r\n");
  t = FindHeaderTags("Content-Type: text/plain; CHARSET=\"SHIFT_JIS\"\r\n", kCharsetPatterns);
  EXPECT_EQ(t.startTag, "CHARSET=\"");
  EXPECT_EQ(t.endTag, "\"");
}

TEST(MimeHeaderTest, ReadHeaderValueWithAutomaticTags) {
  const std::string item = "Content-Type: text/plain; charset=ISO-2022-JP\r\n\r\nbody";
  EXPECT_EQ(ReadHeaderValue(item, "*", "*", HeaderKind::ContentType), "text/plain");
  EXPECT_EQ(ReadHeaderValue(item, "*", "*", HeaderKind::Charset), "ISO-2022-JP");
  EXPECT_EQ(ReadHeaderValue(item, "*", "*", HeaderKind::TransferEncoding), "");

  EXPECT_EQ(ReadHeaderValue("Content-Type: text/plain; charset=\"iso-2022-jp\"\r\n", "*", "*", HeaderKind::Charset),
            "iso-2022-jp");
  EXPECT_EQ(ReadHeaderValue("Content-Type: text/plain; CHARSET=\"Shift_JIS\"\r\n", "*", "*", HeaderKind::Charset),
            "Shift_JIS");
  // With no ";" on its line the value runs to the next ";", line breaks included.
  EXPECT_EQ(ReadHeaderValue("Content-Type: text/plain\r\nX-Note: a; b\r\n", "*", "*", HeaderKind::ContentType),
            "text/plain\r\nX-Note:a");
  EXPECT_EQ(ReadHeaderValue("Content-transfer-encoding: 7bit\r\nCONTENT-TRANSFER-ENCODING: base64\r\n", "*", "*",
                            HeaderKind::TransferEncoding),
            "base64");
  // The content pair has no automatic form: "*" is a literal byte there.
  EXPECT_EQ(ReadHeaderValue("a*b c*d", "*", "*", HeaderKind::Content), "b c");
}

TEST(MimeHeaderTest, ReadHeaderValueEmptyTagRules) {
  const std::string text = "a b\r\nENC: q p\r\nrest";
  EXPECT_EQ(ReadHeaderValue(text, "", "", HeaderKind::TransferEncoding), "");
  EXPECT_EQ(ReadHeaderValue(text, "", "", HeaderKind::ContentType), "");
  // Only the start tag empty: everything before the end tag, for the encoding only.
  EXPECT_EQ(ReadHeaderValue(text, "", "\r\n", HeaderKind::TransferEncoding), "ab");
  EXPECT_EQ(ReadHeaderValue(text, "", "\r\n", HeaderKind::Charset), "");
  EXPECT_EQ(ReadHeaderValue(text, "", "\r\n", HeaderKind::Content), "");
  EXPECT_EQ(ReadHeaderValue(text, "ENC:", "", HeaderKind::Charset), "");
  EXPECT_EQ(ReadHeaderValue(text, "ENC:", "\r\n", HeaderKind::TransferEncoding), "qp");
  EXPECT_EQ(ReadHeaderValue(text, "ENC:", "\r\n", HeaderKind::Content), " q p");
  EXPECT_EQ(ReadHeaderValue(text, "ENC:", "#", HeaderKind::Content), "");
  EXPECT_EQ(ReadHeaderValue(text, "NONE:", "\r\n", HeaderKind::Charset), "");
  EXPECT_EQ(ReadHeaderValue("<a></a>", "<a>", "</a>", HeaderKind::Content), "");
  EXPECT_EQ(ReadHeaderValue("<a>x</a>", "<a>", "</a>", HeaderKind::Content), "x");
}

TEST(MimeHeaderTest, NamesByPlaceInTheTables) {
  for (const char* v : {"7BIT", "7Bit", "7bit", "BIT"}) EXPECT_EQ(ParseEncodingNameLoose(v), TransferEncoding::Identity) << v;
  for (const char* v : {"BASE64", "Base64", "base64", "64"}) EXPECT_EQ(ParseEncodingNameLoose(v), TransferEncoding::Base64) << v;
  for (const char* v : {"QUOTED-PRINTABLE", "Quoted-Printable", "Quoted-printable", "quoted-printable"}) {
    EXPECT_EQ(ParseEncodingNameLoose(v), TransferEncoding::QuotedPrintable) << v;
  }
  for (const char* v : {"8bit", "binary", "BASE64x", "QUOTED-printable", ""}) {
    EXPECT_EQ(ParseEncodingNameLoose(v), TransferEncoding::Unknown) << v;
  }
  for (const char* v : {"SHIFT_JIS", "Shift_JIS"}) EXPECT_EQ(ParseCharsetNameLoose(v), JapaneseCode::ShiftJis) << v;
  for (const char* v : {"ISO-2022-JP", "iso-2022-jp"}) EXPECT_EQ(ParseCharsetNameLoose(v), JapaneseCode::Iso2022Jp) << v;
  for (const char* v : {"shift_jis", "EUC-JP", "UTF-8", ""}) EXPECT_EQ(ParseCharsetNameLoose(v), JapaneseCode::Unknown) << v;
}

// The RFC 2045 names beside them: misspellings mail programs send, any case.
TEST(MimeHeaderTest, Rfc2045NamesByTheirLetters) {
  for (const char* v : {"", "7bit", "7-BIT", "8bit", "8bits", "binary", "plain", "none"}) {
    EXPECT_EQ(ParseEncodingNameRfc2045(v), TransferEncoding::Identity) << v;
  }
  for (const char* v : {"base64", "BASE-64"}) EXPECT_EQ(ParseEncodingNameRfc2045(v), TransferEncoding::Base64) << v;
  for (const char* v : {"quoted-printable", "QuotedPrintable", "qp"}) {
    EXPECT_EQ(ParseEncodingNameRfc2045(v), TransferEncoding::QuotedPrintable) << v;
  }
  for (const char* v : {"x-uuencode", "64", "BIT"}) EXPECT_EQ(ParseEncodingNameRfc2045(v), TransferEncoding::Unknown) << v;
}

TEST(MimeHeaderTest, DecodeEncodedWordsWordByWord) {
  // Two words with one space between: each decoded by itself, the space kept.
  EXPECT_EQ(DecodeEncodedWordsLoose("Subject: " + IsoWord(kJisSubject) + " " + IsoWord(kJisHello) + "\r\n"),
            "Subject: 件名 こんにちは\r\n");
  // A word at the very end leaves nothing after it; words joined by an unfolded line too.
  EXPECT_EQ(DecodeEncodedWordsLoose(IsoWord(kJisSubject) + IsoWord(kJisHello)), "件名こんにちは");
  EXPECT_EQ(DecodeEncodedWordsLoose("=?iso-2022-jp?B?" + EncodeBase64(kJisHello) + "?="), "こんにちは");
  EXPECT_EQ(DecodeEncodedWordsLoose("[=?Shift_JIS?B?" + EncodeBase64("テスト") + "?=]"), "[テスト]");
  EXPECT_EQ(DecodeEncodedWordsLoose("=?SHIFT_JIS?B?" + EncodeBase64("テスト") + "?= " + IsoWord(kJisHello)),
            "テスト こんにちは");
  // "!" CR LF inside decoded ISO-2022-JP is dropped before conversion.
  EXPECT_EQ(DecodeEncodedWordsLoose(IsoWord("\x1b$B$3!\r\n$s\x1b(B")), "こん");

  // Not recognised: other charsets, the Q form, a word without its end.
  for (const std::string& t : {std::string("=?UTF-8?B?44GC?="), std::string("=?ISO-2022-JP?Q?=1B$B?="),
                               std::string("=?ISO-2022-JP?B?GyRC"), std::string("plain text")}) {
    EXPECT_EQ(DecodeEncodedWordsLoose(t), t);
  }
  // NUL bytes never survive, decoded or not.
  EXPECT_EQ(DecodeEncodedWordsLoose(std::string("a\0b", 3)), "ab");
  EXPECT_EQ(DecodeEncodedWordsLoose("=?Shift_JIS?B?" + EncodeBase64(std::string("x\0y", 3)) + "?="), "xy");
}

TEST(MimeHeaderTest, DecodeBodyAppliesEncodingThenCharset) {
  RecordedWarnings p;
  std::string longJis;
  for (int i = 0; i < 20; ++i) longJis += kJisBody + "\r\n";
  std::string longSjis;
  for (int i = 0; i < 20; ++i) longSjis += "日本語のメール本文です。\r\n";
  EXPECT_EQ(DecodeBody(p, WrappedBase64(longJis), "base64", "ISO-2022-JP"), longSjis);

  // Quoted-Printable with soft line breaks inside the escape sequence run.
  EXPECT_EQ(DecodeBody(p, "=1B$B$3$s=\r\n$K$A$O=1B(B", "quoted-printable", "iso-2022-jp"), "こんにちは");
  EXPECT_EQ(DecodeBody(p, "そのまま", "7bit", "Shift_JIS"), "そのまま");

  // Encoded words are decoded only when neither value was found.
  const std::string word = IsoWord(kJisHello);
  EXPECT_EQ(DecodeBody(p, word, "7bit", ""), word);
  EXPECT_EQ(DecodeBody(p, word, "", "SHIFT_JIS"), word);
  EXPECT_EQ(DecodeBody(p, word, "", ""), "こんにちは");

  // TAB bytes never survive, whatever the path.
  EXPECT_EQ(DecodeBody(p, "a\tb", "", ""), "ab");
  EXPECT_EQ(DecodeBody(p, "\t\ta\t\tb\t", "7bit", ""), "ab");
  EXPECT_EQ(DecodeBody(p, "\t", "7bit", ""), "");
  EXPECT_EQ(DecodeBody(p, EncodeBase64("c\td"), "BASE64", ""), "cd");
  EXPECT_TRUE(p.seen.empty());
}

TEST(MimeHeaderTest, DecodeBodyWarnsOncePerUnrecognisedValue) {
  RecordedWarnings p;
  EXPECT_EQ(DecodeBody(p, "body", "8bit", "shift_jis"), "body");
  using W = std::pair<MimeWarning, std::string>;
  EXPECT_EQ(p.seen, (std::vector<W>{{MimeWarning::UnknownTransferEncoding, "8bit"}, {MimeWarning::UnknownCharset, "shift_jis"}}));
  // A recognised encoding still runs beside an unknown charset.
  EXPECT_EQ(DecodeBody(p, EncodeBase64("x"), "base64", "UTF-8"), "x");
  ASSERT_EQ(p.seen.size(), 3u);
  EXPECT_EQ(p.seen[2], W(MimeWarning::UnknownCharset, "UTF-8"));
  std::string huge = "x";
  for (int i = 0; i < 200; ++i) huge += "値";
  DecodeBody(p, "body", huge, "");
  ASSERT_EQ(p.seen.size(), 4u);
  EXPECT_EQ(p.seen[3], W(MimeWarning::UnknownTransferEncoding, huge));
}

// The boxes the window program and tanavo-cli show for those codes.
TEST(MimeHeaderTest, WarningBoxesFrameTheValue) {
  FakePlatform p;
  ItemWarningBoxes boxes(p);
  boxes.Warn(MimeWarning::UnknownTransferEncoding, 0, "8bit");
  boxes.Warn(MimeWarning::UnknownCharset, 0, "shift_jis");
  ASSERT_EQ(p.boxes.size(), 2u);
  EXPECT_EQ(p.boxes[0].text, "エンコード=" + kFrame + "8bit" + kFrame + "は判定できませんでした");
  EXPECT_EQ(p.boxes[1].text, "日本語コード=" + kFrame + "shift_jis" + kFrame + "は判定できませんでした");
  for (const RecordedBox& b : p.boxes) {
    EXPECT_EQ(b.caption, "警告");
    EXPECT_EQ(b.owner, BoxOwner::None);
    EXPECT_EQ(b.buttons, BoxButtons::Ok);
  }
  // A runaway value is cut in the box, on a character boundary.
  std::string huge = "x";
  for (int i = 0; i < 200; ++i) huge += "値";
  boxes.Warn(MimeWarning::UnknownTransferEncoding, 0, huge);
  ASSERT_EQ(p.boxes.size(), 3u);
  const std::string shown = "x" + huge.substr(1, kWarningValueBytes - 2) + "...";
  EXPECT_EQ(p.boxes[2].text, "エンコード=" + kFrame + shown + kFrame + "は判定できませんでした");
}

}  // namespace
}  // namespace tanavo
