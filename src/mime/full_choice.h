// Which Data entries are decoded in full, and what each shows. The choice is
// stored in the entry's charset tag pair as the start tag "*MIME*" with an
// empty end tag: a pair whose start tag nothing reads today (a charset pair
// with an empty tag gives no charset whatever the other holds), so every
// settings file written before keeps its meaning, and the value round-trips
// through the 50-byte field of the .kta file unchanged.
#pragma once

#include <string>
#include <string_view>

#include "extract/settings.h"
#include "mime/mime_full.h"

namespace tanavo {

inline constexpr std::string_view kFullMimeTag = "*MIME*";

bool IsFullMimeEntry(const TagDefinition& entry);
// On: the marker in the charset start tag and an empty end tag. Off: the
// pair emptied when it held the marker, otherwise left as it is.
void SetFullMimeEntry(TagDefinition& entry, bool on);

// The mail in a Data entry's item: the entry's own range tags around the
// item (as the record walk hands it over) left out.
std::string_view FullMimeItemMail(const TagDefinition& entry, std::string_view item);

// The text a Data entry in full mode shows, by its name: "Date", "From", "To"
// and "Subject" their header fields, any other name the body.
const std::string& FullMailField(const FullMail& mail, std::string_view entryName);
// The entry by this name shows the body (and so carries the attachments).
bool ShowsMailBody(std::string_view entryName);

}  // namespace tanavo
