// Turning one Data item into its display text; multipart items into their
// text part and attachments.
#pragma once

#include <string>
#include <string_view>

namespace tanavo {

struct App;

// The marker by which DecodeDataItem says the item is not plain text.
inline constexpr std::string_view kMultipartMarker = "multipart/mixed";

std::string DecodeDataItem(App& app, int tagIndex, std::string_view item);
std::string DecodeMultipartItem(App& app, int tagIndex, std::string_view item);

}  // namespace tanavo
