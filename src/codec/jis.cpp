// ISO-2022-JP (the 7-bit mail code) to Shift_JIS.
#include <algorithm>
#include <cstdint>
#include <cstring>

#include "codec/codec.h"

namespace tanavo {

namespace {

constexpr char kEsc = 0x1B;
constexpr std::size_t kEscapeLength = 3;  // ESC and two bytes

enum class JisMode { SingleByte, DoubleByte };

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

std::string JisToShiftJis(std::string_view text) {
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

}  // namespace tanavo
