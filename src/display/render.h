// Record rendering: one record of the index walked again from its stored
// position, each Data item decoded and written into the layout text.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "display/item_decoder.h"

namespace tanavo {

struct App;

struct RenderedRecord {
  std::string text;          // the layout with the record's values, as shown
  bool attachments = false;  // an item was decoded as multipart
  // Per Data entry (by table index), the values its occurrences produced, in
  // order; filled only when collectValues is set before the call.
  bool collectValues = false;
  std::vector<std::vector<std::string>> values;
  // The attachments of every multipart item, in the order of the items (the
  // data display lists only the last item's, five at most).
  std::vector<ItemAttachment> attachmentFiles;
  std::size_t attachmentsNotKept = 0;  // beyond kMaxItemAttachments of an item
  // What the record's mails in full mode could not decode, each mail counted
  // once however many entries read it; the status text says it when not 0.
  std::size_t undecodable = 0;
};

// Renders record n (1-based) into the data display window and the raw text
// view. 0 when rendered and shown; 1 when n is not a record of the index or
// its D_SET range is not found at its stored position (nothing is shown then).
int RenderRecord(App& app, int n, RenderedRecord* out = nullptr);

}  // namespace tanavo
