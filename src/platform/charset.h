// Text in a named charset to Shift_JIS (code page 932) by the system's own
// converters: iconv on POSIX, the code page functions on Windows. Back ends:
// console (POSIX), win32, and a fake for tests that need no system converter.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace tanavo {

// What a character Shift_JIS cannot hold becomes (〓, the geta mark); input
// bytes that are not valid in their charset become it too.
inline constexpr std::string_view kShiftJisGeta = "\x81\xAC";

struct CharsetResult {
  std::string text;          // Shift_JIS
  std::size_t replaced = 0;  // characters turned into the geta mark
};

class CharsetConverter {
 public:
  virtual ~CharsetConverter() = default;
  // False (out untouched) when the charset is unknown or the system cannot
  // convert it; otherwise the whole text is converted, never stopping early.
  virtual bool ToShiftJis(std::string_view charset, std::string_view bytes, CharsetResult* out) const = 0;
};

// The system's converter (iconv or the code page functions); one per process.
// Defined by the win32 and console back ends.
const CharsetConverter& SystemCharsetConverter();

// The ISO-2022-JP conversions that need no converter are codecs of their
// own (codec/codec.h).

}  // namespace tanavo
