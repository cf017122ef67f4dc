// Base64 decoding and encoding over the one alphabet built at start-up.
#include <cstdint>
#include <cstring>

#include "codec/codec.h"

namespace tanavo {

namespace {

constexpr int kBase64GroupChars = 4;  // one group of four characters ...
constexpr int kBase64GroupBytes = 3;  // ... carries three bytes
constexpr std::size_t kStoreScratch = 1;  // a group is stored as four bytes

// The decoder's working form of the alphabet: the 6-bit value, with flags for
// "=" and for bytes outside the alphabet, so that one test on four bytes
// tells whether a group is plain.
constexpr std::uint8_t kPadFlag = 0x40;
constexpr std::uint8_t kSkipFlag = 0x80;

struct DecodeTable {
  std::uint8_t entry[256];
};

DecodeTable MakeDecodeTable(const Base64Alphabet& a) {
  DecodeTable t{};
  for (int b = 0; b < 256; ++b) {
    int v = a.value[b];
    if (v < 0) {
      t.entry[b] = kSkipFlag;
    } else if (b == '=') {
      t.entry[b] = kPadFlag;  // value 0
    } else {
      t.entry[b] = static_cast<std::uint8_t>(v & 0x3F);
    }
  }
  return t;
}

const DecodeTable& TheDecodeTable() {
  static const DecodeTable t = MakeDecodeTable(TheBase64Alphabet());
  return t;
}

struct EncodeTable {
  char digit[64];
};

const EncodeTable& TheEncodeTable() {
  static const EncodeTable t = [] {
    EncodeTable e{};
    const Base64Alphabet& a = TheBase64Alphabet();
    for (int d = 0; d < 64; ++d) e.digit[d] = a.character[d].empty() ? '\0' : a.character[d][0];
    return e;
  }();
  return t;
}

// Stores the 24-bit group value as three bytes, most significant first, with
// one four-byte store; the byte after them is scratch.
inline void StoreThreeBytes(char* o, std::uint32_t g) {
#if defined(__BYTE_ORDER__) && __BYTE_ORDER__ == __ORDER_LITTLE_ENDIAN__ && defined(__GNUC__)
  std::uint32_t w = __builtin_bswap32(g << 8);
  std::memcpy(o, &w, sizeof w);
#else
  o[0] = static_cast<char>(g >> 16);
  o[1] = static_cast<char>((g >> 8) & 0xFF);
  o[2] = static_cast<char>(g & 0xFF);
  o[3] = 0;
#endif
}

// Writes the bytes one group gives: one "=" keeps two, two keep one, any
// other count keeps all three.
char* EmitGroup(char* out, std::uint32_t v, int pads) {
  int keep = pads == 1 ? 2 : pads == 2 ? 1 : kBase64GroupBytes;
  out[0] = static_cast<char>(v >> 16);
  if (keep > 1) out[1] = static_cast<char>((v >> 8) & 0xFF);
  if (keep > 2) out[2] = static_cast<char>(v & 0xFF);
  return out + keep;
}

}  // namespace

void BuildBase64Alphabet(Base64Alphabet& a) {
  a.value.fill(-1);
  for (std::string& c : a.character) c.clear();
  int v = 0;
  auto enter = [&](char c) {
    a.value[static_cast<unsigned char>(c)] = v;
    a.character[v] = std::string(1, c);
    ++v;
  };
  for (char c = 'A'; c <= 'Z'; ++c) enter(c);
  for (char c = 'a'; c <= 'z'; ++c) enter(c);
  for (char c = '0'; c <= '9'; ++c) enter(c);
  enter('+');
  enter('/');
  a.value[static_cast<unsigned char>('=')] = 0;  // padding counts as 0, has no character
}

const Base64Alphabet& TheBase64Alphabet() {
  static const Base64Alphabet a = [] {
    Base64Alphabet built;
    BuildBase64Alphabet(built);
    return built;
  }();
  return a;
}

std::string DecodeBase64(std::string_view text) {
  const std::uint8_t* t = TheDecodeTable().entry;
  const auto* in = reinterpret_cast<const unsigned char*>(text.data());
  const std::size_t n = text.size();
  std::string out;
  out.resize(n / kBase64GroupChars * kBase64GroupBytes + kStoreScratch);
  char* const base = out.data();
  char* o = base;

  std::uint32_t v = 0;  // the group being gathered
  int have = 0;         // its characters so far
  int pads = 0;         // its "=" count
  std::size_t i = 0;
  while (i < n) {
    // Whole plain groups (the body of every line) go four bytes at a time.
    if (have == 0) {
      while (i + kBase64GroupChars <= n) {
        std::uint8_t a = t[in[i]], b = t[in[i + 1]], c = t[in[i + 2]], d = t[in[i + 3]];
        if ((a | b | c | d) & (kPadFlag | kSkipFlag)) break;
        std::uint32_t g = (std::uint32_t{a} << 18) | (std::uint32_t{b} << 12) | (std::uint32_t{c} << 6) | d;
        StoreThreeBytes(o, g);
        o += kBase64GroupBytes;
        i += kBase64GroupChars;
      }
      if (i >= n) break;
    }
    // Anything else (line breaks, padding, a group split by a break) byte by byte.
    std::uint8_t e = t[in[i++]];
    if (e & kSkipFlag) continue;
    v = (v << 6) | (e & 0x3F);
    if (e & kPadFlag) ++pads;
    if (++have == kBase64GroupChars) {
      o = EmitGroup(o, v, pads);
      v = 0;
      have = 0;
      pads = 0;
    }
  }
  // A final group of fewer than four characters gives nothing.
  out.resize(static_cast<std::size_t>(o - base));
  return out;
}

std::string EncodeBase64(std::string_view bytes) {
  const char* digit = TheEncodeTable().digit;
  const auto* in = reinterpret_cast<const unsigned char*>(bytes.data());
  const std::size_t n = bytes.size();
  std::string out;
  out.resize((n + kBase64GroupBytes - 1) / kBase64GroupBytes * kBase64GroupChars);
  char* o = out.data();
  std::size_t i = 0;
  for (; i + kBase64GroupBytes <= n; i += kBase64GroupBytes) {
    std::uint32_t v = (std::uint32_t{in[i]} << 16) | (std::uint32_t{in[i + 1]} << 8) | in[i + 2];
    o[0] = digit[v >> 18];
    o[1] = digit[(v >> 12) & 0x3F];
    o[2] = digit[(v >> 6) & 0x3F];
    o[3] = digit[v & 0x3F];
    o += kBase64GroupChars;
  }
  std::size_t rest = n - i;
  if (rest > 0) {
    // The short last chunk, padded with zero bits to 24, then "=" for each missing byte.
    std::uint32_t v = std::uint32_t{in[i]} << 16;
    if (rest == 2) v |= std::uint32_t{in[i + 1]} << 8;
    o[0] = digit[v >> 18];
    o[1] = digit[(v >> 12) & 0x3F];
    o[2] = rest == 2 ? digit[(v >> 6) & 0x3F] : '=';
    o[3] = '=';
  }
  return out;
}

}  // namespace tanavo
