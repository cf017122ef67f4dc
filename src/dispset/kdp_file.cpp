#include "dispset/kdp_file.h"

#include "codec/codec.h"
#include "text/bytes.h"

namespace tanavo {

namespace {

constexpr std::string_view kLineEnd = "\r\n";

}  // namespace

bool ParseDisplaySettingsFile(std::string_view bytes, DisplaySettingsTexts* texts) {
  std::size_t p = bytes.find(kLineEnd);
  if (p == std::string_view::npos) return false;
  texts->listLineTemplate = RemoveByte(DecodeBase64(bytes.substr(0, p)), '\0');
  texts->layoutText = RemoveByte(DecodeBase64(bytes.substr(p + kLineEnd.size())), '\0');
  return true;
}

std::string BuildDisplaySettingsFile(std::string_view listLineTemplate, std::string_view layoutText) {
  std::string layout(layoutText);
  layout.push_back('\0');  // the second part is never empty, even for an empty layout
  std::string bytes = EncodeBase64(RemoveByte(listLineTemplate, '\0'));
  bytes += kLineEnd;
  bytes += EncodeBase64(layout);
  return bytes;
}

}  // namespace tanavo
