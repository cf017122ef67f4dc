// The ready-made settings in presets/, each on its own sample as the program
// runs them: the three files loaded by their commands, the index created,
// chosen records rendered and the values of their fields compared.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "display/render.h"
#include "files/display_file.h"
#include "files/extraction_file.h"
#include "files/mobile_file.h"
#include "check/trial_extraction.h"
#include "index/index_creation.h"
#include "platform/charset.h"
#include "test_support.h"

namespace tanavo {
namespace {

// The mail presets read UTF-8 and other charsets: with the system's
// converters, as Tanavo.exe and tanavo-cli have them.
struct SystemCharsetPlatform : FakePlatform {
  const CharsetConverter& Charsets() const override { return SystemCharsetConverter(); }
};

struct PresetApp {
  SystemCharsetPlatform platform;
  Workspace app{platform};

  PresetApp(const std::string& base, const std::string& sample) {
    for (const std::string& name : {sample, base + ".kta", base + ".kdp"}) {
      platform.files["C:\\p\\" + name] = ReadBytes(std::string(TANAVO_SOURCE_DIR) + "/presets/" + name);
      EXPECT_FALSE(platform.files["C:\\p\\" + name].empty()) << name;
    }
    EXPECT_TRUE(LoadMobileFile(app, "C:\\p\\" + sample));
    platform.dialogAnswers.push_back("C:\\p\\" + base + ".kta");
    EXPECT_TRUE(LoadExtractionSettings(app));
    platform.dialogAnswers.push_back("C:\\p\\" + base + ".kdp");
    EXPECT_TRUE(LoadDisplaySettings(app));
  }

