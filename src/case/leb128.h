// Unsigned LEB128 numbers, as the case file keeps lists of counts and ids
// in one value: seven bits a byte, low first, the high bit set on every
// byte but the last.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace tanavo {

inline void AppendLeb128(std::string* out, std::uint64_t v) {
  do {
    const unsigned char low = static_cast<unsigned char>(v & 0x7F);
    v >>= 7;
    out->push_back(static_cast<char>(v != 0 ? (low | 0x80) : low));
  } while (v != 0);
}

// The number at *pos, moving past it; false when the text ends inside it
// or it does not fit 64 bits.
inline bool ReadLeb128(std::string_view in, std::size_t* pos, std::uint64_t* v) {
  *v = 0;
  for (int shift = 0; *pos < in.size(); shift += 7) {
    const unsigned char b = static_cast<unsigned char>(in[(*pos)++]);
    if (shift > 63 || (shift == 63 && (b & 0x7F) > 1)) return false;
    *v |= static_cast<std::uint64_t>(b & 0x7F) << shift;
    if (!(b & 0x80)) return true;
  }
  return false;
}

}  // namespace tanavo
