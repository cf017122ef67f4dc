#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "case/search_tokens.h"
#include "platform/console/utf8.h"

namespace tanavo {
namespace {

// UTF-8 literals (u8): the search works on UTF-8, whatever the program's
// literals are compiled to.
std::string U(const char* s) { return s; }

// Tokens as "text" with a leading "+" for one at the position before it.
std::string Shown(const std::vector<SearchToken>& tokens) {
  std::string out;
  for (const SearchToken& t : tokens) {
    if (!out.empty()) out += " ";
    if (t.colocated) out += "+";
    out += t.text;
  }
  return out;
}

TEST(SearchTokensTest, DocumentAndQueryTokens) {
  struct Case {
    const char* text;
    const char* document;
    const char* query;
  };
  const Case cases[] = {
      // An unspaced run: each character alone, each pair at the first one's position.
      {u8"会議室", u8"会 +会議 議 +議室 室", u8"会議 議室"},
      {u8"会", u8"会", u8"会"},
      {u8"明日の会議", u8"明 +明日 日 +日の の +の会 会 +会議 議", u8"明日 日の の会 会議"},
      // Latin words and digit runs whole, folded.
      {"Meeting at 10:30", "meeting at 10 30", "meeting at 10 30"},
      {"taro@Example.JP", "taro example jp", "taro example jp"},
      // Scripts mixed: a run ends where another script starts.
      {u8"ABC会議2009年", u8"abc 会 +会議 議 2009 年", u8"abc 会議 2009 年"},
      // Full-width ASCII to ASCII, half-width katakana to full-width with the voiced mark joined.
      {u8"ＡＢＣ１２", "abc12", "abc12"},
      {u8"ｶﾞｽ", u8"ガ +ガス ス", u8"ガス"},
      {u8"ﾊﾟﾊﾟ", u8"パ +パパ パ", u8"パパ"},
      {u8"ｳﾞ", u8"ヴ", u8"ヴ"},
      {u8"ｱﾞ", u8"ア +ア゛ ゛", u8"ア゛"},  // no voiced ア: the mark stays a character
      // Punctuation and the ideographic space separate.
      {u8"東京、大阪　名古屋", u8"東 +東京 京 大 +大阪 阪 名 +名古 古 +古屋 屋", u8"東京 大阪 名古 古屋"},
      {"", "", ""},
      {u8"。、！", "", ""},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(Shown(SearchTokens(c.text, TokenizeFor::Document)), U(c.document)) << c.text;
    EXPECT_EQ(Shown(SearchTokens(c.text, TokenizeFor::Query)), U(c.query)) << c.text;
  }
}

TEST(SearchTokensTest, TokensKnowWhereTheyAreInTheText) {
  const std::string text = u8"aｶﾞ会";  // a, then ｶﾞ (6 bytes) folded to ガ, then 会
  const std::vector<SearchToken> t = SearchTokens(text, TokenizeFor::Document);
  ASSERT_EQ(t.size(), 4u);  // a, ガ, ガ会, 会
  EXPECT_EQ(t[0].start, 0u);
  EXPECT_EQ(t[0].end, 1u);
  EXPECT_EQ(t[1].start, 1u);  // ガ: both half-width characters
  EXPECT_EQ(t[1].end, 7u);
  EXPECT_EQ(t[2].start, 1u);  // ガ会
  EXPECT_EQ(t[2].end, 10u);
}

TEST(SearchTokensTest, BytesThatAreNoCharacterSeparateTokens) {
  const struct {
    std::string text;
    const char* document;
  } cases[] = {
      {std::string(u8"会") + "\xFF" + u8"議", u8"会 議"},
      {std::string("ab\x80" "cd"), "ab cd"},
      {std::string(u8"会") + "\xE8\xAD", u8"会"},  // a character cut short at the end
      {std::string("\xC0\xAF" "x"), "x"},         // an overlong form
      {std::string("a\0b", 3), "a b"},
  };
  for (const auto& c : cases) EXPECT_EQ(Shown(SearchTokens(c.text, TokenizeFor::Document)), U(c.document));
}

TEST(SearchTokensTest, ShiftJisTextBecomesValidUtf8) {
  // 会議 in Shift_JIS, a lone lead byte, a byte that is no character, ｶ.
  const std::string sjis = "\x89\xEF\x8B\x63" "\x81" " " "\xA0" "\xB6";
  const std::string utf8 = SearchTextFromShiftJis(sjis);
  EXPECT_EQ(ValidUtf8(utf8), utf8);
  EXPECT_EQ(utf8.substr(0, 6), U(u8"会議"));
  const std::vector<SearchToken> t = SearchTokens(utf8, TokenizeFor::Document);
  ASSERT_FALSE(t.empty());
  EXPECT_EQ(Shown(std::vector<SearchToken>(t.begin(), t.begin() + 3)), U(u8"会 +会議 議"));
  EXPECT_EQ(t.back().text, U(u8"カ"));
}

// The conversion by table gives what the platform's converter gives, run by
// run: every code of two bytes, lone and cut lead bytes, bytes that are no
// character (kept runs of them may look like UTF-8), and random text.
TEST(SearchTokensTest, ShiftJisByTableIsThePlatformsConversion) {
  std::vector<std::string> texts;
  std::string codes;
  for (int lead = 0x80; lead < 0x100; ++lead) {
    for (int trail = 0x00; trail < 0x100; trail += (lead & 7) + 1) {
      codes += static_cast<char>(lead);
      codes += static_cast<char>(trail);
    }
  }
  texts.push_back(codes);
  texts.push_back(codes.substr(1));
  texts.push_back("\xE3\x80\x80\xEF\xBF\xBD\xFD\xFE\xFF\x80\xA0\x81");
  std::uint32_t seed = 7;
  for (int n = 0; n < 200; ++n) {
    std::string t;
    for (int k = 0; k < 40; ++k) {
      seed = seed * 1664525u + 1013904223u;
      t += static_cast<char>(seed >> 24);
    }
    texts.push_back(t);
  }
  for (const std::string& t : texts) EXPECT_EQ(SearchTextFromShiftJis(t), ValidUtf8(Cp932ToUtf8(t))) << t;
}

TEST(SearchTokensTest, LongWordsAreCut) {
  const std::vector<SearchToken> t = SearchTokens(std::string(100000, 'x'), TokenizeFor::Document);
  ASSERT_EQ(t.size(), 1u);
  EXPECT_LE(t[0].text.size(), kMaxWordTokenBytes);
  EXPECT_EQ(t[0].end, 100000u);
}

}  // namespace
}  // namespace tanavo
