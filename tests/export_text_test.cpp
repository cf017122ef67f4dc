#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "export/export_text.h"

namespace tanavo {
namespace {

using namespace std::string_literals;

// Each hostile or awkward value, as the TSV table and the HTML report write it.
TEST(ExportText, ValuesAreEscapedForTheTableAndTheReport) {
  struct Case {
    std::string shiftJis, tsv, html;
  };
  const std::string x = "<span class=\"x\">";
  const Case cases[] = {
      {"plain text", "plain text", "plain text"},
      {"<script>alert(\"a&b\")</script>", "<script>alert(\"a&b\")</script>",
       "&lt;script&gt;alert(&quot;a&amp;b&quot;)&lt;/script&gt;"},
      {"it's", "it's", "it&#39;s"},
      {"a\tb\r\nc", "a\\tb\\r\\nc", "a\tb\r\nc"},
      {"C:\\dir\\x41", "C:\\\\dir\\\\x41", "C:\\dir\\x41"},
      {"nul\0here"s, "nul\\x00here", "nul" + x + "\\x00</span>here"},
      {"\x1b$B\x7f", "\\x1B$B\\x7F", x + "\\x1B</span>$B" + x + "\\x7F</span>"},
      // Shift_JIS: a trail byte 0x5C is no backslash; half-width katakana.
      {"表示 ｶﾅ", u8"表示 ｶﾅ", u8"表示 ｶﾅ"},
      // Bytes that are no Shift_JIS character: 0x80, 0xA0, 0xFD to 0xFF, a
      // lead without a trail, a pair that has no character.
      {"\x80\xa0\xfd\xff", "\\x80\\xA0\\xFD\\xFF",
       x + "\\x80</span>" + x + "\\xA0</span>" + x + "\\xFD</span>" + x + "\\xFF</span>"},
      {"a\x81", "a\\x81", "a" + x + "\\x81</span>"},
      {"\x81\r\n", "\\x81\\r\\n", x + "\\x81</span>\r\n"},
      {"\x85\x40!", "\\x85\\x40!", x + "\\x85</span>" + x + "\\x40</span>!"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(TsvField(c.shiftJis), c.tsv) << c.shiftJis;
    EXPECT_EQ(HtmlText(c.shiftJis), c.html) << c.shiftJis;
  }
}

TEST(ExportText, CellsThatASpreadsheetWouldRunOrUnquoteGetAnApostrophe) {
  const std::pair<std::string, std::string> cases[] = {
      {"=1+1", "'=1+1"}, {"+1", "'+1"}, {"-1", "'-1"}, {"@A1", "'@A1"}, {"\"a", "'\"a"},
      {"'a", "''a"},     {"a=1", "a=1"}, {"", ""},       {"\\t=", "\\t="}, {u8"＝", u8"＝"},
  };
  for (const auto& [cell, written] : cases) EXPECT_EQ(TsvCell(cell), written) << cell;
}

// A value many times larger once escaped (control bytes become \xHH, in the
// report inside a span each) reaches the file in pieces of bounded size, the
// same bytes as the whole conversion.
TEST(ExportText, LargeValuesAreConvertedInPiecesOfBoundedSize) {
  std::string value;
  for (int i = 0; i < 200000; ++i) value += i % 3 == 0 ? "\x01" : i % 3 == 1 ? "表" : "a";
  struct Case {
    const char* what;
    void (*to)(const TextSink&, std::string_view);
    std::string (*whole)(std::string_view);
  };
  const Case cases[] = {{"tsv", TsvFieldTo, TsvField}, {"html", HtmlTextTo, HtmlText}};
  for (const Case& c : cases) {
    std::string joined;
    std::size_t pieces = 0, largest = 0;
    c.to([&](std::string_view piece) {
      ++pieces;
      largest = std::max(largest, piece.size());
      joined.append(piece);
    }, value);
    EXPECT_EQ(joined, c.whole(value)) << c.what;
    EXPECT_GT(pieces, 2u) << c.what;
    EXPECT_LE(largest, 300u * 1024) << c.what;
  }
}

TEST(ExportText, NamesOfThePlatformInLinksAndChecksums) {
  // UTF-8 names (u8 literals: plain ones compile to Shift_JIS): what is not
  // UTF-8 is shown escaped.
  EXPECT_EQ(HtmlUtf8(u8"/証拠/<a>"), u8"/証拠/&lt;a&gt;");
  EXPECT_EQ(HtmlUtf8("\xe8\xa8\xbc\xe6\x8b"), u8"証" "<span class=\"x\">\\xE6</span><span class=\"x\">\\x8B</span>");
  EXPECT_EQ(HtmlUtf8("\xc0\xaf\xed\xa0\x80"),  // an overlong "/" and a surrogate
            "<span class=\"x\">\\xC0</span><span class=\"x\">\\xAF</span><span class=\"x\">\\xED</span>"
            "<span class=\"x\">\\xA0</span><span class=\"x\">\\x80</span>");

  EXPECT_EQ(UrlPathSegment("0001-1-a b\"#?%/..\\.jpg"), "0001-1-a%20b%22%23%3F%25%2F..%5C.jpg");
  EXPECT_EQ(UrlPathSegment(u8"写"), "%E5%86%99");

  const std::string h(64, 'a');
  EXPECT_EQ(Sha256SumsLine(h, "records/0001.txt"), h + "  records/0001.txt\n");
  EXPECT_EQ(Sha256SumsLine(h, "C:\\dir\\a\nb"), "\\" + h + "  C:\\\\dir\\\\a\\nb\n");
}

}  // namespace
}  // namespace tanavo
