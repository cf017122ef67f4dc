// The data display's attachment list and the attachment table behind it,
// filled from a decoded multipart item.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include "display/item_decoder.h"

namespace tanavo {

struct App;

// Shows the attachment controls, lists the first kAttachmentSlots attachments
// and records them in slots 1 upwards of the attachment table (its count is
// only set when one is recorded); the rest are named in a warning: the list
// rows and the table slots stay aligned. Returns how many are listed.
std::size_t ShowItemAttachments(App& app, const DecodedItem& item);

// Called on a selection in the attachment list: the attachment is decoded,
// with its progress on the data display, written to the temporary file and
// opened only when JudgeAttachment allows it.
void OpenAttachment(App& app);

}  // namespace tanavo
