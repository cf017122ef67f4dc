// The charset a Data entry says its items' text is in, for files that are not
// Shift_JIS: UTF-8 (data files of newer phones, vCard 4.0), EUC-JP, UTF-16.
// Stored as the full decoding choice is, in the entry's charset tag pair: the
// start tag "*TEXT*" with the charset's name as the end tag. A pair of tags
// that finds nothing before, so every settings file written before keeps its
// meaning; both fit the 50-byte fields of the .kta file.
#pragma once

#include <string_view>

#include "extract/settings.h"

namespace tanavo {

inline constexpr std::string_view kItemCharsetTag = "*TEXT*";

// Tags: the charset the entry's tags find (Shift_JIS when they find none).
enum class ItemCharset { Tags, Utf8, EucJp, Utf16 };
constexpr int kItemCharsets = 4;

// Data entries only; every other entry reads as Tags.
ItemCharset EntryItemCharset(const TagDefinition& entry);
// Tags empties the pair only when it holds the marker.
void SetEntryItemCharset(TagDefinition& entry, ItemCharset charset);
// The one after it, in the order Tags, UTF-8, EUC-JP, UTF-16.
ItemCharset NextItemCharset(ItemCharset charset);
// "UTF-8", "EUC-JP", "UTF-16"; "" for Tags.
const char* ItemCharsetName(ItemCharset charset);

}  // namespace tanavo
