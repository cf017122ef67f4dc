#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "codec/codec.h"

namespace tanavo {
namespace {

std::string Bytes(std::initializer_list<int> values) {
  std::string s;
  for (int v : values) s.push_back(static_cast<char>(v));
  return s;
}

std::string AllByteValues() {
  std::string s;
  for (int b = 0; b < 256; ++b) s.push_back(static_cast<char>(b));
  return s;
}

const std::string kEsc = "\x1b";
const std::string kToDouble = kEsc + "$B";
const std::string kToSingle = kEsc + "(B";

TEST(CodecBase64Alphabet, TablesHoldTheStandardAlphabet) {
  Base64Alphabet a;
  BuildBase64Alphabet(a);
  const std::string standard = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
  int inAlphabet = 0;
  for (int b = 0; b < 256; ++b) {
    std::size_t at = standard.find(static_cast<char>(b));
    if (b == '=') {
      EXPECT_EQ(a.value[b], 0);
    } else if (at != std::string::npos) {
      EXPECT_EQ(a.value[b], static_cast<int>(at)) << b;
      ++inAlphabet;
    } else {
      EXPECT_EQ(a.value[b], -1) << b;
    }
  }
  EXPECT_EQ(inAlphabet, 64);
  for (int v = 0; v < 64; ++v) EXPECT_EQ(a.character[v], standard.substr(v, 1));
  EXPECT_EQ(TheBase64Alphabet().value, a.value);
  EXPECT_EQ(TheBase64Alphabet().character, a.character);
}

TEST(CodecBase64, DecodesGroupsByTheirPaddingCount) {
  EXPECT_EQ(DecodeBase64("QUJD"), "ABC");
  EXPECT_EQ(DecodeBase64("QUI="), "AB");
  EXPECT_EQ(DecodeBase64("QQ=="), "A");
  // Three or four "=" keep all three bytes of the group.
  EXPECT_EQ(DecodeBase64("Q==="), Bytes({0x40, 0, 0}));
  EXPECT_EQ(DecodeBase64("===="), Bytes({0, 0, 0}));
  // "=" counts wherever it stands in the group.
  EXPECT_EQ(DecodeBase64("Q=JD"), Bytes({0x40, 0x02}));
  EXPECT_EQ(DecodeBase64(""), "");
}

TEST(CodecBase64, ShortGroupsAndGroupsAfterPadding) {
  EXPECT_EQ(DecodeBase64("QUJ"), "");
  EXPECT_EQ(DecodeBase64("Q"), "");
  EXPECT_EQ(DecodeBase64("QUJDRA"), "ABC");
  EXPECT_EQ(DecodeBase64("QUJDRA="), "ABC");
  // Each group counts its own "=": decoding goes on after a padded group.
  EXPECT_EQ(DecodeBase64("QQ==QUJD"), "AABC");
  EXPECT_EQ(DecodeBase64("QUI=QUI=QQ=="), "ABABA");
}

TEST(CodecBase64, SkipsEverythingOutsideTheAlphabet) {
  EXPECT_EQ(DecodeBase64("QU JD\r\nRA=="), "ABCD");
  // A group split across lines, tabs and punctuation.
  EXPECT_EQ(DecodeBase64("Q\r\nU\tJ-D!"), "ABC");
  // Bytes of Shift_JIS characters (日本 = 93 FA 96 7B) are dropped silently.
  EXPECT_EQ(DecodeBase64("\x93\xfaQUJD\x96\x7b"), "ABC");
  // The trail byte of a character can be an alphabet letter ("ア" = 83 41): it counts.
  EXPECT_EQ(DecodeBase64("\x83" "AQUJ"), Bytes({0x01, 0x05, 0x09}));
}

TEST(CodecBase64, EncodesChunksWithPadding) {
  EXPECT_EQ(EncodeBase64("ABC"), "QUJD");
  EXPECT_EQ(EncodeBase64("AB"), "QUI=");
  EXPECT_EQ(EncodeBase64("A"), "QQ==");
  EXPECT_EQ(EncodeBase64(std::string(1, '\0')), "AA==");
  EXPECT_EQ(EncodeBase64(""), "");
  EXPECT_EQ(EncodeBase64(Bytes({0xFF, 0xFF, 0xFF})), "////");
  EXPECT_EQ(EncodeBase64(Bytes({0xFB, 0xEF})), "++8=");
  // One line, however long.
  std::string longText(300, 'x');
  std::string encoded = EncodeBase64(longText);
  EXPECT_EQ(encoded.size(), 400u);
  EXPECT_EQ(encoded.find_first_of("\r\n"), std::string::npos);
}

TEST(CodecBase64, RoundTripsEveryByteValue) {
  std::string all = AllByteValues();
  EXPECT_EQ(DecodeBase64(EncodeBase64(all)), all);
  // Every length remainder, and every byte in every chunk position.
  for (std::size_t cut = 0; cut < 3; ++cut) {
    std::string piece = all.substr(cut);
    EXPECT_EQ(DecodeBase64(EncodeBase64(piece)), piece) << cut;
  }
  // Wrapped like a MIME body.
  std::string encoded = EncodeBase64(all + all);
  std::string wrapped;
  for (std::size_t i = 0; i < encoded.size(); i += 76) wrapped += encoded.substr(i, 76) + "\r\n";
  EXPECT_EQ(DecodeBase64(wrapped), all + all);
}

TEST(CodecQuotedPrintable, DecodesEscapesAndSoftBreaks) {
  EXPECT_EQ(DecodeQuotedPrintableLoose("a=3Db"), "a=b");
  EXPECT_EQ(DecodeQuotedPrintableLoose("a=3db"), "a=b");
  EXPECT_EQ(DecodeQuotedPrintableLoose("a=\r\nb"), "ab");
  EXPECT_EQ(DecodeQuotedPrintableLoose("=82=A0"), "\x82\xa0");
  EXPECT_EQ(DecodeQuotedPrintableLoose("plain text"), "plain text");
  // Spaces before a hard line break stay.
  EXPECT_EQ(DecodeQuotedPrintableLoose("a  \r\nb"), "a  \r\nb");
  // Only leading hexadecimal digits count; none gives 0x00.
  EXPECT_EQ(DecodeQuotedPrintableLoose("=4G"), Bytes({0x04}));
  EXPECT_EQ(DecodeQuotedPrintableLoose("x=ZZy"), Bytes({'x', 0, 'y'}));
  // A lone "=" before CR and another byte consumes both.
  EXPECT_EQ(DecodeQuotedPrintableLoose("a=\rbc"), Bytes({'a', 0, 'c'}));
}

TEST(CodecQuotedPrintable, EndOfInputAndZeroBytes) {
  EXPECT_EQ(DecodeQuotedPrintableLoose("a="), Bytes({'a', 0}));
  EXPECT_EQ(DecodeQuotedPrintableLoose("a=4"), Bytes({'a', 4}));
  EXPECT_EQ(DecodeQuotedPrintableLoose("a=\r"), Bytes({'a', 0}));
  EXPECT_EQ(DecodeQuotedPrintableLoose("="), Bytes({0}));
  EXPECT_EQ(DecodeQuotedPrintableLoose(""), "");
  // A 0x00 byte ends the text ...
  EXPECT_EQ(DecodeQuotedPrintableLoose(Bytes({'a', 0, 'b'})), "a");
  EXPECT_EQ(DecodeQuotedPrintableLoose(Bytes({'a', '=', '4', '1', 0, '=', '4', '2'})), "aA");
  // ... but not when it is one of the two bytes after "=".
  EXPECT_EQ(DecodeQuotedPrintableLoose(Bytes({'=', 0, 'x', 'b', 0, 'c'})), Bytes({0, 'b'}));
  EXPECT_EQ(DecodeQuotedPrintableLoose(Bytes({'=', '4', 0, 'b'})), Bytes({4, 'b'}));
}

TEST(CodecQuotedPrintable, EscapeAgreesWithTheNumberParser) {
  // "=" and two bytes stand for ParseNumber("&h" + the bytes), for every pair.
  int mismatches = 0;
  for (int b1 = 0; b1 < 256; ++b1) {
    for (int b2 = 0; b2 < 256; ++b2) {
      std::string pair = Bytes({b1, b2});
      if (pair == "\r\n") continue;
      std::string decoded = DecodeQuotedPrintableLoose("=" + pair);
      int expected = static_cast<int>(ParseNumber("&h" + pair) + 0.5) % 256;
      if (decoded != Bytes({expected})) ++mismatches;
    }
  }
  EXPECT_EQ(mismatches, 0);
}

// The decoding rule written out plainly, to hold the fast decoder against.
std::string PlainQuotedPrintable(const std::string& text) {
  std::string out;
  for (std::size_t r = 0; r < text.size();) {
    if (text[r] == '\0') break;
    if (text[r] != '=') {
      out += text[r++];
      continue;
    }
    std::string next = text.substr(r + 1, 2);
    if (next != "\r\n") out += static_cast<char>(static_cast<int>(ParseNumber("&h" + next) + 0.5) % 256);
    r += 3;
  }
  return out;
}

TEST(CodecQuotedPrintable, LongTextsAgreeWithThePlainRule) {
  // Escapes, soft breaks and 0x00 bytes at every position around block edges.
  const std::string pieces[] = {"=82=A0", "abc", "=\r\n", "=3d", "=4", "=G1", std::string("=4\0", 3),
                                std::string("=\0\0", 3), "\r\n", "=", "x"};
  unsigned seed = 7;
  for (int round = 0; round < 20; ++round) {
    std::string text;
    while (text.size() < 9000) {
      seed = seed * 1103515245u + 12345u;
      text += pieces[(seed >> 16) % (sizeof pieces / sizeof pieces[0])];
    }
    text.resize(8000 + round * 37);
    // Leave the 0x00 that would end the text early out of most rounds.
    if (round % 2 == 0) {
      for (char& c : text) {
        if (c == '\0') c = '0';
      }
    }
    EXPECT_EQ(DecodeQuotedPrintableLoose(text), PlainQuotedPrintable(text)) << round;
  }
}

struct JisCase {
  const char* name;
  int j1, j2;
  int s1, s2;
};

TEST(CodecJis, ConvertsCharactersFromEveryKindOfRow) {
  // Published Shift_JIS codes of JIS X 0208 characters.
  const JisCase cases[] = {
      {"、", 0x21, 0x22, 0x81, 0x41}, {"。", 0x21, 0x23, 0x81, 0x42}, {"Ａ", 0x23, 0x41, 0x82, 0x60},
      {"ｚ", 0x23, 0x7A, 0x82, 0x9A}, {"ぁ", 0x24, 0x21, 0x82, 0x9F}, {"ん", 0x24, 0x73, 0x82, 0xF1},
      {"ア", 0x25, 0x22, 0x83, 0x41}, {"ミ", 0x25, 0x5F, 0x83, 0x7E}, {"ム", 0x25, 0x60, 0x83, 0x80},
      {"ヶ", 0x25, 0x76, 0x83, 0x96}, {"亜", 0x30, 0x21, 0x88, 0x9F}, {"日", 0x46, 0x7C, 0x93, 0xFA},
      {"表", 0x49, 0x3D, 0x95, 0x5C}, {"本", 0x4B, 0x5C, 0x96, 0x7B}, {"腕", 0x4F, 0x53, 0x98, 0x72},
      {"弌", 0x50, 0x21, 0x98, 0x9F}, {"堯", 0x74, 0x21, 0xEA, 0x9F}, {"熙", 0x74, 0x26, 0xEA, 0xA4},
  };
  for (const JisCase& c : cases) {
    std::string jis = kToDouble + Bytes({c.j1, c.j2}) + kToSingle;
    EXPECT_EQ(JisToShiftJisLoose(jis), Bytes({c.s1, c.s2})) << c.name;
    // The literal is compiled to Shift_JIS too.
    EXPECT_EQ(JisToShiftJisLoose(jis), c.name) << c.name;
  }
}

TEST(CodecJis, SwitchesModesByTheFourSequences) {
  EXPECT_EQ(JisToShiftJisLoose("a" + kToDouble + "F|K\\" + kToSingle + "b"), "a日本b");
  EXPECT_EQ(JisToShiftJisLoose(kEsc + "$@" + "0!" + kEsc + "(J" + "x"), "亜x");
  // Shift_JIS text without escape sequences passes unchanged, high bytes included.
  std::string sjis = "表示\xb1\xb2 text\r\n";
  EXPECT_EQ(JisToShiftJisLoose(sjis), sjis);
  // Unknown sequences (half-width katakana, JIS X 0212) are copied.
  EXPECT_EQ(JisToShiftJisLoose(kEsc + "(I1"), kEsc + "(I1");
  EXPECT_EQ(JisToShiftJisLoose(kEsc + "$(D"), kEsc + "$(D");
  // In double-byte mode everything else goes in pairs, a stray ESC and line breaks too.
  EXPECT_EQ(JisToShiftJisLoose(kToDouble + "\r\n"), Bytes({0x77, 0x29}));
  EXPECT_EQ(JisToShiftJisLoose(kToDouble + kEsc + "x"), Bytes({0x7E, 0x98}));
  // A new double-byte sequence while in double-byte mode is still a switch.
  EXPECT_EQ(JisToShiftJisLoose(kToDouble + "0!" + kToDouble + "0!"), "亜亜");
}

TEST(CodecJis, InputEndingEarly) {
  // A last lone byte in double-byte mode pairs with 0x00.
  EXPECT_EQ(JisToShiftJisLoose(kToDouble + "0"), Bytes({0x88, 0x7E}));
  EXPECT_EQ(JisToShiftJisLoose(kToDouble + "0!0"), Bytes({0x88, 0x9F, 0x88, 0x7E}));
  // Escape sequences cut off at the end are ordinary bytes.
  EXPECT_EQ(JisToShiftJisLoose("a" + kEsc), "a" + kEsc);
  EXPECT_EQ(JisToShiftJisLoose("a" + kEsc + "$"), "a" + kEsc + "$");
  EXPECT_EQ(JisToShiftJisLoose(kToDouble + "0!" + kEsc), Bytes({0x88, 0x9F, 0x7E, 0x1F}));
  EXPECT_EQ(JisToShiftJisLoose(kToDouble + "0!" + kEsc + "("), Bytes({0x88, 0x9F, 0x7E, 0x47}));
  EXPECT_EQ(JisToShiftJisLoose(kToDouble), "");
  EXPECT_EQ(JisToShiftJisLoose(""), "");
}

TEST(CodecJis, ZeroByteStopsAtAPairStartOnly) {
  EXPECT_EQ(JisToShiftJisLoose(Bytes({'a', 0, 'b'})), "a");
  EXPECT_EQ(JisToShiftJisLoose(kToDouble + Bytes({0, '0', '!'})), "");
  // As a second byte it is consumed, and the text goes on.
  EXPECT_EQ(JisToShiftJisLoose(kToDouble + Bytes({'0', 0}) + kToSingle + "b"), Bytes({0x88, 0x7E, 'b'}));
  EXPECT_EQ(JisToShiftJisLoose(kToDouble + Bytes({'0', 0}) + kToSingle + Bytes({'b', 0, 'c'})), Bytes({0x88, 0x7E, 'b'}));
}

TEST(CodecHex, HexByteAndDump) {
  EXPECT_EQ(HexByte(0x0A), "0A");
  EXPECT_EQ(HexByte(0xFF), "FF");
  EXPECT_EQ(HexByte(0), "00");
  EXPECT_EQ(HexDump("A\r\nB"), "41 0D 0A \r\n42 ");
  EXPECT_EQ(HexDump("\r"), "0D ");
  EXPECT_EQ(HexDump("\n\r"), "0A 0D ");
  EXPECT_EQ(HexDump("\r\r\n\n"), "0D 0D 0A \r\n0A ");
  EXPECT_EQ(HexDump(Bytes({0, 0x93, 0xFA})), "00 93 FA ");
  EXPECT_EQ(HexDump(""), "");
  std::string all = HexDump(AllByteValues());
  EXPECT_EQ(all.size(), 256u * 3);
  EXPECT_EQ(all.substr(0, 12), "00 01 02 03 ");
  EXPECT_EQ(all.substr(all.size() - 6), "FE FF ");
}

TEST(CodecHex, LongDumpsAgreeWithThePlainRule) {
  // CR LF, lone CR and lone LF at every offset, across the dump's blocks.
  for (std::size_t shift = 0; shift < 8; ++shift) {
    std::string text(shift, 'x');
    while (text.size() < 7000) text += "ab\r\ncd\r\r\n\n\r" + std::string(text.size() % 5, '\xfe');
    std::string plain;
    for (std::size_t i = 0; i < text.size(); ++i) {
      if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') {
        plain += "0D 0A \r\n";
        ++i;
      } else {
        plain += HexByte(static_cast<unsigned char>(text[i])) + " ";
      }
    }
    EXPECT_EQ(HexDump(text), plain) << shift;
    EXPECT_EQ(HexDump(text + "\r"), plain + "0D ") << shift;
  }
}

TEST(CodecNumber, DecimalForms) {
  EXPECT_EQ(ParseNumber("42"), 42);
  EXPECT_EQ(ParseNumber("  \t-12.5"), -12.5);
  EXPECT_EQ(ParseNumber("+7"), 7);
  EXPECT_EQ(ParseNumber("3.25abc"), 3.25);
  EXPECT_EQ(ParseNumber("0.1"), 0.1);
  EXPECT_EQ(ParseNumber(".5"), 0.5);
  EXPECT_EQ(ParseNumber("5."), 5);
  EXPECT_EQ(ParseNumber("1e3"), 1);
  EXPECT_EQ(ParseNumber("12 3"), 12);
  EXPECT_EQ(ParseNumber(""), 0);
  EXPECT_EQ(ParseNumber("   "), 0);
  EXPECT_EQ(ParseNumber("-"), 0);
  EXPECT_EQ(ParseNumber("."), 0);
  EXPECT_EQ(ParseNumber("+-5"), 0);
  EXPECT_EQ(ParseNumber("inf"), 0);
  EXPECT_EQ(ParseNumber("\n5"), 0);  // only spaces and TABs are skipped
  EXPECT_EQ(ParseNumber("１２"), 0);  // full-width digits are not digits
  EXPECT_EQ(ParseNumber(std::string(400, '9')), HUGE_VAL);
  EXPECT_EQ(ParseNumber("0." + std::string(400, '0') + "1"), 0);
}

TEST(CodecNumber, HexadecimalAndOctal) {
  EXPECT_EQ(ParseNumber("&HFF"), 255);
  EXPECT_EQ(ParseNumber("&hff"), 255);
  EXPECT_EQ(ParseNumber(" &h3d"), 0x3D);
  EXPECT_EQ(ParseNumber("&h4G"), 4);
  EXPECT_EQ(ParseNumber("&HFFFFFFFF"), 4294967295.0);
  EXPECT_EQ(ParseNumber("&O17"), 15);
  EXPECT_EQ(ParseNumber("&o178"), 15);
  EXPECT_EQ(ParseNumber("&H"), 0);
  EXPECT_EQ(ParseNumber("&"), 0);
  EXPECT_EQ(ParseNumber("&X12"), 0);
  EXPECT_EQ(ParseNumber("&12"), 0);
  EXPECT_EQ(ParseNumber("&\x82\x68" "12"), 0);  // "Ｈ" is not "H"
}

TEST(CodecNumber, UpperCasingLeavesDoubleByteCharactersAlone) {
  EXPECT_EQ(UpperCaseAscii("abc xyz 123"), "ABC XYZ 123");
  // "ア" is 83 41, "ｂ" 82 82, "表" 95 5C: lead byte and trail byte stay.
  EXPECT_EQ(UpperCaseAscii("\x83" "a" "b"), "\x83" "aB");
  EXPECT_EQ(UpperCaseAscii("ｂ表x"), "ｂ表X");
  // Half-width katakana (A1-DF) are single bytes.
  EXPECT_EQ(UpperCaseAscii("\xb1" "a"), "\xb1" "A");
  // A lead byte at the very end has no trail byte to skip.
  EXPECT_EQ(UpperCaseAscii("a\x81"), "A\x81");
}

}  // namespace
}  // namespace tanavo
