// The warnings of the tag decoding as the window program and tanavo-cli show
// them: one warning box per header value not recognised.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include "mime/mime_full.h"

namespace tanavo {

// A warning box shows at most this many bytes of a header value (a broken
// header can run over megabytes); longer values are cut and marked "...".
constexpr std::size_t kWarningValueBytes = 200;

// The box's text for a warning of the tag decoding: "エンコード=" or
// "日本語コード=" and the framed value, "は判定できませんでした".
std::string ItemWarningText(MimeWarning warning, std::string_view detail);
inline std::string WarningText(MimeWarning warning, std::size_t, std::string_view detail) {
  return ItemWarningText(warning, detail);
}

// Shows each warning it is told as a box of the platform.
using ItemWarningBoxes = BoxReporter<MimeWarning, std::size_t, std::string_view>;

}  // namespace tanavo
