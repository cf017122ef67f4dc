#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "mime/mime_full.h"
#include "mime/mime_parts.h"
#include "platform/charset.h"
#include "platform/fake/fake_charset.h"

namespace tanavo {
namespace {

// Expected texts are Japanese literals (built as code page 932); mail bytes
// are written as they travel.
struct MailCase {
  const char* what;
  std::string mail;
  std::string subject;
  std::string body;
  std::vector<std::pair<std::string, std::string>> attachments;  // name, bytes
  std::size_t problems;
};

class FullMailTest : public ::testing::TestWithParam<MailCase> {};

TEST_P(FullMailTest, Decodes) {
  const MailCase& c = GetParam();
  const FullMail m = DecodeFullMail(c.mail, SystemCharsetConverter());
  EXPECT_EQ(m.subject, c.subject) << c.what;
  EXPECT_EQ(m.body, c.body) << c.what;
  ASSERT_EQ(m.attachments.size(), c.attachments.size()) << c.what;
  for (std::size_t i = 0; i < c.attachments.size(); ++i) {
    EXPECT_EQ(m.attachments[i].name, c.attachments[i].first) << c.what;
    EXPECT_EQ(m.attachments[i].bytes, c.attachments[i].second) << c.what;
  }
  EXPECT_EQ(m.Problems(), c.problems) << c.what;
}

const std::string kUtf8Nihon = "\xE6\x97\xA5\xE6\x9C\xAC";  // 日本 in UTF-8
const std::string kJisNihon = "\x1B$BF|K\\\x1B(B";         // 日本 in ISO-2022-JP

INSTANTIATE_TEST_SUITE_P(
    HeaderForms, FullMailTest,
    ::testing::Values(
        MailCase{"names in any case, folded, CRLF", "SUBJECT: a\r\n b\r\n\r\nx", "a b", "x", {}, 0},
        MailCase{"bare LF lines", "subject: s\nContent-Type: text/plain\n\nline1\nline2", "s", "line1\nline2", {}, 0},
        MailCase{"headers only from the block", "Subject: top\r\n\r\nSubject: not a header", "top",
                 "Subject: not a header", {}, 0},
        MailCase{"no header at all", "just text\r\n", "", "just text\r\n", {}, 0},
        MailCase{"leading blank line and From line", "\r\nFrom a@b Mon\r\nSubject: s\r\n\r\nb", "s", "b", {}, 0},
        MailCase{"no empty line: headers only", "Subject: s\r\n", "s", "", {}, 0}));

INSTANTIATE_TEST_SUITE_P(
    EncodedWords, FullMailTest,
    ::testing::Values(
        MailCase{"B, upper-case charset", "Subject: =?ISO-2022-JP?B?GyRCRnxLXBsoQg==?=\r\n\r\n", "日本", "", {}, 0},
        MailCase{"B, lower-case shift_jis", "Subject: =?shift_jis?B?k/qWew==?=\r\n\r\n", "日本", "", {}, 0},
        MailCase{"Q, UTF-8, underscore is a space", "Subject: =?utf-8?Q?a_=E6=97=A5?=\r\n\r\n", "a 日", "", {}, 0},
        MailCase{"adjacent words joined across a split character",
                 "Subject: =?UTF-8?B?5pel?=\r\n =?UTF-8?Q?=E6=9C?= =?UTF-8?Q?=AC?=\r\n\r\n", "日本", "", {}, 0},
        MailCase{"text between words kept", "Subject: =?utf-8?Q?a?= x =?utf-8?Q?b?=\r\n\r\n", "a x b", "", {}, 0},
        MailCase{"raw UTF-8 header", "Subject: " + kUtf8Nihon + "\r\n\r\n", "日本", "", {}, 0},
        MailCase{"raw Shift_JIS header kept", "Subject: \x93\xFA\r\n\r\n", "日", "", {}, 0},
        MailCase{"not a word: white space inside", "Subject: =?utf-8?Q?a b?=\r\n\r\n", "=?utf-8?Q?a b?=", "", {}, 0},
        MailCase{"unknown charset marked, word kept", "Subject: =?x-klingon?B?QQ==?=\r\n\r\n",
                 "〓[文字コード不明:x-klingon]=?x-klingon?B?QQ==?=", "", {}, 1}));

INSTANTIATE_TEST_SUITE_P(
    Bodies, FullMailTest,
    ::testing::Values(
        MailCase{"UTF-8 base64", "Content-Type: text/plain; charset=utf-8\r\nContent-Transfer-Encoding: base64\r\n\r\n5pel5pys\r\n",
                 "", "日本", {}, 0},
        MailCase{"ISO-2022-JP 7bit", "Content-Type: text/plain; charset=\"ISO-2022-JP\"\r\n\r\n" + kJisNihon, "", "日本", {}, 0},
        MailCase{"8bit us-ascii", "Content-Type: text/plain; charset=us-ascii\r\nContent-Transfer-Encoding: 8bit\r\n\r\nabc", "",
                 "abc", {}, 0},
        MailCase{"QP with soft breaks, LF and CRLF, in Latin-1",
                 "Content-Type: text/plain; charset=iso-8859-1\r\nContent-Transfer-Encoding: Quoted-Printable\r\n\r\n"
                 "a=D7b=\r\nc= \nd=3D",
                 "", "a×bcd=", {}, 0},
        MailCase{"unknown charset marked, bytes kept", "Content-Type: text/plain; charset=x-foo\r\n\r\nab", "",
                 "〓[文字コード不明:x-foo]ab", {}, 1},
        MailCase{"unknown transfer encoding marked", "Content-Transfer-Encoding: x-uue\r\n\r\nab", "",
                 "〓[エンコード不明:x-uue]ab", {}, 1},
        MailCase{"character without a Shift_JIS form", "Content-Type: text/plain; charset=utf-8\r\n\r\n\xF0\x9F\x98\x80", "",
                 "〓", {}, 1},
        MailCase{"HTML only, made plain",
                 "Content-Type: text/html; charset=utf-8\r\n\r\n<html><head><title>t</title></head><body><p>a&amp;b</p>"
                 "<script>x</script>c<br>d &#26085; &#x672c;</body></html>",
                 "", "a&b\r\nc\r\nd 日 本", {}, 0},
        MailCase{"named references beyond ASCII; one without a Shift_JIS form counted",
                 "Content-Type: text/html; charset=utf-8\r\n\r\n<p>&times;&divide;&copy;&nosuch;</p>", "",
                 "×÷〓&nosuch;", {}, 1}));

const std::string kPhoto = "\x89PNG";

INSTANTIATE_TEST_SUITE_P(
    Multiparts, FullMailTest,
    ::testing::Values(
        MailCase{"unquoted boundary; attachment by its own encodings",
                 "Content-Type: multipart/mixed; boundary=xyz\r\n\r\npreamble\r\n--xyz\r\n"
                 "Content-Type: text/plain; charset=ISO-2022-JP\r\n\r\n" + kJisNihon + "\r\n--xyz\r\n"
                 "Content-Type: image/png; name=\"a.png\"\r\nContent-Transfer-Encoding: base64\r\n\r\niVBORw==\r\n--xyz\r\n"
                 "Content-Type: text/plain; name=b.txt\r\nContent-Disposition: attachment\r\n"
                 "Content-Transfer-Encoding: quoted-printable\r\n\r\nq=3D\r\n--xyz--\r\nepilogue",
                 "", "日本", {{"a.png", kPhoto}, {"b.txt", "q="}}, 0},
        MailCase{"a nested multipart that reuses its parent's boundary leaves the body to the text part",
                 "Content-Type: multipart/mixed; boundary=\"b\"\r\n\r\n--b\r\n"
                 "Content-Type: multipart/alternative; boundary=\"b\"\r\n\r\n\r\n--b\r\n"
                 "Content-Type: text/plain\r\n\r\ntext\r\n--b\r\nContent-Type: text/html\r\n\r\n<p>h</p>\r\n--b--\r\n",
                 "", "text", {{"part1.html", "<p>h</p>"}}, 0},
        MailCase{"nested alternative inside mixed: plain first, HTML an attachment",
                 "Content-Type: multipart/mixed; boundary=\"o\"\r\n\r\n--o\r\n"
                 "Content-Type: multipart/alternative; boundary=\"i\"\r\n\r\n--i\r\n"
                 "Content-Type: text/html\r\n\r\n<b>h</b>\r\n--i\r\nContent-Type: text/plain\r\n\r\np\r\n--i--\r\n"
                 "--o\r\nContent-Type: message/rfc822\r\n\r\nSubject: inner\r\n\r\nx\r\n--o--\r\n",
                 "", "p", {{"part1.html", "<b>h</b>"}, {"part2.eml", "Subject: inner\r\n\r\nx"}}, 0},
        MailCase{"HTML body when no text/plain; part without Content-Type is text",
                 "Content-Type: multipart/alternative; boundary=b\r\n\r\n--b\r\nContent-Type: text/html\r\n\r\n<i>h</i>\r\n"
                 "--b--\r\n",
                 "", "h", {}, 0},
        MailCase{"part without Content-Type is us-ascii text",
                 "Content-Type: multipart/mixed; boundary=b\r\n\r\n--b\r\n\r\nplain\r\n--b--\r\n", "", "plain", {}, 0},
        MailCase{"missing closing delimiter keeps the last part",
                 "Content-Type: multipart/mixed; boundary=b\r\n\r\n--b\r\n\r\nt\r\n--b\r\n"
                 "Content-Type: application/octet-stream; name*=UTF-8''%E6%97%A5.bin\r\n\r\nraw",
                 "", "t", {{"日.bin", "raw"}}, 0},
        MailCase{"boundary text inside a line is no delimiter",
                 "Content-Type: multipart/mixed; boundary=b\r\n\r\n--b\r\n\r\nx --b y\r\n--bb\r\n--b--", "", "x --b y\r\n--bb",
                 {}, 0},
        MailCase{"RFC 2231 continuations with charset",
                 "Content-Type: multipart/mixed; boundary=b\r\n\r\n--b\r\nContent-Type: image/png\r\n"
                 "Content-Disposition: attachment;\r\n filename*0*=iso-2022-jp''%1B%24BF%7C;\r\n filename*1*=K%5C%1B%28B.png\r\n"
                 "\r\nz\r\n--b--",
                 "", "", {{"日本.png", "z"}}, 0},
        MailCase{"encoded-word file name", 
                 "Content-Type: multipart/mixed; boundary=b\r\n\r\n--b\r\nContent-Type: image/png;\r\n"
                 " name=\"=?ISO-2022-JP?B?GyRCRnxLXBsoQg==?=.png\"\r\n\r\nz\r\n--b--",
                 "", "", {{"日本.png", "z"}}, 0},
        MailCase{"multipart without boundary read as text",
                 "Content-Type: multipart/mixed\r\n\r\nbody", "", "body", {}, 0},
        MailCase{"a boundary of 70 characters splits",
                 "Content-Type: multipart/mixed; boundary=" + std::string(70, 'x') + "\r\n\r\n--" + std::string(70, 'x') +
                     "\r\n\r\nt\r\n--" + std::string(70, 'x') + "--",
                 "", "t", {}, 0},
        MailCase{"a boundary longer than 70 characters is none: the body read as text",
                 "Content-Type: multipart/mixed; boundary=" + std::string(71, 'x') + "\r\n\r\n--" + std::string(71, 'x') +
                     "\r\n\r\nt",
                 "", "--" + std::string(71, 'x') + "\r\n\r\nt", {}, 0}));

// HTML made plain: what a browser shows stays, markup goes, and what never
// ends is marked, kept and counted.
struct HtmlCase {
  const char* what;
  std::string html;
  std::string text;
  std::size_t undecoded;
};

class HtmlTextTest : public ::testing::TestWithParam<HtmlCase> {};

TEST_P(HtmlTextTest, ShowsWhatABrowserShows) {
  const HtmlCase& c = GetParam();
  MimeContext ctx{SystemCharsetConverter(), nullptr};
  EXPECT_EQ(HtmlToText(ctx, c.html), c.text) << c.what;
  EXPECT_EQ(ctx.undecoded, c.undecoded) << c.what;
}

const std::string kMeet = "Meet at the station at 9";

INSTANTIATE_TEST_SUITE_P(
    Tokenizer, HtmlTextTest,
    ::testing::Values(
        HtmlCase{"< before a space is text", "<p>5 < 10</p>" + kMeet, "5 < 10\r\n" + kMeet, 0},
        HtmlCase{"< before a digit is text", "I <3 you. " + kMeet, "I <3 you. " + kMeet, 0},
        HtmlCase{"< and </ at the end are text", "a <", "a <", 0},
        HtmlCase{"head without its end tag ends at the first text",
                 "<html><head><meta charset=utf-8><title>t</title>" + kMeet, kMeet, 0},
        HtmlCase{"<!--> is an empty comment", "<!-->" + kMeet, kMeet, 0},
        HtmlCase{"<!---> is an empty comment", "<!--->" + kMeet + "<!-- x -->", kMeet, 0},
        HtmlCase{"a comment ends at --!>", "<!-- a --!>" + kMeet, kMeet, 0},
        HtmlCase{"<!--!> does not end the comment", "<!--!>x-->" + kMeet, kMeet, 0},
        HtmlCase{"> inside a quoted attribute", "<a title=\"a>b\" href='c>d'>" + kMeet + "</a>", kMeet, 0},
        HtmlCase{"declarations, processing instructions, </> and </ + non-letter",
                 "<!DOCTYPE html><?xml version=\"1.0\"?></></ x>" + kMeet, kMeet, 0},
        HtmlCase{"script content is no markup", "<script>if (a<b) x='</p>'</script >" + kMeet, kMeet, 0},
        HtmlCase{"textarea shows its content as text", "<textarea><b>x</b> &amp;</textarea>" + kMeet,
                 "<b>x</b> &" + kMeet, 0},
        HtmlCase{"plaintext: the rest is text", "<plaintext><b>" + kMeet, "<b>" + kMeet, 0},
        HtmlCase{"a broken lead byte does not swallow a tag", "\x82<b>" + kMeet + "</b>", "\x82" + kMeet, 0},
        HtmlCase{"an unclosed comment is marked, the rest kept", kMeet + "<!-- x", kMeet + "〓[HTML終わりなし:!--]<!-- x", 1},
        HtmlCase{"an unclosed tag is marked, the rest kept", kMeet + "<a href=\"x>y", kMeet + "〓[HTML終わりなし:a]<a href=\"x>y",
                 1},
        HtmlCase{"an unclosed declaration is marked", "<!x " + kMeet, "〓[HTML終わりなし:!]<!x " + kMeet, 1},
        HtmlCase{"a hidden element without its end tag is marked, its content kept", "<style>" + kMeet,
                 "〓[HTML終わりなし:style]" + kMeet, 1}));

TEST(FullMail, TopHeaderFields) {
  const FullMail m = DecodeFullMail(
      "Date: Mon, 1 Jan 2007 09:00:00 +0900\r\nFrom: =?ISO-2022-JP?B?GyRCRnxLXBsoQg==?= <a@example.jp>\r\n"
      "To: b@example.jp\r\nSubject: s\r\n\r\nx",
      SystemCharsetConverter());
  EXPECT_EQ(m.date, "Mon, 1 Jan 2007 09:00:00 +0900");
  EXPECT_EQ(m.from, "日本 <a@example.jp>");
  EXPECT_EQ(m.to, "b@example.jp");
}

TEST(FullMail, HeaderOnlyLeavesBodyAndAttachmentsAndTheirProblems) {
  const std::string mail =
      "Subject: =?x-unknown?B?eA==?=\r\nContent-Type: multipart/mixed; boundary=b\r\n\r\n--b\r\n"
      "Content-Type: text/plain; charset=x-unknown\r\n\r\nbody\r\n--b\r\nContent-Type: image/png\r\n\r\nP\r\n--b--\r\n";
  const FullMail whole = DecodeFullMail(mail, SystemCharsetConverter());
  const FullMail header = DecodeFullMail(mail, SystemCharsetConverter(), nullptr, MailParts::HeaderOnly);
  EXPECT_EQ(header.subject, whole.subject);
  EXPECT_TRUE(header.body.empty());
  EXPECT_TRUE(header.attachments.empty());
  EXPECT_EQ(whole.attachments.size(), 1u);
  EXPECT_EQ(header.Problems(), 1u);  // the subject's charset; the body's is not read
  EXPECT_EQ(whole.Problems(), 2u);
}

TEST(FullMail, NestingDeeperThanTheCapIsKeptWhole) {
  std::string mail;
  for (int d = 0; d <= kMaxMimeDepth + 2; ++d) {
    mail += "Content-Type: multipart/mixed; boundary=b" + std::to_string(d) + "\r\n\r\n--b" + std::to_string(d) + "\r\n";
  }
  mail += "\r\ndeep";
  const FullMail m = DecodeFullMail(mail, SystemCharsetConverter());
  ASSERT_EQ(m.attachments.size(), 1u);
  EXPECT_EQ(m.attachments[0].name, "part1.eml");
  EXPECT_NE(m.attachments[0].bytes.find("deep"), std::string::npos);
  EXPECT_EQ(m.undecoded, 1u);
}

TEST(FullMail, PartsBeyondTheCapStayInTheLast) {
  std::string mail = "Content-Type: multipart/mixed; boundary=b\r\n\r\n";
  for (std::size_t i = 0; i < kMaxMimeParts + 10; ++i) mail += "--b\r\nContent-Type: a/b\r\n\r\nx\r\n";
  const FullMail m = DecodeFullMail(mail, SystemCharsetConverter());
  EXPECT_EQ(m.attachments.size(), kMaxMimeParts);
}

struct Recorder : MimeReporter {
  std::vector<std::pair<MimeWarning, std::size_t>> seen;
  void Warn(MimeWarning w, std::size_t offset, std::string_view) override { seen.push_back({w, offset}); }
};

// The cap on parts holds for the parts of every multipart together, nested
// ones too: what is not split is kept, marked and counted.
struct CapCase {
  const char* what;
  std::size_t siblings;  // leaf parts before the nested multipart
  std::size_t nested;    // leaf parts of the nested multipart
  std::size_t attachments;
  std::string lastName;
  std::string lastStart;  // how the last attachment's bytes begin
};

class PartsCapTest : public ::testing::TestWithParam<CapCase> {};

TEST_P(PartsCapTest, HoldsAtEveryDepth) {
  const CapCase& c = GetParam();
  std::string mail = "Content-Type: multipart/mixed; boundary=o\r\n\r\n";
  for (std::size_t i = 0; i < c.siblings; ++i) mail += "--o\r\nContent-Type: a/b\r\n\r\ns\r\n";
  mail += "--o\r\nContent-Type: multipart/mixed; boundary=i\r\n\r\n";
  for (std::size_t i = 0; i < c.nested; ++i) mail += "--i\r\nContent-Type: a/b\r\n\r\nn\r\n";
  mail += "--i--\r\n--o--\r\n";
  Recorder r;
  const FullMail m = DecodeFullMail(mail, SystemCharsetConverter(), &r);
  ASSERT_EQ(m.attachments.size(), c.attachments) << c.what;
  EXPECT_EQ(m.attachments.back().name, c.lastName) << c.what;
  EXPECT_EQ(m.attachments.back().bytes.substr(0, c.lastStart.size()), c.lastStart) << c.what;
  EXPECT_EQ(m.undecoded, 1u) << c.what;
  ASSERT_EQ(r.seen.size(), 1u) << c.what;
  EXPECT_EQ(r.seen[0].first, MimeWarning::TooManyParts) << c.what;
}

INSTANTIATE_TEST_SUITE_P(
    NestedMultiparts, PartsCapTest,
    ::testing::Values(
        CapCase{"the cap reached beside the nested multipart keeps it whole", 999, 5000, kMaxMimeParts, "part1000.eml",
                "Content-Type: multipart/mixed; boundary=i\r\n\r\n--i\r\n"},
        CapCase{"the cap reached inside it keeps the rest, marked", 990, 5000, 999, "part999.txt",
                "〓[未分割:multipart/mixed]--i\r\nContent-Type: a/b\r\n\r\nn\r\n--i\r\n"},
        CapCase{"one part left for it: all of its body is the rest", 998, 20, 999, "part999.txt",
                "〓[未分割:multipart/mixed]--i\r\n"}),
    [](const ::testing::TestParamInfo<CapCase>& info) { return "Case" + std::to_string(info.index); });

TEST(FullMail, DelimiterSearchReadsEachLineOnce) {
  // A boundary of dashes over lines of dashes: every byte begins an
  // occurrence, and none is a delimiter but the last line.
  const std::string boundary(kMaxBoundaryBytes, '-');
  std::string mail = "Content-Type: multipart/mixed; boundary=\"" + boundary + "\"\r\n\r\n";
  for (int i = 0; i < 1000; ++i) mail += std::string(1000, '-') + "\r\n";
  mail += "--" + boundary + "\r\n\r\nlast";
  const FullMail m = DecodeFullMail(mail, SystemCharsetConverter());
  EXPECT_EQ(m.body, "last");
  EXPECT_LE(m.work, 2 * mail.size());
}

TEST(FullMail, ManyParametersAreLookedUpByName) {
  // Tens of thousands of parameters in one header, each looked up once.
  std::string type = "Content-Type: application/octet-stream";
  for (int i = 0; i < 40000; ++i) type += "; n" + std::to_string(i) + "*=x; p" + std::to_string(i) + "=y";
  const std::string mail = "Content-Type: multipart/mixed; boundary=b\r\n\r\n--b\r\n" + type +
                           "; name=plain; name=second; name*=UTF-8''%E6%97%A5.bin\r\n\r\nz\r\n--b--";
  const FullMail m = DecodeFullMail(mail, SystemCharsetConverter());
  ASSERT_EQ(m.attachments.size(), 1u);
  EXPECT_EQ(m.attachments[0].name, "日.bin");  // the RFC 2231 form wins over the first plain one
}

TEST(FullMail, ReporterHearsEachProblemWithItsOffset) {
  const std::string mail =
      "Content-Type: multipart/mixed; boundary=b\r\n\r\n--b\r\nContent-Type: text/plain; charset=x-foo\r\n\r\nt\r\n--b--";
  Recorder r;
  const FullMail m = DecodeFullMail(mail, SystemCharsetConverter(), &r);
  ASSERT_EQ(r.seen.size(), 1u);
  EXPECT_EQ(r.seen[0].first, MimeWarning::UnknownCharset);
  EXPECT_EQ(r.seen[0].second, mail.find("Content-Type: text/plain"));
  EXPECT_EQ(m.undecoded, 1u);
}

TEST(FullMail, UsesOnlyTheConverterItIsGiven) {
  FakeCharsetConverter fake;
  const FullMail m = DecodeFullMail("Subject: =?utf-8?B?QQ==?=\r\nContent-Type: text/plain; charset=utf-8\r\n\r\nb", fake);
  EXPECT_EQ(m.undecoded, 2u);  // the fake knows no UTF-8
  EXPECT_EQ(fake.asked, (std::vector<std::string>{"utf-8", "utf-8"}));
}

TEST(FullMail, EncodedWordsWithoutCharsetAreNotReadAgain) {
  // Starts with an empty charset before a single "?=": each is no word.
  std::string subject = "Subject: ";
  for (int i = 0; i < 50000; ++i) subject += "=??B?x";
  subject += "?=";
  const FullMail m = DecodeFullMail(subject + "\r\n\r\n", SystemCharsetConverter());
  EXPECT_EQ(m.subject, subject.substr(9));
}

TEST(FullMail, EncodedWordSearchStaysLinear) {
  // Many "=?" starts without a word: must finish at once, not re-read the text.
  std::string subject = "Subject: ";
  for (int i = 0; i < 200000; ++i) subject += "=?a?B?x";
  const FullMail m = DecodeFullMail(subject + "\r\n\r\n", SystemCharsetConverter());
  EXPECT_EQ(m.subject.size(), subject.size() - 9);
}

}  // namespace
}  // namespace tanavo
