// The data display's attachment list and the attachment table behind it,
// filled from a decoded multipart item.
#pragma once

#include "display/item_decoder.h"

namespace tanavo {

struct App;

// Shows the attachment controls, lists the first kAttachmentSlots attachments
// and records them in slots 1 upwards of the attachment table (its count is
// only set when one is recorded); the rest are named in a warning: the list
// rows and the table slots stay aligned.
void ShowItemAttachments(App& app, const DecodedItem& item);

}  // namespace tanavo
