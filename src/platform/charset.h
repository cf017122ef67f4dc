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

// A charset name longer than this is no charset (the name comes from mail).
constexpr std::size_t kMaxCharsetNameBytes = 64;

// How a charset reaches Shift_JIS.
enum class CharsetRoute {
  Unknown,    // not a charset this system converts
  Identity,   // Shift_JIS already (every spelling of it, and us-ascii): bytes kept
  Iso2022Jp,  // ISO-2022-JP and its extensions
  System,     // the system converter, by iconv name or code page
};

struct CharsetInfo {
  CharsetRoute route = CharsetRoute::Unknown;
  const char* iconvName = "";  // glibc's name
  unsigned codePage = 0;       // Windows code page
};

// The charset of a MIME name (any case, surrounding spaces and quotes
// ignored). us-ascii is taken as Shift_JIS, so that the 8-bit text of a
// phone that labels its mail wrongly is shown, not lost.
CharsetInfo LookupCharset(std::string_view name);

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

// The conversions that need no system converter, done alike by every back
// end: the Shift_JIS family kept, ISO-2022-JP of JIS X 0208 and 0201 by
// arithmetic. False when info's text needs the system converter (or is of no
// known charset).
bool ConvertWithoutSystem(const CharsetInfo& info, std::string_view bytes, CharsetResult* out);

// The system's converter (iconv or the code page functions); one per process.
// Defined by the win32 and console back ends.
const CharsetConverter& SystemCharsetConverter();
// The converter of a platform without one of the system's (the fake back end
// of the tests): the Shift_JIS family kept, ISO-2022-JP of JIS X 0208 and
// 0201 by arithmetic, every other charset refused.
const CharsetConverter& BuiltInCharsetConverter();

// The ISO-2022-JP conversions that need no converter are codecs of their
// own (codec/codec.h).

}  // namespace tanavo
