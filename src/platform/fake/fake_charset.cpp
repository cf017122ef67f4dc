#include "platform/fake/fake_charset.h"

#include "codec/charset_names.h"
#include "codec/codec.h"

namespace tanavo {

bool FakeCharsetConverter::ToShiftJis(std::string_view charset, std::string_view bytes, CharsetResult* out) const {
  asked.emplace_back(charset);
  const CharsetInfo info = LookupCharset(charset);
  if (info.route == CharsetRoute::Identity) {
    out->text.assign(bytes);
  } else if (info.route == CharsetRoute::Iso2022Jp) {
    out->text = JisToShiftJisLoose(bytes);
  } else {
    return false;
  }
  out->replaced = 0;
  return true;
}

}  // namespace tanavo
