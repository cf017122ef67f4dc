// ISO-2022-JP (the 7-bit mail code) to Shift_JIS by two rule sets: the loose
// one of the tag decoding, which never refuses, and the strict one of full
// mail, which refuses what it does not know; and the rewrite as EUC-JP for
// the system converters. The JIS X 0208 arithmetic is shared.
#include <algorithm>
#include <cstdint>
#include <cstring>

#include "codec/codec.h"

namespace tanavo {

namespace {

constexpr char kEsc = 0x1B;
constexpr std::size_t kEscapeLength = 3;  // ESC and two bytes

enum class JisMode { SingleByte, DoubleByte };
// The sets the strict reading tells apart.
enum class JisSet { Ascii, Kanji, Kana, Kanji0212 };

// The mode an escape sequence at the start of s switches to; false when s
// does not start with one of the four recognised sequences.
bool ReadEscape(std::string_view s, JisMode* mode) {
  if (s.size() < kEscapeLength || s[0] != kEsc) return false;
  if (s[1] == '$' && (s[2] == 'B' || s[2] == '@')) {
    *mode = JisMode::DoubleByte;
    return true;
  }
  if (s[1] == '(' && (s[2] == 'J' || s[2] == 'B')) {
    *mode = JisMode::SingleByte;
    return true;
  }
  return false;
}

// The JIS X 0208 to Shift_JIS arithmetic, tabulated: the first byte depends
// on j1 only, the second on j2 and whether j1 is odd.
struct JisTables {
  std::uint8_t first[256];
  std::uint8_t second[2][256];  // [j1 odd][j2]
};

JisTables MakeJisTables() {
  JisTables t{};
  for (int j = 0; j < 256; ++j) {
    int s1 = (j + 1) / 2 + 0x70;
    if (s1 > 0x9F) s1 += 0x40;
    t.first[j] = static_cast<std::uint8_t>(s1 & 0xFF);
    t.second[1][j] = static_cast<std::uint8_t>((j <= 0x5F ? j + 0x1F : j + 0x20) & 0xFF);
    t.second[0][j] = static_cast<std::uint8_t>((j + 0x7E) & 0xFF);
  }
  return t;
}

const JisTables& TheJisTables() {
  static const JisTables t = MakeJisTables();
  return t;
}

}  // namespace

std::string JisToShiftJisLoose(std::string_view text) {
  const JisTables& t = TheJisTables();
  const std::size_t n = text.size();
  const char* in = text.data();
  std::string out;
  out.resize(n + 1);  // never longer than the input, but for a last half pair
  char* const base = out.data();
  char* o = base;

  JisMode mode = JisMode::SingleByte;
  std::size_t nul = std::min(text.find('\0'), n);  // the first 0x00 not consumed yet
  std::size_t i = 0;
  while (i < n) {
    if (in[i] == '\0') break;
    if (mode == JisMode::SingleByte) {
      // Copy up to the next ESC, stopping at a 0x00 byte.
      if (nul < i) nul = std::min(text.find('\0', i), n);
      std::size_t end = nul;
      const void* esc = std::memchr(in + i, kEsc, end - i);
      std::size_t run = esc ? static_cast<std::size_t>(static_cast<const char*>(esc) - in) - i : end - i;
      std::memcpy(o, in + i, run);
      o += run;
      i += run;
      if (!esc) break;
      if (ReadEscape(text.substr(i), &mode)) {
        i += kEscapeLength;
      } else {
        *o++ = kEsc;  // not an escape sequence: an ordinary byte
        ++i;
      }
      continue;
    }
    if (in[i] == kEsc && ReadEscape(text.substr(i), &mode)) {
      i += kEscapeLength;
      continue;
    }
    if (i + 1 == n) {
      // A last lone byte pairs with 0x00.
      auto j1 = static_cast<unsigned char>(in[i]);
      *o++ = static_cast<char>(t.first[j1]);
      *o++ = static_cast<char>(t.second[j1 & 1][0]);
      break;
    }
    // Pairs up to the next ESC or 0x00 at a pair start. Line breaks, a stray
    // ESC and 0x00 as a second byte are consumed like any other byte.
    do {
      auto j1 = static_cast<unsigned char>(in[i]);
      auto j2 = static_cast<unsigned char>(in[i + 1]);
      o[0] = static_cast<char>(t.first[j1]);
      o[1] = static_cast<char>(t.second[j1 & 1][j2]);
      o += 2;
      i += 2;
    } while (i + 1 < n && in[i] != kEsc && in[i] != '\0');
  }
  out.resize(static_cast<std::size_t>(o - base));
  return out;
}

namespace {

enum class JisX0212 { Read, Refused };

// The bytes an escape sequence takes, ESC included, read from what follows the
// ESC, with the set it switches to; 0 for a sequence these readings refuse.
std::size_t ReadJisEscape(std::string_view rest, JisX0212 x0212, JisSet* set) {
  auto starts = [&](std::string_view s) { return rest.substr(0, s.size()) == s; };
  if (starts("$B") || starts("$@")) { *set = JisSet::Kanji; return 3; }
  if (starts("(B") || starts("(J") || starts("(H")) { *set = JisSet::Ascii; return 3; }
  if (starts("(I")) { *set = JisSet::Kana; return 3; }
  if (x0212 == JisX0212::Read && starts("$(D")) { *set = JisSet::Kanji0212; return 4; }
  if (starts("&@")) return 3;  // JIS X 0208-1990 announcer, before ESC $ B
  if (starts("$(B") || starts("$(@")) { *set = JisSet::Kanji; return 4; }
  return 0;
}

}  // namespace

bool Iso2022JpToEucJp(std::string_view text, std::string* out) {
  constexpr char kEsc = 0x1B;
  constexpr unsigned char kSs2 = 0x8E, kSs3 = 0x8F;
  std::string euc;
  euc.reserve(text.size());
  JisSet set = JisSet::Ascii;
  bool shiftedOut = false;  // SO: katakana until SI
  for (std::size_t i = 0; i < text.size();) {
    const char c = text[i];
    if (c == kEsc) {
      const std::size_t taken = ReadJisEscape(text.substr(i + 1, 3), JisX0212::Read, &set);
      if (taken == 0) return false;  // a set of ISO-2022-JP-2 or -3
      i += taken;
      continue;
    }
    if (c == 0x0E) { shiftedOut = true; ++i; continue; }
    if (c == 0x0F) { shiftedOut = false; ++i; continue; }
    const unsigned char b = static_cast<unsigned char>(c);
    if (c == '\r' || c == '\n') {
      // CR and LF stay themselves in every set, so that a line that forgot to
      // switch back does not swallow its line break.
      euc.push_back(c);
      ++i;
      continue;
    }
    if (b >= 0x21 && b <= 0x7E && (set == JisSet::Kana || shiftedOut)) {
      euc.push_back(static_cast<char>(kSs2));
      euc.push_back(static_cast<char>(b | 0x80));
      ++i;
      continue;
    }
    if (b >= 0x21 && b <= 0x7E && (set == JisSet::Kanji || set == JisSet::Kanji0212)) {
      if (i + 1 >= text.size()) {
        euc.push_back(c);  // half a character: left for the converter to reject
        ++i;
        continue;
      }
      if (set == JisSet::Kanji0212) euc.push_back(static_cast<char>(kSs3));
      euc.push_back(static_cast<char>(b | 0x80));
      euc.push_back(static_cast<char>(static_cast<unsigned char>(text[i + 1]) | 0x80));
      i += 2;
      continue;
    }
    euc.push_back(c);
    ++i;
  }
  *out = std::move(euc);
  return true;
}

bool Iso2022JpToShiftJisStrict(std::string_view text, std::string* out) {
  constexpr char kEsc = 0x1B;
  // Never longer than its input: written through a pointer, cut at the end.
  std::string sjis(text.size(), '\0');
  char* o = &sjis[0];
  JisSet set = JisSet::Ascii;
  bool shiftedOut = false;
  for (std::size_t i = 0; i < text.size();) {
    const char c = text[i];
    if (c == kEsc) {
      const std::size_t taken = ReadJisEscape(text.substr(i + 1, 3), JisX0212::Refused, &set);
      if (taken == 0) return false;
      i += taken;
      continue;
    }
    if (c == 0x0E) { shiftedOut = true; ++i; continue; }
    if (c == 0x0F) { shiftedOut = false; ++i; continue; }
    const unsigned char b = static_cast<unsigned char>(c);
    if (b >= 0x21 && b <= 0x5F && (set == JisSet::Kana || shiftedOut)) {
      *o++ = static_cast<char>(b | 0x80);
      ++i;
      continue;
    }
    if (b >= 0x21 && b <= 0x7E && set == JisSet::Kanji && !shiftedOut) {
      // The whole run of pairs up to the next escape or line break at once.
      const unsigned char* p = reinterpret_cast<const unsigned char*>(text.data());
      const JisTables& t = TheJisTables();
      while (i + 1 < text.size()) {
        const unsigned j1 = p[i], j2 = p[i + 1];
        if (j1 < 0x21 || j1 > 0x7E) break;
        if (j2 < 0x21 || j2 > 0x7E) return false;  // broken: let the system judge it
        o[0] = static_cast<char>(t.first[j1]);
        o[1] = static_cast<char>(t.second[j1 & 1][j2]);
        o += 2;
        i += 2;
      }
      if (i + 1 == text.size() && p[i] >= 0x21 && p[i] <= 0x7E) return false;  // half a character
      continue;
    }
    if (b >= 0x80 || (set != JisSet::Ascii && !(c == '\r' || c == '\n' || c == ' ' || c == '\t'))) return false;
    *o++ = c;
    ++i;
  }
  sjis.resize(static_cast<std::size_t>(o - sjis.data()));
  *out = std::move(sjis);
  return true;
}

}  // namespace tanavo
