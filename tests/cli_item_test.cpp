#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

#include "cli/cli.h"
#include "codec/codec.h"
#include "extract/settings.h"
#include "mime_test_data.h"
#include "support/entries.h"

namespace tanavo {
namespace {

constexpr std::size_t kKtaField = 50;

// One field of a .kta entry: spaces written as "[SP]", padded to 50 bytes.
std::string KtaField(const std::string& value) {
  std::string f;
  for (char c : value) f += c == ' ' ? std::string("[SP]") : std::string(1, c);
  f.resize(kKtaField, ' ');
  return f;
}

std::string KtaEntry(const TagDefinition& d) {
  const std::string* fields[] = {&d.japaneseCodeEndTag, &d.japaneseCodeStartTag, &d.nextLineHead, &d.lineEnd,
                                 &d.contentEndTag,      &d.contentStartTag,      &d.encodingEndTag, &d.encodingStartTag,
                                 &d.searchAfterPrevious.Text(), &d.applyToMultiple.Text(),     &d.name,         &d.rangeEndTag,
                                 &d.rangeStartTag,      &d.kind.Text(),                 &d.dataTypeEndTag, &d.dataTypeStartTag};
  std::string e;
  for (const std::string* f : fields) e += KtaField(*f);
  return e;
}

std::string g_stdin;
ReadStatus ReadTestInput(std::string* all) {
  *all = g_stdin;
  return ReadStatus::Ok;
}

class CliItemTest : public ::testing::Test {
 protected:
  void SetUp() override {
    // Each test runs in a process of its own, possibly beside the others: a
    // file name per test keeps them apart.
    kta_ = ::testing::TempDir() + "cli_item_" +
           ::testing::UnitTest::GetInstance()->current_test_info()->name() + ".kta";
    const TagDefinition group = Def(EntryKind::Group, "Mail", "<M>", "</M>");
    const TagDefinition body = MailEntry("Body", "<B>", "</B>", "</B>");
    TagDefinition subject = Def(EntryKind::Data, "Subject");
    subject.contentStartTag = "Subject: ";
    subject.contentEndTag = "\r\n";
    std::ofstream(kta_, std::ios::binary) << KtaEntry(group) + KtaEntry(body) + KtaEntry(subject) + KtaEntry(group);
  }
  void TearDown() override { std::remove(kta_.c_str()); }

  int Run(const std::vector<std::string>& args, const std::string& input) {
    g_stdin = input;
    out.clear();
    err.clear();
    return RunCli(args, ReadTestInput, &out, &err);
  }

  std::string kta_;
  std::string out, err;
};

TEST_F(CliItemTest, DecodesTextItemsAndHeaderItems) {
  EXPECT_EQ(Run({"item", kta_, "Body"}, "<B>Content-Type: text/plain; charset=ISO-2022-JP\r\n"
                                         "Content-Transfer-Encoding: base64\r\n\r\n" +
                                             WrappedBase64(kJisHello) + "</B>"),
            kExitOk);
  EXPECT_EQ(out, "こんにちは");
  EXPECT_EQ(err, "");
  EXPECT_EQ(Run({"item", kta_, "Subject"}, "Subject: " + IsoWord(kJisSubject) + " " + IsoWord(kJisHello) + "\r\n"),
            kExitOk);
  EXPECT_EQ(out, "件名 こんにちは");
  EXPECT_EQ(Run({"--utf8", "item", kta_, "Subject"}, "Subject: " + IsoWord(kJisSubject) + "\r\n"), kExitOk);
  EXPECT_EQ(out, "\xE4\xBB\xB6\xE5\x90\x8D");  // 件名 in UTF-8

  // Warnings go to standard error as boxes; the value is still written.
  EXPECT_EQ(Run({"item", kta_, "Body"}, "<B>Content-Transfer-Encoding: 8bit\r\n\r\nabc</B>"), kExitOk);
  EXPECT_EQ(out, "abc");
  EXPECT_EQ(err, "警告: エンコード=\x16" "8bit\x16は判定できませんでした\n");
}

TEST_F(CliItemTest, MultipartItemsListTheirAttachments) {
  const std::string item = "<B>Content-Type: multipart/mixed; boundary=\"b\"\r\n\r\n"
                           "--b\r\nContent-Type: text/plain; charset=Shift_JIS\r\n\r\n本文\r\n"
                           "--b\r\nContent-Type: image/jpeg;\r\n name=\"" + IsoWord(kJisPhoto) + ".jpg\"\r\n\r\n/9j/\r\n"
                           "--b\r\nContent-Type: text/x-vcard; name=\"a\r\nb.vcf\"\r\n\r\nBEGIN\r\n--b--\r\n</B>";
  EXPECT_EQ(Run({"item", kta_, "Body"}, item), kExitOk);
  EXPECT_EQ(out, "本文\r\n");
  EXPECT_EQ(err, "attachment 1 写真.jpg\nattachment 2 a b.vcf\n");

  // The same item with the entry in full mode lists them as well.
  TagDefinition full;
  full.kind = "Data";
  full.name = "Body";
  full.rangeStartTag = "<B>";
  full.rangeEndTag = "</B>";
  full.japaneseCodeStartTag = "*MIME*";
  std::ofstream(kta_, std::ios::binary | std::ios::trunc) << KtaEntry(full);
  EXPECT_EQ(Run({"item", kta_, "Body"}, item), kExitOk);
  EXPECT_EQ(out, "本文");
  // A line break not followed by white space ends the field, quotes or not.
  EXPECT_EQ(err, "attachment 1 写真.jpg\nattachment 2 a\n");
}

TEST_F(CliItemTest, SettingsPastTheTableAreLoadedWithAWarning) {
  // The first 201 entries are taken; the warning about the rest is no refusal.
  TagDefinition subject = Def(EntryKind::Data, "Subject");
  subject.contentStartTag = "Subject: ";
  subject.contentEndTag = "\r\n";
  std::string settings = KtaEntry(subject);
  TagDefinition filler = subject;
  for (int i = 1; i <= kTagEntries; ++i) {
    filler.name = "X" + std::to_string(i);
    settings += KtaEntry(filler);
  }
  std::ofstream(kta_, std::ios::binary) << settings;
  EXPECT_EQ(Run({"item", kta_, "Subject"}, "Subject: hello\r\n"), kExitOk);
  EXPECT_EQ(out, "hello");
  EXPECT_NE(err.find("202件目以降は読み込みませんでした!!"), std::string::npos);
}

TEST_F(CliItemTest, RefusesWhatItCannotUse) {
  EXPECT_EQ(Run({"item", kta_}, ""), kExitUsage);
  EXPECT_EQ(Run({"item", kta_, "Mail"}, "x"), kExitUsage);  // a Group, not a Data entry
  EXPECT_NE(err.find("Mail"), std::string::npos);
  EXPECT_EQ(Run({"item", kta_, "Nothing"}, "x"), kExitUsage);
  EXPECT_EQ(Run({"item", ::testing::TempDir() + "no-such-file.kta", "Body"}, "x"), kExitFailed);
  EXPECT_NE(err.find("ファイルオープンに失敗"), std::string::npos);
}

}  // namespace
}  // namespace tanavo
