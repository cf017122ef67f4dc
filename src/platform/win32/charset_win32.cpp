// Charsets to Shift_JIS with the code page functions: the text goes to UTF-16
// and from there to code page 932; a character code page 932 has no place for
// becomes the geta mark and is counted (an invalid byte arrives as U+FFFD,
// which has none either).
#include <windows.h>

#include <climits>
#include <string>

#include "platform/charset.h"

namespace tanavo {

namespace {

constexpr UINT kShiftJisCodePage = 932;
constexpr UINT kEucJpCodePage = 20932;

bool ToWide(UINT codePage, std::string_view bytes, std::wstring* wide) {
  wide->clear();
  if (bytes.empty()) return true;
  if (bytes.size() > static_cast<std::size_t>(INT_MAX)) return false;
  const int n = static_cast<int>(bytes.size());
  const int w = MultiByteToWideChar(codePage, 0, bytes.data(), n, nullptr, 0);
  if (w <= 0) return false;
  wide->resize(static_cast<std::size_t>(w));
  return MultiByteToWideChar(codePage, 0, bytes.data(), n, &(*wide)[0], w) == w;
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

void WideToShiftJis(const std::wstring& wide, CharsetResult* out) {
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
    if (!ToWide(info.codePage, bytes, &wide)) {
      // Systems without the ISO-2022-JP code pages: by way of EUC-JP.
      std::string euc;
      if (info.route != CharsetRoute::Iso2022Jp || !Iso2022JpToEucJp(bytes, &euc) ||
          !ToWide(kEucJpCodePage, euc, &wide)) {
        return false;
      }
    }
    WideToShiftJis(wide, out);
    return true;
  }
};

}  // namespace

const CharsetConverter& SystemCharsetConverter() {
  static const CodePageConverter converter;
  return converter;
}

}  // namespace tanavo
