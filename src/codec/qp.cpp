// Quoted-Printable decoding.
#include <algorithm>
#include <cstring>

#include "codec/codec.h"

namespace tanavo {

namespace {

// The value of an ASCII hexadecimal digit of either case, or -1.
int HexDigit(unsigned char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  return -1;
}

// The byte "=" followed by these (up to two) bytes stands for: the leading
// hexadecimal digits, none giving 0. This is what ParseNumber makes of "&h"
// followed by them; reading the digits directly spares a copy per "=".
char EscapedByte(std::string_view digits) {
  int v = 0;
  for (unsigned char c : digits) {
    int d = HexDigit(c);
    if (d < 0) break;
    v = v * 16 + d;
  }
  return static_cast<char>(v & 0xFF);
}

}  // namespace

std::string DecodeQuotedPrintable(std::string_view text) {
  const std::size_t n = text.size();
  const char* in = text.data();
  std::string out;
  out.resize(n);  // never longer than the input
  char* const base = out.data();
  char* o = base;

  // A 0x00 byte ends the text where the walk reaches it; one right after
  // "=" is part of that escape and does not.
  std::size_t nul = std::min(text.find('\0'), n);
  std::size_t pos = 0;
  while (pos < n) {
    const void* eq = std::memchr(in + pos, '=', nul - pos);
    std::size_t run = eq ? static_cast<std::size_t>(static_cast<const char*>(eq) - in) - pos : nul - pos;
    std::memcpy(o, in + pos, run);
    o += run;
    pos += run;
    if (!eq) break;  // the end, or a 0x00 byte

    std::string_view digits = text.substr(pos + 1, 2);
    if (digits != "\r\n") *o++ = EscapedByte(digits);  // CR LF after "=" is a soft line break
    pos += 3;
    if (nul < pos && pos < n) nul = std::min(text.find('\0', pos), n);
  }
  out.resize(static_cast<std::size_t>(o - base));
  return out;
}

}  // namespace tanavo
