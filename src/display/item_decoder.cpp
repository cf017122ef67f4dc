// Placeholder until MIME decoding lands.
#include "display/item_decoder.h"

namespace tanavo {
std::string DecodeDataItem(App&, int, std::string_view item) { return std::string(item); }
std::string DecodeMultipartItem(App&, int, std::string_view) { return {}; }
}  // namespace tanavo
