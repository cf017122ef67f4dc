// Charsets to Shift_JIS with the code page functions: the text goes to UTF-16
// and from there to code page 932; a character code page 932 has no place for
// becomes the geta mark and is counted (an invalid byte arrives as U+FFFD,
// which has none either).
#include <windows.h>

#include <climits>
#include <string>

#include "codec/charset_names.h"
#include "platform/charset.h"

namespace tanavo {

namespace {

constexpr UINT kShiftJisCodePage = 932;
constexpr UINT kEucJpCodePage = 20932;  // JIS X 0208 and 0212 in their EUC form
constexpr UINT kGb2312CodePage = 936;
constexpr UINT kKsc5601CodePage = 949;
constexpr UINT kLatin1CodePage = 28591;
constexpr UINT kGreekCodePage = 28597;

constexpr UINT kUtf16LeCodePage = 1200;
constexpr UINT kUtf16BeCodePage = 1201;
constexpr wchar_t kReplacementCharacter = 0xFFFD;

bool ToWide(UINT codePage, std::string_view bytes, std::wstring* wide) {
  wide->clear();
  if (bytes.empty()) return true;
  if (codePage == kUtf16LeCodePage || codePage == kUtf16BeCodePage) {
    // UTF-16 is the wide form already (MultiByteToWideChar takes neither);
    // an odd last byte is no character.
    const bool little = codePage == kUtf16LeCodePage;
    wide->reserve(bytes.size() / 2 + 1);
    for (std::size_t i = 0; i + 1 < bytes.size(); i += 2) {
      const unsigned lo = static_cast<unsigned char>(bytes[little ? i : i + 1]);
      const unsigned hi = static_cast<unsigned char>(bytes[little ? i + 1 : i]);
      wide->push_back(static_cast<wchar_t>(hi << 8 | lo));
    }
    if (bytes.size() % 2 != 0) wide->push_back(kReplacementCharacter);
    return true;
  }
  if (bytes.size() > static_cast<std::size_t>(INT_MAX)) return false;
  const int n = static_cast<int>(bytes.size());
  const int w = MultiByteToWideChar(codePage, 0, bytes.data(), n, nullptr, 0);
  if (w <= 0) return false;
  wide->resize(static_cast<std::size_t>(w));
  return MultiByteToWideChar(codePage, 0, bytes.data(), n, &(*wide)[0], w) == w;
}

bool IsJisByte(char c) { return static_cast<unsigned char>(c) >= 0x21 && static_cast<unsigned char>(c) <= 0x7E; }

// A JIS X 0208 character (rows 13 and 89 to 92 included) in Shift_JIS.
std::string JisToShiftJis(unsigned char j1, unsigned char j2) {
  const unsigned char s1 = static_cast<unsigned char>(((j1 + 1) >> 1) + (j1 <= 0x5E ? 0x70 : 0xB0));
  const unsigned char s2 = static_cast<unsigned char>((j1 & 1) ? j2 + (j2 >= 0x60 ? 0x20 : 0x1F) : j2 + 0x7E);
  return {static_cast<char>(s1), static_cast<char>(s2)};
}

// EUC-JP rewritten as ISO-2022-JP, so that one reading serves both; a byte
// that is no EUC-JP is kept for that reading to mark as no character.
std::string EucJpToIso2022(std::string_view text) {
  std::string jis;
  jis.reserve(text.size() + 16);
  std::string_view current = "\x1B(B";
  auto select = [&](std::string_view escape) {
    if (escape != current) jis.append(escape.data(), escape.size());
    current = escape;
  };
  for (std::size_t i = 0; i < text.size();) {
    const unsigned char b = static_cast<unsigned char>(text[i]);
    const unsigned char next = i + 1 < text.size() ? static_cast<unsigned char>(text[i + 1]) : 0;
    if (b == 0x8E && next >= 0xA1 && next <= 0xDF) {
      select("\x1B(I");
      jis.push_back(static_cast<char>(next & 0x7F));
      i += 2;
    } else if (b == 0x8F && next >= 0xA1 && next <= 0xFE && i + 2 < text.size() &&
               static_cast<unsigned char>(text[i + 2]) >= 0xA1 && static_cast<unsigned char>(text[i + 2]) <= 0xFE) {
      select("\x1B$(D");
      jis.push_back(static_cast<char>(next & 0x7F));
      jis.push_back(static_cast<char>(text[i + 2] & 0x7F));
      i += 3;
    } else if (b >= 0xA1 && b <= 0xFE && next >= 0xA1 && next <= 0xFE) {
      select("\x1B$B");
      jis.push_back(static_cast<char>(b & 0x7F));
      jis.push_back(static_cast<char>(next & 0x7F));
      i += 2;
    } else {
      select("\x1B(B");
      // ESC, SO and SI would read as shifts: a byte of no character instead.
      jis.push_back(b == 0x1B || b == 0x0E || b == 0x0F ? '\xFF' : static_cast<char>(b));
      ++i;
    }
  }
  return jis;
}

// The sets of ISO-2022-JP-2 (RFC 1554) and how each reaches UTF-16: the
// two-byte sets in the EUC form of their code page.
enum class Iso2022Set { Ascii, Kana, Jis0208, Jis0212, Gb2312, Ksc5601 };

// ISO-2022-JP with its extensions to UTF-16, each run of one set converted by
// its code page (the system's ISO-2022-JP code pages know none of -2's sets).
// CR and LF stay themselves in every set, as the EUC-JP rewriting does.
// False for a set this system does not know.
bool Iso2022ToWide(std::string_view text, std::wstring* wide) {
  constexpr char kEsc = 0x1B;
  wide->clear();
  Iso2022Set set = Iso2022Set::Ascii;
  bool shiftedOut = false;    // SO: katakana until SI
  UINT g2 = 0;                // the 96-character set ESC N takes a byte from
  UINT runPage = 0;
  std::string run;            // bytes of the current run, in runPage
  std::wstring part;
  auto flush = [&]() {
    if (run.empty()) return true;
    if (!ToWide(runPage, run, &part)) return false;
    wide->append(part);
    run.clear();
    return true;
  };
  auto put = [&](UINT page, std::string_view bytes) {
    if (page != runPage && !flush()) return false;
    runPage = page;
    run.append(bytes.data(), bytes.size());
    return true;
  };
  for (std::size_t i = 0; i < text.size();) {
    const char c = text[i];
    if (c == kEsc) {
      const std::string_view rest = text.substr(i + 1, 3);
      auto starts = [&](std::string_view s) { return rest.substr(0, s.size()) == s; };
      std::size_t skip = 0;
      if (starts("$B") || starts("$@")) { set = Iso2022Set::Jis0208; skip = 3; }
      else if (starts("$(B") || starts("$(@")) { set = Iso2022Set::Jis0208; skip = 4; }
      else if (starts("(B") || starts("(J") || starts("(H")) { set = Iso2022Set::Ascii; skip = 3; }
      else if (starts("(I")) { set = Iso2022Set::Kana; skip = 3; }
      else if (starts("$(D")) { set = Iso2022Set::Jis0212; skip = 4; }
      else if (starts("$A")) { set = Iso2022Set::Gb2312; skip = 3; }
      else if (starts("$(C")) { set = Iso2022Set::Ksc5601; skip = 4; }
      else if (starts(".A")) { g2 = kLatin1CodePage; skip = 3; }
      else if (starts(".F")) { g2 = kGreekCodePage; skip = 3; }
      else if (starts("&@")) { skip = 3; }  // JIS X 0208-1990 announcer
      else if (starts("N") && g2 != 0 && i + 2 < text.size()) {
        const char high = static_cast<char>(static_cast<unsigned char>(text[i + 2]) | 0x80);
        if (!put(g2, std::string_view(&high, 1))) return false;
        i += 3;
        continue;
      }
      if (skip == 0) return false;  // a set this system does not know (ISO-2022-JP-3)
      i += skip;
      continue;
    }
    if (c == 0x0E || c == 0x0F) {
      shiftedOut = c == 0x0E;
      ++i;
      continue;
    }
    const unsigned char b = static_cast<unsigned char>(c);
    const bool graphic = b >= 0x21 && b <= 0x7E;
    // Controls, spaces and stray 8-bit bytes are taken as they are.
    if (!graphic || (set == Iso2022Set::Ascii && !shiftedOut)) {
      if (!put(kLatin1CodePage, std::string_view(&c, 1))) return false;
      ++i;
      continue;
    }
    if (set == Iso2022Set::Kana || shiftedOut) {
      const char kana[2] = {static_cast<char>(0x8E), static_cast<char>(b | 0x80)};
      if (!put(kEucJpCodePage, std::string_view(kana, 2))) return false;
      ++i;
      continue;
    }
    if (set == Iso2022Set::Jis0208 && i + 1 < text.size() && IsJisByte(text[i + 1])) {
      // By arithmetic, as the NEC and IBM rows that phones send reach no
      // system EUC-JP table.
      const std::string sjis = JisToShiftJis(b, static_cast<unsigned char>(text[i + 1]));
      if (!put(kShiftJisCodePage, sjis)) return false;
      i += 2;
      continue;
    }
    // A two-byte set; half a character at the end is left to the converter.
    std::string euc;
    if (set == Iso2022Set::Jis0212) euc.push_back(static_cast<char>(0x8F));
    for (std::size_t k = i; k < text.size() && k < i + 2; ++k) {
      euc.push_back(static_cast<char>(static_cast<unsigned char>(text[k]) | 0x80));
    }
    const UINT page = set == Iso2022Set::Gb2312    ? kGb2312CodePage
                      : set == Iso2022Set::Ksc5601 ? kKsc5601CodePage
                                                   : kEucJpCodePage;
    if (!put(page, euc)) return false;
    i += 2;
  }
  return flush();
}

// Characters that Unicode has twice for one JIS character: converters that
// follow JIS (iconv's EUC-JP and UTF-8 from Macs and iPhones) give the first,
// code page 932 holds only the second, and without best fit would show the
// geta mark for a wave dash.
wchar_t AsCodePage932(wchar_t u) {
  switch (u) {
    case 0x301C: return 0xFF5E;  // wave dash
    case 0x2016: return 0x2225;  // double vertical line
    case 0x2212: return 0xFF0D;  // minus sign
    case 0x2014: return 0x2015;  // em dash
    case 0x00A2: return 0xFFE0;  // cent sign
    case 0x00A3: return 0xFFE1;  // pound sign
    case 0x00AC: return 0xFFE2;  // not sign
    default: return u;
  }
}

// Appends the Shift_JIS of count UTF-16 units; false when one has no place.
bool AppendShiftJis(std::string& out, const wchar_t* units, int count) {
  BOOL usedDefault = FALSE;
  const int n = WideCharToMultiByte(kShiftJisCodePage, WC_NO_BEST_FIT_CHARS, units, count, nullptr, 0, nullptr,
                                    &usedDefault);
  if (n <= 0 || usedDefault) return false;
  const std::size_t at = out.size();
  out.resize(at + static_cast<std::size_t>(n));
  WideCharToMultiByte(kShiftJisCodePage, WC_NO_BEST_FIT_CHARS, units, count, &out[at], n, nullptr, nullptr);
  return true;
}

void WideToShiftJis(std::wstring& wide, CharsetResult* out) {
  for (wchar_t& u : wide) u = AsCodePage932(u);
  out->text.clear();
  out->replaced = 0;
  if (wide.empty() || AppendShiftJis(out->text, wide.data(), static_cast<int>(wide.size()))) return;
  // Character by character (a surrogate pair is one), only when needed.
  for (std::size_t i = 0; i < wide.size();) {
    const wchar_t u = wide[i];
    const int units = (u >= 0xD800 && u <= 0xDBFF && i + 1 < wide.size()) ? 2 : 1;
    if (!AppendShiftJis(out->text, wide.data() + i, units)) {
      out->text.append(kShiftJisGeta);
      ++out->replaced;
    }
    i += static_cast<std::size_t>(units);
  }
}

class CodePageConverter : public CharsetConverter {
 public:
  bool ToShiftJis(std::string_view charset, std::string_view bytes, CharsetResult* out) const override {
    const CharsetInfo info = LookupCharset(charset);
    if (info.route == CharsetRoute::Unknown) return false;
    if (ConvertWithoutSystem(info, bytes, out)) return true;
    std::wstring wide;
    bool converted = false;
    if (info.route == CharsetRoute::Iso2022Jp) {
      converted = Iso2022ToWide(bytes, &wide);
    } else if (info.codePage == kEucJpCodePage) {
      converted = Iso2022ToWide(EucJpToIso2022(bytes), &wide);
    } else {
      converted = ToWide(info.codePage, bytes, &wide);
    }
    if (!converted) return false;
    CharsetResult result;
    WideToShiftJis(wide, &result);
    *out = std::move(result);
    return true;
  }
};

}  // namespace

const CharsetConverter& SystemCharsetConverter() {
  static const CodePageConverter converter;
  return converter;
}

}  // namespace tanavo
