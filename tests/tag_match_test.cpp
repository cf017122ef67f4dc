#include <gtest/gtest.h>

#include <string>

#include "text/bytes.h"
#include "engine/tag_match.h"

namespace tanavo {
namespace {

TagMatch Extract(std::string_view t, std::string_view s, std::string_view e, int32_t from = 1,
                 ExtractMode mode = ExtractMode::WithTags, std::string_view l = "", std::string_view n = "") {
  return ExtractBetweenTags(t, s, e, from, l, n, mode);
}

TEST(FindBytes, PositionsAndBounds) {
  EXPECT_EQ(FindBytes(5, "abcabc", ""), 5);
  EXPECT_EQ(FindBytes(-3, "abcabc", ""), -3);
  EXPECT_EQ(FindBytes(0, "abc", "a"), 0);
  EXPECT_EQ(FindBytes(-1, "abc", "a"), 0);
  EXPECT_EQ(FindBytes(1, "abcabc", "abc"), 1);
  EXPECT_EQ(FindBytes(2, "abcabc", "abc"), 4);
  EXPECT_EQ(FindBytes(4, "abcabc", "abc"), 4);
  EXPECT_EQ(FindBytes(5, "abcabc", "abc"), 0);
  EXPECT_EQ(FindBytes(7, "abcabc", "c"), 0);
  EXPECT_EQ(FindBytes(100, "abc", "c"), 0);
  EXPECT_EQ(FindBytes(1, "ab", "abc"), 0);
  EXPECT_EQ(FindBytes(1, "", "a"), 0);
  // NUL bytes are ordinary bytes.
  EXPECT_EQ(FindBytes(1, std::string("a\0b\0c", 5), std::string("\0c", 2)), 4);
}

TEST(FindBytes, TheSearchWithoutMemmemFindsWhatFindFinds) {
  // Periodic patterns and near misses, where a fallback on a mismatch must
  // not skip an occurrence.
  const std::string dashes = std::string(40, '-');
  struct Case {
    std::string text, pattern;
    std::size_t start;
  };
  const Case cases[] = {
      {"abcabc", "abc", 0},      {"abcabc", "abc", 1},        {"abcabc", "abc", 4},
      {"aaaaab", "aab", 0},      {"abababac", "ababac", 0},   {"abaabaabab", "abaabab", 0},
      {"xyz", "", 3},            {"xyz", "a", 4},             {"ab", "abc", 0},
      {std::string("a\0b\0c", 5), std::string("\0c", 2), 0}, {dashes + "\r\n--" + dashes + "x", "--" + dashes + "x", 0},
      {dashes, dashes + "x", 0}, {dashes + "x" + dashes + "x", dashes.substr(3) + "x", 20},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(FindWithPrefixTable(c.text, c.pattern, c.start), std::string_view(c.text).find(c.pattern, c.start))
        << c.pattern << " from " << c.start;
    EXPECT_EQ(FindIn(c.text, c.pattern, c.start), std::string_view(c.text).find(c.pattern, c.start));
  }
}

TEST(ReplaceBytes, NonOverlappingLeftToRightNeverRescanned) {
  EXPECT_EQ(ReplaceAll("aaaa", "aa", "b"), "bb");
  EXPECT_EQ(ReplaceAll("aaa", "aa", "b"), "ba");
  EXPECT_EQ(ReplaceAll("abab", "ab", "abab"), "abababab");
  EXPECT_EQ(ReplaceAll("x=\r\ny=\r\n", "=\r\n", ""), "xy");
  EXPECT_EQ(ReplaceAll("none", "zz", "y"), "none");
  EXPECT_EQ(ReplaceAll("", "a", "b"), "");
  EXPECT_EQ(ReplaceAll("abc", "", "X"), "abc");
  EXPECT_EQ(ReplaceFirst("a-b-c", "-", "+"), "a+b-c");
  EXPECT_EQ(ReplaceFirst("abc", "x", "+"), "abc");
  EXPECT_EQ(ReplaceFirst("abc", "abc", ""), "");
  EXPECT_EQ(RemoveByte("a\rb\r", '\r'), "ab");
  EXPECT_EQ(Spaces(3), "   ");
  EXPECT_EQ(Spaces(0), "");
  EXPECT_EQ(Spaces(-2), "");
}

TEST(ExtractBetweenTags, ModesPositionsAndEmptyContent) {
  TagMatch m = Extract("xx<a>hello</a>yy", "<a>", "</a>");
  EXPECT_EQ(m.status, MatchStatus::Found);
  EXPECT_EQ(m.start, 3);
  EXPECT_EQ(m.end, 14);
  EXPECT_EQ(m.text, "<a>hello</a>");
  EXPECT_EQ(Extract("xx<a>hello</a>yy", "<a>", "</a>", 1, ExtractMode::ContentOnly).text, "hello");
  m = Extract("xx<a>hello</a>yy", "<a>", "</a>", 1, ExtractMode::PositionsOnly);
  EXPECT_EQ(m.status, MatchStatus::Found);
  EXPECT_EQ(m.end, 14);
  EXPECT_EQ(m.text, "");

  m = Extract("<a></a>", "<a>", "</a>");
  EXPECT_EQ(m.text, "<a></a>");
  EXPECT_EQ(m.end, 7);
  EXPECT_EQ(Extract("<a></a>", "<a>", "</a>", 1, ExtractMode::ContentOnly).text, "");

  // The search starts at from; the end tag is looked for after the start tag.
  m = Extract("<a>1</a><a>2</a>", "<a>", "</a>", 2);
  EXPECT_EQ(m.start, 9);
  EXPECT_EQ(m.text, "<a>2</a>");
  EXPECT_EQ(Extract("</a><a>x", "<a>", "</a>").status, MatchStatus::StartWithoutEnd);
  EXPECT_EQ(Extract("</a><a>x", "<a>", "</a>").text, "");
  EXPECT_EQ(Extract("abc", "<a>", "</a>").status, MatchStatus::NotFound);
  EXPECT_EQ(Extract("<a>x</a>", "<a>", "</a>", 0).status, MatchStatus::NotFound);
  // The end tag may share bytes with the start tag only after it.
  m = Extract("::x::", "::", "::");
  EXPECT_EQ(m.end, 5);
  EXPECT_EQ(m.text, "::x::");
}

TEST(ExtractBetweenTags, EmptyTags) {
  // Empty end tag: the data is the start tag alone.
  TagMatch m = Extract("ab<a>cd", "<a>", "");
  EXPECT_EQ(m.status, MatchStatus::Found);
  EXPECT_EQ(m.start, 3);
  EXPECT_EQ(m.end, 5);
  EXPECT_EQ(m.text, "<a>");
  // Empty start tag: the data begins where the search does.
  m = Extract("abc;def", "", ";", 2);
  EXPECT_EQ(m.start, 2);
  EXPECT_EQ(m.end, 4);
  EXPECT_EQ(m.text, "bc;");
  // Both empty: a match of no bytes at from, ending just before it.
  m = Extract("abc", "", "", 2);
  EXPECT_EQ(m.status, MatchStatus::Found);
  EXPECT_EQ(m.start, 2);
  EXPECT_EQ(m.end, 1);
  EXPECT_EQ(m.text, "");
  EXPECT_EQ(Extract("abc", "", "", 4).status, MatchStatus::Found);  // just past the last byte
  // An empty start tag never matches outside the text.
  EXPECT_EQ(Extract("abc", "", "", 5).status, MatchStatus::NotFound);
  EXPECT_EQ(Extract("abc", "", "", 0).status, MatchStatus::NotFound);
  EXPECT_EQ(Extract("abc", "", ";", -7).status, MatchStatus::NotFound);
  EXPECT_EQ(Extract("", "", "", 1).status, MatchStatus::Found);
}

TEST(ExtractBetweenTags, ContinuationLines) {
  const std::string t = "S:ab=\r\ncd\r\nx";
  TagMatch m = Extract(t, "S:", "\r\n", 1, ExtractMode::ContentOnly, "=");
  EXPECT_EQ(m.status, MatchStatus::Found);
  EXPECT_EQ(m.end, 11);
  EXPECT_EQ(m.text, "abcd");
  m = Extract(t, "S:", "\r\n", 1, ExtractMode::WithTags, "=");
  EXPECT_EQ(m.text, "S:abcd\r\n");

  // Next-line head: a line followed by a line starting with a space goes on.
  m = Extract("Subject: a\r\n b\r\n c\r\nTo: x\r\n", "Subject:", "\r\n", 1, ExtractMode::ContentOnly, "", " ");
  EXPECT_EQ(m.text, " abc");
  EXPECT_EQ(m.end, 20);

  // The last end tag of the text ends the match even when it continues.
  m = Extract("S:a=\r\nb=\r\n", "S:", "\r\n", 1, ExtractMode::ContentOnly, "=");
  EXPECT_EQ(m.end, 10);
  EXPECT_EQ(m.text, "ab=");
  // A window reaching past the text never matches: the tag at the end is the end.
  m = Extract("S:a\r\n", "S:", "\r\n", 1, ExtractMode::ContentOnly, "", " ");
  EXPECT_EQ(m.end, 5);
  EXPECT_EQ(m.text, "a");
  // The line-end window may reach back into the start tag.
  m = Extract("S=\r\nq\r\n", "S=", "\r\n", 1, ExtractMode::ContentOnly, "=");
  EXPECT_EQ(m.end, 7);
  EXPECT_EQ(m.text, "\r\nq");
  // An empty end tag ignores the condition instead of finding itself forever.
  m = Extract("S:ab=cd", "S:", "", 1, ExtractMode::WithTags, "S:", "a");
  EXPECT_EQ(m.status, MatchStatus::Found);
  EXPECT_EQ(m.end, 2);
  EXPECT_EQ(m.text, "S:");
}

TEST(ExtractBetweenTags, MatchesInsideDoubleByteCharacters) {
  // 表 is 0x95 0x5C: its trail byte is a backslash tag.
  const std::string t = "表x\\";
  TagMatch m = Extract(t, "\\", "\\");
  EXPECT_EQ(m.status, MatchStatus::Found);
  EXPECT_EQ(m.start, 2);
  EXPECT_EQ(m.end, 4);
  EXPECT_EQ(m.text, "\\x\\");
  EXPECT_EQ(FindBytes(1, "ソ", "\\"), 2);  // ソ is 0x83 0x5C
}

}  // namespace
}  // namespace tanavo
