#include "display/item_warnings.h"

#include "text/bytes.h"

namespace tanavo {

namespace {

// The byte that frames a header value in a warning.
constexpr char kValueFrame = 0x16;

// The value as a warning shows it: whole, or cut on a character boundary.
std::string ShownValue(std::string_view value) {
  if (value.size() <= kWarningValueBytes) return std::string(value);
  return std::string(CutOnCharBoundary(value, kWarningValueBytes)) + "...";
}

}  // namespace

std::string ItemWarningText(MimeWarning warning, std::string_view detail) {
  std::string text = warning == MimeWarning::UnknownCharset ? "日本語コード" : "エンコード";
  text += '=';
  text += kValueFrame;
  text += ShownValue(detail);
  text += kValueFrame;
  text += "は判定できませんでした";
  return text;
}

}  // namespace tanavo
