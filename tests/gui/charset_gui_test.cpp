// The code page converter of the Windows back end: every conversion the
// native converter is held to, under Wine.
#include <gtest/gtest.h>

#include <string>

#include "../charset_cases.h"
#include "platform/charset.h"

namespace tanavo {
namespace {

TEST(GuiCharset, ConvertsAsTheNativeConverterDoes) {
  for (const ConversionCase& c : SystemCharsetCases()) {
    CharsetResult r;
    ASSERT_TRUE(SystemCharsetConverter().ToShiftJis(c.charset, c.input, &r)) << c.charset;
    EXPECT_EQ(r.text, c.expected) << c.charset << " " << c.input;
    EXPECT_EQ(r.replaced, c.replaced) << c.charset << " " << c.input;
  }
}

TEST(GuiCharset, RefusesWhatItDoesNotKnow) {
  for (const std::string& name : UnknownCharsetNames()) {
    CharsetResult r;
    r.text = "kept";
    EXPECT_FALSE(SystemCharsetConverter().ToShiftJis(name, "abc", &r)) << name;
    EXPECT_EQ(r.text, "kept");
  }
}

// A character without a place in the middle of a long text sends the rest
// character by character; all of it still arrives.
TEST(GuiCharset, LongTextWithAnUnmappedCharacterConvertsWhole) {
  std::string utf8, sjis;
  for (int i = 0; i < 20000; ++i) {
    utf8 += "\xE6\x97\xA5";
    sjis += "日";
  }
  CharsetResult r;
  ASSERT_TRUE(SystemCharsetConverter().ToShiftJis("utf-8", utf8 + "\xF0\x9F\x98\x80" + utf8, &r));
  EXPECT_EQ(r.text, sjis + "〓" + sjis);
  EXPECT_EQ(r.replaced, 1u);
}

}  // namespace
}  // namespace tanavo
