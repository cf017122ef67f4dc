// Placeholders of the list-line template and the layout text: "??" + data
// name + optional filler bytes (normally spaces) + "??". A placeholder's whole
// length is the width reserved for the value written into it.
#pragma once

#include <string>
#include <string_view>

#include "engine/tag_match.h"

namespace tanavo {

// The first placeholder of name in text (mode WithTags: its whole text).
TagMatch FindPlaceholder(std::string_view text, std::string_view name);

// Writes value into the first placeholder of name. A padded placeholder gets
// the value followed by spaces up to its width; a longer value is not cut, and
// a bare placeholder ("??" + name + "??") takes the value as it is. False when
// text holds no placeholder of name.
bool FillPlaceholder(std::string& text, std::string_view name, std::string_view value);

// Clears the first remaining placeholder of name wherever its exact text
// occurs: spaces of its width for a padded one, nothing for a bare one.
void ClearPlaceholder(std::string& text, std::string_view name);

}  // namespace tanavo
