// The charsets this system knows by name, and the conversions to Shift_JIS
// that need no system converter: what every back end's converter does first.
#pragma once

#include <cstddef>
#include <string_view>

#include "platform/charset.h"

namespace tanavo {

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

// The conversions that need no system converter, done alike by every back
// end: the Shift_JIS family kept, ISO-2022-JP of JIS X 0208 and 0201 by
// arithmetic. False when info's text needs the system converter (or is of no
// known charset).
bool ConvertWithoutSystem(const CharsetInfo& info, std::string_view bytes, CharsetResult* out);

// The converter of a platform without one of the system's (the fake back end
// of the tests): the Shift_JIS family kept, ISO-2022-JP of JIS X 0208 and
// 0201 by arithmetic, every other charset refused.
const CharsetConverter& BuiltInCharsetConverter();

}  // namespace tanavo
