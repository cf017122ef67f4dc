#include <gtest/gtest.h>

#include <string>

#include "platform/charset.h"
#include "platform/fake/fake_charset.h"

namespace tanavo {
namespace {

// Expected texts are written as Japanese literals, which the build turns into
// code page 932; inputs are written byte by byte.
struct ConversionCase {
  const char* charset;
  std::string input;
  std::string expected;
  std::size_t replaced;
};

class SystemCharsetTest : public ::testing::TestWithParam<ConversionCase> {};

TEST_P(SystemCharsetTest, ConvertsToShiftJis) {
  const ConversionCase& c = GetParam();
  CharsetResult r;
  ASSERT_TRUE(SystemCharsetConverter().ToShiftJis(c.charset, c.input, &r)) << c.charset;
  EXPECT_EQ(r.text, c.expected) << c.charset;
  EXPECT_EQ(r.replaced, c.replaced) << c.charset;
}

const std::string kPictogram = "\xF8\x9F";  // a carrier pictogram (docomo's sun)

INSTANTIATE_TEST_SUITE_P(
    Charsets, SystemCharsetTest,
    ::testing::Values(
        ConversionCase{"UTF-8", "\xE6\x97\xA5\xE6\x9C\xAC", "日本", 0},
        ConversionCase{"utf-8", "a\xE3\x80\x9C" "b\xEF\xBD\x9E", "a～b～", 0},
        ConversionCase{"utf-8", "\xF0\x9F\x98\x80!", "〓!", 1},          // no place in Shift_JIS
        ConversionCase{"utf-8", "a\xFF" "b", "a〓b", 1},                  // not UTF-8 at all
        ConversionCase{"utf-8", "a\xE6\x97", "a〓", 1},                   // cut short
        ConversionCase{"ISO-2022-JP", "\x1B$B0!\x1B(B", "亜", 0},
        ConversionCase{"iso-2022-jp", "\x1B$B-!\x1B(B", "①", 0},          // NEC row 13
        ConversionCase{"iso-2022-jp", "\x1B(I1\x1B(B", "ｱ", 0},            // katakana by escape
        ConversionCase{"iso-2022-jp", "\x0E" "1\x0F" "a", "ｱa", 0},        // katakana by SO/SI
        ConversionCase{"ISO-2022-JP-2", "\x1B$A4s\x1B(B", "大", 0},        // GB 2312 inside
        ConversionCase{"iso-2022-jp", "\x1B$B0!\r\n0!\x1B(B", "亜\r\n亜", 0},
        ConversionCase{"Shift_JIS", "\x93\xFA" + kPictogram, "日" + kPictogram, 0},
        ConversionCase{"shift_jis", kPictogram, kPictogram, 0},
        ConversionCase{"SJIS", "\x93\xFA", "日", 0},
        ConversionCase{"x-sjis", "\x93\xFA", "日", 0},
        ConversionCase{"CP932", "\x87\x40", "①", 0},
        ConversionCase{"Windows-31J", "\x93\xFA", "日", 0},
        ConversionCase{"MS_Kanji", "\x93\xFA", "日", 0},
        ConversionCase{"\"us-ascii\"", "abc", "abc", 0},
        ConversionCase{"US-ASCII", "\x93\xFA", "日", 0},                  // 8-bit text labelled wrongly
        ConversionCase{"EUC-JP", "\xC6\xFC\xCB\xDC", "日本", 0},
        ConversionCase{"euc-jp", "\xAD\xA1", "①", 0},
        ConversionCase{"ISO-8859-1", "\xD7" "caf\xE9", "×caf〓", 1},
        ConversionCase{"iso-8859-15", "\xA4", "〓", 1},                    // the euro sign
        ConversionCase{"UTF-7", "+ZeVnLA-", "日本", 0},
        ConversionCase{"EUC-KR", "A\xA1\xA1\xC7\xD1", "A　〓", 1},
        ConversionCase{"ks_c_5601-1987", "\xA1\xA1", "　", 0},
        ConversionCase{"GB2312", "\xC8\xD5\xB1\xBE", "日本", 0},
        ConversionCase{"GBK", "\xC8\xD5\xB1\xBE", "日本", 0},
        ConversionCase{"Big5", "\xA4\xE9\xA5\xBB", "日本", 0},
        ConversionCase{"windows-1252", "\x93" "a\x80", "“a〓", 1},
        ConversionCase{"windows-1251", "\xC0", "А", 0},
        ConversionCase{"utf-8", "", "", 0}));

TEST(SystemCharset, RefusesWhatItDoesNotKnow) {
  for (const std::string& name : {std::string("x-unknown"), std::string(), std::string("utf-8x"), std::string(kMaxCharsetNameBytes + 1, 'a')}) {
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