  // The occurrence-th value of the Data entry named name in record n.
  std::string Value(int n, const std::string& name, std::size_t occurrence) {
    const RenderedRecord r = RenderRecord(app, n, nullptr, RenderValues::Collect);
    EXPECT_EQ(r.status, RenderStatus::Rendered) << n;
    for (int e = 0; e < UsedCount(app.extraction); ++e) {
      if (app.extraction.entries[e].name != name || e >= static_cast<int>(r.values.size())) continue;
      const auto& values = r.values[static_cast<std::size_t>(e)];
      return occurrence < values.size() ? values[occurrence] : "(only " + std::to_string(values.size()) + ")";
    }
    return "(no entry)";
  }
};

// Line ends compared as LF: an LF mailbox's line ends are the decoder's
// business, not the preset's; trailing ones not at all.
std::string Lines(std::string s) {
  s.erase(std::remove(s.begin(), s.end(), '\r'), s.end());
  while (!s.empty() && s.back() == '\n') s.pop_back();
  return s;
}

TEST(Presets, EachReadsItsSample) {
  struct Case {
    const char* base;
    const char* sample;
    int records;
    int record;
    const char* field;
    std::size_t occurrence;
    std::string value;
  };
  const Case cases[] = {
      {"vmessage", "vmessage.vmg", 7, 1, "Subject", 0, "打ち合わせの件"},  // ISO-2022-JP encoded word
      {"vmessage", "vmessage.vmg", 7, 1, "Body", 0, "鈴木さん\r\n\r\n明日の打ち合わせは十時からです。\r\n\r\n山田"},
      {"vmessage", "vmessage.vmg", 7, 2, "Body", 0, "今日は雨です。傘を忘れずに。"},  // UTF-8 in Base64
      {"vmessage", "vmessage.vmg", 7, 3, "From", 0, "田中次郎 <jiro@example.co.jp>"},  // =?shift_jis?B?
      {"vmessage", "vmessage.vmg", 7, 3, "Body", 0,
       "来週の月曜日は出張のため不在です。\r\n急ぎの用件は携帯までお願いします。"},  // Shift_JIS in QP
      {"vmessage", "vmessage.vmg", 7, 4, "Subject", 0, "ランチのお誘い"},  // adjacent Q words joined
      {"vmessage", "vmessage.vmg", 7, 5, "Body", 0, "この前の旅行の写真です。\r\nまた行きましょう！"},
      {"vmessage", "vmessage.vmg", 7, 6, "Body", 0, "お誕生日おめでとうございます！\r\nケーキの写真です。"},
      {"vmessage", "vmessage.vmg", 7, 6, "Date", 0, "Tue, 14 Feb 2006 19:20:00 +0900"},
      {"vmessage", "vmessage.vmg", 7, 7, "Body", 0, "ありがとう〓\r\nケーキおいしそう！"},  // a cake emoji: no Shift_JIS
      {"vcard", "vcard.vcf", 7, 2, "FullName", 0, "佐藤花子"},  // Quoted-Printable
      {"vcard", "vcard.vcf", 7, 2, "Note", 0,
       "旅行仲間。\r\n写真が趣味。毎年春に一緒にお花見に行く。連絡は携帯メールの方が早い。"},  // soft breaks
      {"vcard", "vcard.vcf", 7, 2, "Email", 1, "hanako.sato@example.co.jp"},
      {"vcard", "vcard.vcf", 7, 3, "Tel", 2, "06-1234-5679"},  // every repeated line, none skipped
      {"vcard", "vcard.vcf", 7, 3, "Reading", 0, "ﾀﾅｶ;ｼﾞﾛｳ;;;"},
      {"vcard", "vcard.vcf", 7, 4, "Name", 0, "サンプル商事;;;;"},  // vCard 3.0
      {"vcard", "vcard.vcf", 7, 6, "FullName", 0, "伊藤 美咲"},  // vCard 4.0: UTF-8
      {"vcard", "vcard.vcf", 7, 6, "Note", 0, "誕生日は五月。ケーキ〓が好き。"},  // an emoji: no Shift_JIS
      {"vcard", "vcard.vcf", 7, 7, "Tel", 1, "045-123-4567"},
      {"vcalendar", "vcalendar.vcs", 4, 2, "Summary", 0, "大阪出張"},
      {"vcalendar", "vcalendar.vcs", 4, 2, "Description", 0, "新幹線の切符は前日に受け取る。\r\n宿泊はホテル梅田。"},
      {"vcalendar", "vcalendar.vcs", 4, 3, "Summary", 0, "お花見"},  // the to-do before it is no record
      {"vcalendar", "vcalendar.vcs", 4, 4, "End", 0, "20060412T190000"},
      {"vnote", "vnote.vnt", 3, 1, "Body", 0, "買い物：牛乳、卵、食パン"},
      {"vnote", "vnote.vnt", 3, 2, "Body", 0, "会議メモ\r\n来月の予算案を金曜までにまとめる。\r\n出席者：山田、佐藤"},  // soft breaks
      {"vnote", "vnote.vnt", 3, 2, "Modified", 0, "20060211T091500"},
      {"vnote", "vnote.vnt", 3, 3, "Created", 0, "20060318T190000"},
      {"mmdf", "mmdf.mmdf", 5, 2, "Subject", 0, "おはよう"},
      {"mmdf", "mmdf.mmdf", 5, 5, "Body", 0, "この前の旅行の写真です。\nまた行きましょう！"},
      {"mmdf", "mmdf.mmdf", 5, 5, "From", 0, "佐藤花子 <hanako@example.jp>"},
  };
  for (const Case& c : cases) {
    PresetApp p(c.base, c.sample);
    ASSERT_EQ(CreateIndex(p.app), 0) << c.base;
    EXPECT_EQ(p.app.index.count, c.records) << c.base;
    EXPECT_EQ(Lines(p.Value(c.record, c.field, c.occurrence)), Lines(c.value))
        << c.base << " record " << c.record << " " << c.field;
    EXPECT_TRUE(p.platform.boxes.empty()) << c.base << ": " << p.platform.boxes[0].text;
  }
}

// A contact without a phone number: its list line has blanks where the
// number would be, as its layout has, never the placeholder itself.
TEST(Presets, AContactWithoutAPhoneNumberListsBlanks) {
  PresetApp p("vcard", "vcard.vcf");
  p.app.state.mobileFile += "BEGIN:VCARD\r\nVERSION:2.1\r\nN:Nobody;;;;\r\nFN:Nobody\r\nEND:VCARD\r\n";
  ASSERT_EQ(CreateIndex(p.app), 0);
  ASSERT_EQ(p.app.index.count, 8);
  const std::string& line = p.app.index.lines[8];
  EXPECT_EQ(line.find("??"), std::string::npos) << line;
  EXPECT_NE(line.find("Nobody"), std::string::npos) << line;
  EXPECT_EQ(line.substr(line.size() - 16), std::string(16, ' ')) << line;  // "??Tel         ??" at the end
}

// A vCard 4.0 is UTF-8 wherever the windows show its values: its list line,
// the data display with what Shift_JIS cannot hold counted, and the settings
// check. The 2.1 and 3.0 cards of the same file stay Shift_JIS.
TEST(Presets, AVCard40IsReadAsUtf8AndTheOthersAsTheyAre) {
  PresetApp p("vcard", "vcard.vcf");
  ASSERT_EQ(CreateIndex(p.app), 0);
  EXPECT_EQ(p.app.index.lines[6].substr(0, 9), "伊藤 美咲") << p.app.index.lines[6];
  EXPECT_EQ(p.app.index.lines[4].substr(0, 12), "サンプル商事") << p.app.index.lines[4];
  const RenderedRecord card4 = RenderRecord(p.app, 6);
  EXPECT_EQ(card4.undecodable, 1u);  // the cake
  EXPECT_NE(card4.text.find("誕生日は五月。"), std::string::npos);
  const RenderedRecord card3 = RenderRecord(p.app, 5);
  EXPECT_EQ(card3.undecodable, 0u);
  EXPECT_NE(card3.text.find("高橋由紀"), std::string::npos);

  // The settings check walks from the first record to the 4.0 one.
  for (int i = 0; i < 5; ++i) (void)RunTrialStep(p.app, i == 0 ? TrialStep::Check : TrialStep::Next);
  const TrialResult sixth = RunTrialStep(p.app, TrialStep::Next);
  EXPECT_NE(sixth.text.find("伊藤 美咲"), std::string::npos) << sixth.text;
  EXPECT_TRUE(p.platform.boxes.empty());
}

}  // namespace
}  // namespace tanavo
