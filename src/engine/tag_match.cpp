// Placeholder until the tag matching lands.
#include "engine/tag_match.h"

namespace tanavo {
TagMatch ExtractBetweenTags(std::string_view, std::string_view, std::string_view, int32_t, std::string_view,
                            std::string_view, ExtractMode) { return TagMatch{}; }
}  // namespace tanavo
