// Finding one occurrence of a start tag and its end tag in a text, with an
// optional continuation-line condition.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace tanavo {

enum class ExtractMode { PositionsOnly = 0, WithTags = 1, ContentOnly = 2 };

enum class MatchStatus {
  Found,
  NotFound,         // no start tag
  StartWithoutEnd,  // a start tag, but no end tag after it
};

struct TagMatch {
  MatchStatus status = MatchStatus::NotFound;
  int32_t start = 0;  // first byte of the start tag (Found only)
  int32_t end = 0;    // last byte of the closing end tag (Found only)
  std::string text;    // as the mode asks; empty unless found
};

TagMatch ExtractBetweenTags(std::string_view text, std::string_view startTag, std::string_view endTag,
                            int32_t from, std::string_view lineEnd, std::string_view nextLineHead,
                            ExtractMode mode);

}  // namespace tanavo
