// Conversions every system converter must agree on: iconv natively, the code
// page functions under Wine. Expected texts are written as Japanese literals,
// which the build turns into code page 932; inputs are written byte by byte.
#pragma once

#include <string>
#include <vector>

#include "codec/charset_names.h"
#include "platform/charset.h"

namespace tanavo {

struct ConversionCase {
  const char* charset;
  std::string input;
  std::string expected;
  std::size_t replaced;
};

inline const std::string kPictogram = "\xF8\x9F";  // a carrier pictogram (docomo's sun)

inline const std::vector<ConversionCase>& SystemCharsetCases() {
  static const std::vector<ConversionCase> cases = {
      {"UTF-8", "\xE6\x97\xA5\xE6\x9C\xAC", "日本", 0},
      {"utf-8", "a\xE3\x80\x9C" "b\xEF\xBD\x9E", "a～b～", 0},
      {"utf-8", "\xE2\x88\x92\xE2\x80\x96\xE2\x80\x94", "\x81\x7C\x81\x61\x81\x5C", 0},  // JIS's minus, ‖, —
      {"utf-8", "\xC2\xA2\xC2\xA3\xC2\xAC", "\x81\x91\x81\x92\x81\xCA", 0},  // ¢ £ ¬
      {"utf-8", "\xF0\x9F\x98\x80!", "〓!", 1},          // no place in Shift_JIS
      {"utf-8", "a\xFF" "b", "a〓b", 1},                  // not UTF-8 at all
      {"utf-8", "a\xE6\x97", "a〓", 1},                   // cut short
      {"UTF-16LE", "\xE5\x65\x2C\x67", "日本", 0},
      {"UTF-16BE", "\x65\xE5\x67\x2C", "日本", 0},
      {"utf-16le", std::string("A\0\r\0\n\0", 6), "A\r\n", 0},
      {"utf-16le", "\x3D\xD8\x00\xDE", "〓", 1},  // a surrogate pair: one character, none in Shift_JIS
      {"utf-16le", "\xE5\x65\x2C", "日〓", 1},     // an odd last byte
      {"ISO-2022-JP", "\x1B$B0!\x1B(B", "亜", 0},
      {"iso-2022-jp", "\x1B$B-!\x1B(B", "①", 0},          // NEC row 13
      {"iso-2022-jp", "\x1B$@-j\x1B(B", "㈱", 0},          // NEC row 13 in the 1978 edition's escape
      {"iso-2022-jp", "\x1B$By!\x1B(B", "\xED\x40", 0},     // NEC-selected IBM rows: 纊 as CP50220 reads it
      {"iso-2022-jp", "\x1B(I1\x1B(B", "ｱ", 0},            // katakana by escape
      {"iso-2022-jp", "\x0E" "1\x0F" "a", "ｱa", 0},        // katakana by SO/SI
      {"ISO-2022-JP-2", "\x1B$A4s\x1B(B", "大", 0},        // GB 2312 inside
      {"iso-2022-jp-2", "a\x1B$(C0!\x1B(Bb", "a〓b", 1},   // KS C 5601: a hangul syllable
      {"iso-2022-jp-2", "\x1B$A4s\x1B$B0!\r\n\x1B(Ba", "大亜\r\na", 0},  // one set after another
      {"iso-2022-jp", "\x1B$B0!\r\n0!\x1B(B", "亜\r\n亜", 0},
      {"Shift_JIS", "\x93\xFA" + kPictogram, "日" + kPictogram, 0},
      {"shift_jis", kPictogram, kPictogram, 0},
      {"SJIS", "\x93\xFA", "日", 0},
      {"x-sjis", "\x93\xFA", "日", 0},
      {"CP932", "\x87\x40", "①", 0},
      {"Windows-31J", "\x93\xFA", "日", 0},
      {"MS_Kanji", "\x93\xFA", "日", 0},
      {"\"us-ascii\"", "abc", "abc", 0},
      {"US-ASCII", "\x93\xFA", "日", 0},                  // 8-bit text labelled wrongly
      {"EUC-JP", "\xC6\xFC\xCB\xDC", "日本", 0},
      {"euc-jp", "\xAD\xA1", "①", 0},
      {"euc-jp", "\x8E\xB1", "ｱ", 0},                  // half-width katakana
      {"euc-jp", "a\xC6\xFC\xFF" "b", "a日〓b", 1},         // a byte of no character
      {"euc-jp", "\xA1\xC1\xA1\xDD", "\x81\x60\x81\x7C", 0},  // wave dash and minus as JIS reads them
      {"ISO-8859-1", "\xD7" "caf\xE9", "×caf〓", 1},
      {"iso-8859-15", "\xA4", "〓", 1},                    // the euro sign
      {"UTF-7", "+ZeVnLA-", "日本", 0},
      {"EUC-KR", "A\xA1\xA1\xC7\xD1", "A　〓", 1},
      {"ks_c_5601-1987", "\xA1\xA1", "　", 0},
      {"GB2312", "\xC8\xD5\xB1\xBE", "日本", 0},
      {"GBK", "\xC8\xD5\xB1\xBE", "日本", 0},
      {"Big5", "\xA4\xE9\xA5\xBB", "日本", 0},
      {"windows-1252", "\x93" "a\x80", "“a〓", 1},
      {"windows-1251", "\xC0", "А", 0},
      {"utf-8", "", "", 0},
  };
  return cases;
}

// Names no converter takes: refused, the result left as it was.
inline std::vector<std::string> UnknownCharsetNames() {
  return {"x-unknown", "", "utf-8x", std::string(kMaxCharsetNameBytes + 1, 'a')};
}

}  // namespace tanavo
