#include <gtest/gtest.h>

#include <string>

#include "platform/charset.h"
#include "platform/fake/fake_charset.h"
#include "charset_cases.h"

namespace tanavo {
namespace {

class SystemCharsetTest : public ::testing::TestWithParam<ConversionCase> {};

TEST_P(SystemCharsetTest, ConvertsToShiftJis) {
  const ConversionCase& c = GetParam();
  CharsetResult r;
  ASSERT_TRUE(SystemCharsetConverter().ToShiftJis(c.charset, c.input, &r)) << c.charset;
  EXPECT_EQ(r.text, c.expected) << c.charset;
  EXPECT_EQ(r.replaced, c.replaced) << c.charset;
}

INSTANTIATE_TEST_SUITE_P(Charsets, SystemCharsetTest, ::testing::ValuesIn(SystemCharsetCases()));

TEST(SystemCharset, RefusesWhatItDoesNotKnow) {
  for (const std::string& name : UnknownCharsetNames()) {
    CharsetResult r;
    r.text = "kept";
    EXPECT_FALSE(SystemCharsetConverter().ToShiftJis(name, "abc", &r)) << name;
    EXPECT_EQ(r.text, "kept");
  }
}

TEST(SystemCharset, LongTextConvertsWhole) {
  // Larger than the converter's buffers, with a bad byte in the middle.
  std::string utf8;
  std::string sjis;
  for (int i = 0; i < 20000; ++i) {
    utf8 += "\xE6\x97\xA5";
    sjis += "日";
  }
  utf8 += "\xFF";
  sjis += "〓";
  CharsetResult r;
  ASSERT_TRUE(SystemCharsetConverter().ToShiftJis("utf-8", utf8 + utf8, &r));
  EXPECT_EQ(r.text, sjis + sjis);
  EXPECT_EQ(r.replaced, 2u);
}

TEST(SystemCharset, ManyCharactersWithoutPlaceKeepTheirOrder) {
  // Characters code page 932 has no place for, spread over far more text than
  // the converter hands on at a time, so that replacements fall on every
  // side of its slice edges.
  std::string utf8;
  std::string sjis;
  for (int i = 0; i < 5000; ++i) {
    utf8 += i % 3 == 0 ? "\xE2\x82\xAC" : "\xE6\x97\xA5" "a";  // the euro sign, or 日 and a
    sjis += i % 3 == 0 ? "〓" : "日a";
  }
  CharsetResult r;
  ASSERT_TRUE(SystemCharsetConverter().ToShiftJis("utf-8", utf8, &r));
  EXPECT_EQ(r.text, sjis);
  EXPECT_EQ(r.replaced, 1667u);
}

TEST(FakeCharset, KnowsShiftJisAndJisOnly) {
  FakeCharsetConverter fake;
  CharsetResult r;
  EXPECT_TRUE(fake.ToShiftJis("iso-2022-jp", "\x1B$B0!\x1B(B", &r));
  EXPECT_EQ(r.text, "亜");
  EXPECT_TRUE(fake.ToShiftJis("cp932", kPictogram, &r));
  EXPECT_EQ(r.text, kPictogram);
  EXPECT_FALSE(fake.ToShiftJis("utf-8", "a", &r));
  EXPECT_EQ(fake.asked.size(), 3u);
}

}  // namespace
}  // namespace tanavo
