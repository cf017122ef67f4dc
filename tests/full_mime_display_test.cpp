#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "app/data_display.h"
#include "cli/cli.h"
#include "display/attachment.h"
#include "state/attachments.h"
#include "display/render.h"
#include "app/display_window.h"
#include "export_support.h"
#include "full_mime_sample_mails.h"
#include "index/index_creation.h"
#include "mime/full_choice.h"
#include "platform/charset.h"
#include "mime_test_data.h"
#include "test_support.h"

namespace tanavo {
namespace {

using namespace std::string_literals;

const std::string kPng = "\x89PNG\r\n\x1a\n\0\0\0\rIHDR\xff\x00\x3d"s;
const std::string kInnerMail = "Subject: inner\r\n\r\nforwarded\r\n";

// A mail with a text body, a PNG and a forwarded mail.
std::string MailWithAttachments() {
  return "From: a@example.jp\r\nSubject: photos\r\nMIME-Version: 1.0\r\n"
         "Content-Type: multipart/mixed; boundary=b\r\n\r\n" +
         Part("b", "Content-Type: text/plain; charset=us-ascii\r\n", "see") +
         Part("b", "Content-Type: image/png; name=\"p.png\"\r\nContent-Transfer-Encoding: base64\r\n",
              WrappedBase64(kPng)) +
         Part("b", "Content-Type: message/rfc822\r\n", kInnerMail) + "--b--\r\n";
}

// A mail with a text body (under the given header) and n small files.
std::string MailWithFiles(int n, const std::string& bodyHeader) {
  std::string mail = "Subject: files\r\nContent-Type: multipart/mixed; boundary=b\r\n\r\n" + Part("b", bodyHeader, "x");
  for (int i = 1; i <= n; ++i) {
    mail += Part("b", "Content-Type: text/csv; name=\"f" + std::to_string(i) + ".csv\"\r\n", "1,2");
  }
  return mail + "--b--\r\n";
}

// The mails as records, each read by the Date, From, Subject and Body
// entries in full mode.
void LoadFullMails(FakeApp& f, const std::vector<std::string>& mails) {
  std::string dump;
  for (const std::string& m : mails) dump += "<MAIL>\r\n<BODY>\r\n" + m + "</BODY>\r\n</MAIL>\r\n";
  f.app.state.mobileFile = dump;
  const TagDefinition record = Def("D_SET", "MAIL", "<MAIL>", "</MAIL>");
  std::vector<TagDefinition> table = {record};
  for (const char* name : {"Date", "From", "Subject", "Body"}) {
    TagDefinition e = Def("Data", name, "<BODY>\r\n", "</BODY>");
    SetFullMimeEntry(e, true);
    table.push_back(e);
  }
  table.push_back(record);
  SetTable(f.app.extraction, table);
  f.app.display.listLineTemplate = "??Subject??";
  f.app.display.layoutText = "??Subject??|??Body??";
  ASSERT_EQ(CreateIndex(f.app), 0);
}

struct FullApp : FakeApp {
  MemoryWindow& Display() { return Win(kDisplayWindowClass); }
};

TEST(FullMimeDisplay, TheBodyEntryCarriesTheMailsAttachmentsDecoded) {
  FullApp f;
  LoadFullMails(f, {MailWithAttachments()});
  RenderedRecord r;
  ASSERT_EQ(ShowRecord(f.app, 1, &r), 0);
  EXPECT_EQ(r.text, "photos|see");
  EXPECT_TRUE(r.attachments);
  // Once, by the Body entry; not again by Date, From and Subject.
  ASSERT_EQ(r.attachmentFiles.size(), 2u);
  EXPECT_EQ(r.attachmentFiles[0].name, "p.png");
  EXPECT_EQ(AttachmentBytes(r.attachmentFiles[0]), kPng);
  EXPECT_EQ(r.attachmentFiles[1].name, "part2.eml");
  EXPECT_EQ(AttachmentBytes(r.attachmentFiles[1]), kInnerMail);
  // Kept as decoded, never Base64-encoded again.
  EXPECT_TRUE(r.attachmentFiles[0].decoded);
  EXPECT_EQ(r.attachmentFiles[0].content, kPng);
  // The data display lists them as it lists a multipart item's.
  EXPECT_EQ(f.Display().ListCount(kDispAttachmentList), 2);
  EXPECT_EQ(f.Display().ListRow(kDispAttachmentList, 0), "p.png");
  EXPECT_EQ(f.Display().Text(kDispAttachmentLabel), "添付ファイル");
  EXPECT_EQ(f.app.attachments.count, 2);
  EXPECT_TRUE(f.app.attachments.decoded[1]);
  EXPECT_EQ(f.app.attachments.contents[1], kPng);
  EXPECT_TRUE(f.platform.boxes.empty());
  // Opened with its bytes as they are, the controls ending as after a decoding.
  f.Display().UserSelect(kDispAttachmentList, 0);
  EXPECT_EQ(f.platform.files[f.app.state.programFolder + "\\temp.png"], kPng);
  EXPECT_EQ(f.Display().Text(kDispAttachmentLabel), "添付ファイル");
  EXPECT_EQ(f.Display().Text(kDispStatusText), "");
}

TEST(FullMimeDisplay, AMailWithoutAttachmentsIsNoMultipartItem) {
  FullApp f;
  LoadFullMails(f, {"Subject: hi\r\n\r\ntext\r\n"});
  RenderedRecord r;
  ASSERT_EQ(ShowRecord(f.app, 1, &r), 0);
  EXPECT_EQ(r.text, "hi|text\r\n");
  EXPECT_FALSE(r.attachments);
  EXPECT_EQ(f.Display().Text(kDispAttachmentLabel), "");
}

// A record's entries share one decoding of its mail; the next record's mail,
// and a mail shown again after another, are each decoded for themselves.
TEST(FullMimeDisplay, EachRecordShowsItsOwnMail) {
  FullApp f;
  LoadFullMails(f, {MailWithAttachments(), "Subject: hi\r\n\r\ntext\r\n", MailWithAttachments()});
  struct Case {
    int record;
    const char* text;
    std::size_t attachments;
  };
  for (const Case& c : std::vector<Case>{{1, "photos|see", 2}, {2, "hi|text\r\n", 0}, {3, "photos|see", 2},
                                         {2, "hi|text\r\n", 0}, {1, "photos|see", 2}}) {
    RenderedRecord r;
    ASSERT_EQ(ShowRecord(f.app, c.record, &r), 0) << c.record;
    EXPECT_EQ(r.text, c.text) << c.record;
    EXPECT_EQ(r.attachmentFiles.size(), c.attachments) << c.record;
  }
}

// Bytes kept Base64-encoded come back whole through the decoding that opening
// and export use, whatever their length and values.
TEST(FullMimeDisplay, AttachmentBytesSurviveTheOpeningDecoding) {
  std::string all;
  for (int c = 0; c < 256; ++c) all.push_back(static_cast<char>(c));
  for (std::size_t n = 0; n <= all.size(); n += (n < 8 ? 1 : 61)) {
    const std::string bytes = all.substr(0, n);
    EXPECT_EQ(DecodeAttachment(EncodeBase64(bytes)), bytes) << n;
  }
}

TEST(FullMimeDisplay, StatusTextCountsWhatTheRecordsMailCouldNotDecodeOnce) {
  struct Case {
    const char* what;
    std::string mail;
    std::string status;
  } cases[] = {
      {"valid mail", "Subject: hi\r\n\r\ntext\r\n", ""},
      {"a body in an unknown charset, read by four entries",
       "Subject: hi\r\nContent-Type: text/plain; charset=x-unknown\r\n\r\ntext\r\n", "変換不能: 1箇所"},
      {"an unknown charset and an unknown encoding",
       "Subject: =?x-unknown?B?eA==?=\r\nContent-Transfer-Encoding: x-what\r\n\r\ntext\r\n",
       "変換不能: 2箇所"},
      // Valid mail raises no box however many attachments it holds.
      {"seven attachments, five listed", MailWithFiles(7, ""), "添付+2件非表示"},
      {"both", MailWithFiles(6, "Content-Type: text/plain; charset=x-unknown\r\n"), "変換不能: 1箇所 添付+1件非表示"},
  };
  for (const Case& c : cases) {
    FullApp f;
    LoadFullMails(f, {c.mail, "Subject: clean\r\n\r\nok\r\n"});
    ASSERT_EQ(ShowRecord(f.app, 1), 0) << c.what;
    EXPECT_EQ(f.Display().Text(kDispStatusText), c.status) << c.what;
    EXPECT_TRUE(f.platform.boxes.empty()) << c.what;
    // The next record's status is its own.
    ASSERT_EQ(ShowRecord(f.app, 2), 0) << c.what;
    EXPECT_EQ(f.Display().Text(kDispStatusText), "") << c.what;
  }
}

// Through the settings file, as tanavo-cli reads them: export and render write
// the attachments' decoded bytes, the forwarded mail as .eml.
TEST(FullMimeDisplay, ExportAndRenderWriteTheDecodedBytes) {
  namespace fs = std::filesystem;
  const fs::path dir = FreshTestFolder("tanavo_full_mime_export");
  FakeApp program;
  LoadFullMails(program, {MailWithAttachments()});
  WriteEvidence(program.app, dir, "m");
  std::string out, err;
  const std::string ini = (dir / "m.ini").string();
  ASSERT_EQ(RunCli({"index", (dir / "m.dat").string(), (dir / "m.kta").string(), (dir / "m.kdp").string(), ini},
                   nullptr, &out, &err),
            kExitOk);
  ASSERT_EQ(RunCli({"export", ini, (dir / "out").string()}, nullptr, &out, &err), kExitOk) << err;
  EXPECT_EQ(ReadBytes(dir / "out/attachments/0001/000001-1-p.png"), kPng);
  EXPECT_EQ(ReadBytes(dir / "out/attachments/0001/000001-2-part2.eml"), kInnerMail);
  EXPECT_EQ(std::distance(fs::directory_iterator(dir / "out/attachments/0001"), fs::directory_iterator()), 2);
  ASSERT_EQ(RunCli({"render", ini, "1", "--attachments", (dir / "r").string()}, nullptr, &out, &err), kExitOk);
  EXPECT_EQ(out, "photos|see");
  EXPECT_EQ(ReadBytes(dir / "r/p.png"), kPng);
  EXPECT_EQ(ReadBytes(dir / "r/part2.eml"), kInnerMail);
  fs::remove_all(dir);
}

// The mails the pictures in docs/ show, through the system's converter.
TEST(FullMimeDisplay, TheSampleMailsDecodeAsThePicturesShowThem) {
  const FullMail phone = DecodeFullMail(Utf8JapaneseMail(), SystemCharsetConverter());
  EXPECT_EQ(phone.from, "山田 太郎 <taro.yamada@example.jp>");
  EXPECT_EQ(phone.subject, "週末の予定について");
  EXPECT_NE(phone.body.find("美術館に変更です〓\r\nチケットは取ってあります～"), std::string::npos) << phone.body;
  EXPECT_EQ(phone.Problems(), 1u);  // the umbrella
  EXPECT_TRUE(phone.attachments.empty());

  const FullMail html = DecodeFullMail(NestedHtmlMail(), SystemCharsetConverter());
  EXPECT_EQ(html.subject, "明日の会議資料 (予算と日程)");
  EXPECT_EQ(html.body.substr(0, 6), "各位\r\n");
  EXPECT_EQ(html.Problems(), 0u);
  ASSERT_EQ(html.attachments.size(), 2u);
  EXPECT_EQ(html.attachments[0].name.substr(html.attachments[0].name.size() - 5), ".html");
  EXPECT_EQ(html.attachments[1].name, "資料.png");
  EXPECT_EQ(html.attachments[1].bytes, SamplePng());
}

}  // namespace
}  // namespace tanavo
