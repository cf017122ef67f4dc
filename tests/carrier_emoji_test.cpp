// Carrier emoji: each carrier's codes, the au mail codes, the marks of
// Shift_JIS outputs, the Unicode of UTF-8 outputs, and which carrier a
// record names.
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <string>

#include "export/export_text.h"
#include "codec/carrier_emoji.h"
#include "mime/mime_full.h"
#include "platform/charset.h"

namespace tanavo {
namespace {

const std::string kSun = "\xE2\x98\x80";       // ☀
const std::string kWarning = "\xE2\x9A\xA0";   // ⚠
const std::string kKeycap5 = "5\xE2\x83\xA3";  // 5 and the combining keycap

TEST(CarrierEmoji, EachCarrierReadsItsOwnCodes) {
  const struct {
    Carrier carrier;
    unsigned code;
    std::string utf8;  // empty: no emoji
  } cases[] = {
      {Carrier::Docomo, 0xF89F, kSun},     {Carrier::Au, 0xF660, kSun},       {Carrier::SoftBank, 0xF98B, kSun},
      {Carrier::Docomo, 0xF98B, kKeycap5}, {Carrier::Au, 0xF659, kWarning},   {Carrier::Au, 0xEB59, kWarning},  // mail JIS
      {Carrier::Au, 0xED4C, "\xF0\x9F\x8E\x8C"}, {Carrier::None, 0xF89F, ""},       {Carrier::Docomo, 0xF660, ""},
      {Carrier::SoftBank, 0x82A0, ""},
  };
  for (const auto& c : cases) {
    const CarrierEmoji* e = FindCarrierEmoji(c.carrier, c.code);
    EXPECT_EQ(e ? std::string(e->utf8) : std::string(), c.utf8) << std::hex << c.code << " " << static_cast<int>(c.carrier);
  }
  // The au mail codes past the phone codes' shift are no emoji.
  EXPECT_EQ(FindCarrierEmoji(Carrier::Au, 0xEEFC), nullptr);
}

// The sun in all three carriers' codes: ☀ in UTF-8, its mark in Shift_JIS,
// counted; a carrier of none keeps every byte.
TEST(CarrierEmoji, TheSunInEveryCarriersCodes) {
  const struct {
    Carrier carrier;
    std::string sjis;
  } cases[] = {{Carrier::Docomo, "\xF8\x9F"}, {Carrier::Au, "\xF6\x60"}, {Carrier::SoftBank, "\xF9\x8B"}};
  for (const auto& c : cases) {
    const std::string text = "a" + c.sjis + "b";
    EXPECT_EQ(Utf8Text(text, c.carrier), "a" + kSun + "b");
    std::size_t count = 0;
    EXPECT_EQ(MarkCarrierEmoji(text, c.carrier, &count), "a〓[太陽]b");
    EXPECT_EQ(count, 1u);
    EXPECT_EQ(MarkCarrierEmoji(text, Carrier::None, &count), text);
    EXPECT_EQ(count, 0u);
    EXPECT_EQ(TsvField(text, c.carrier), "a" + kSun + "b");
    EXPECT_EQ(HtmlText(text, c.carrier), "a" + kSun + "b");
  }
  // Only whole characters: the F8 here is the trail of 0x81F8.
  EXPECT_EQ(MarkCarrierEmoji("\x81\xF8\x9F", Carrier::Docomo), "\x81\xF8\x9F");
}

TEST(CarrierEmoji, TheRecordNamesItsCarrier) {
  const struct {
    const char* record;
    Carrier want;
  } cases[] = {
      {"From: a@docomo.ne.jp\r\n", Carrier::Docomo},
      {"From: a@ezweb.ne.jp\r\n", Carrier::Au},
      {"To: <b@AU.COM>\r\n", Carrier::Au},
      {"From: a@softbank.ne.jp\r\n", Carrier::SoftBank},
      {"From: a@i.softbank.jp\r\n", Carrier::SoftBank},
      {"From: a@t.vodafone.ne.jp\r\n", Carrier::SoftBank},
      {"From: a@jp-d.ne.jp\r\n", Carrier::SoftBank},
      {"From: a@example.jp\r\n", Carrier::None},
      {"From: a@docomo.ne.jp\r\nTo: b@ezweb.ne.jp\r\n", Carrier::None},  // two carriers: the setting decides
      {"X-Mailer: KDDI\r\nFrom: a@docomo.ne.jp\r\nTo: b@ezweb.ne.jp\r\n", Carrier::Au},
      {"From: a@notdocomo.ne.jp.example\r\n", Carrier::None},
  };
  for (const auto& c : cases) EXPECT_EQ(CarrierOfRecord(c.record), c.want) << c.record;

  const struct {
    CarrierSetting setting;
    const char* record;
    Carrier want;
  } settings[] = {
      {CarrierSetting::Auto, "From: a@example.jp", Carrier::None},
      {CarrierSetting::SoftBank, "From: a@example.jp", Carrier::SoftBank},
      {CarrierSetting::SoftBank, "From: a@docomo.ne.jp", Carrier::Docomo},
      {CarrierSetting::None, "From: a@docomo.ne.jp", Carrier::None},
  };
  for (const auto& c : settings) EXPECT_EQ(CarrierFor(c.setting, c.record), c.want) << c.record;
}

std::string ReadMail(const std::string& name) {
  std::ifstream in(std::string(TANAVO_SOURCE_DIR) + "/tests/data/mail/" + name, std::ios::binary);
  std::ostringstream s;
  s << in.rdbuf();
  return s.str();
}

// Real mail: au's emoji in ISO-2022-JP, docomo's in Shift_JIS.
TEST(CarrierEmoji, RealMailOfEachCarrier) {
  const struct {
    const char* file;
    Carrier carrier;
    std::string subjectSjis, subjectUtf8, subjectMarked;
  } cases[] = {
      {"jpmobile-au-attached.eml", Carrier::Au, "題名x\xEB\x59", "\xE9\xA1\x8C\xE5\x90\x8D" "x" + kWarning,
       "題名x〓[警告]"},
      {"jpmobile-docomo-emoji.eml", Carrier::Docomo, "題名\xF8\xD7", "", ""},
  };
  for (const auto& c : cases) {
    const std::string mail = ReadMail(c.file);
    ASSERT_FALSE(mail.empty()) << c.file;
    EXPECT_EQ(CarrierOfRecord(mail), c.carrier) << c.file;
    const FullMail m = DecodeFullMail(mail, SystemCharsetConverter());
    EXPECT_EQ(m.subject, c.subjectSjis) << c.file;  // the evidence's bytes
    if (!c.subjectUtf8.empty()) {
      EXPECT_EQ(Utf8Text(m.subject, c.carrier), c.subjectUtf8) << c.file;
      EXPECT_EQ(MarkCarrierEmoji(m.subject, c.carrier), c.subjectMarked) << c.file;
    }
    EXPECT_NE(MarkCarrierEmoji(m.subject + m.body, c.carrier), m.subject + m.body) << c.file;
  }
}

}  // namespace
}  // namespace tanavo
