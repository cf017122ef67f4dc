// Turning one Data item into its display text; multipart items into their
// text part and attachments. Decoding returns values and touches no window;
// the data display fills its controls from them (app/attachment_list.h).
// DecodeItem is the one entry point: by the tag table's loose rules
// (mime/tag_decoding.h), or in full (mime/mime_full.h) for an entry that asks.
#pragma once

#include <cstddef>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "mime/mime_full.h"

namespace tanavo {

struct Workspace;

// The marker by which a text-only reading says the item is not plain text.
inline constexpr std::string_view kMultipartMarker = "multipart/mixed";

// One attachment of a multipart item: its decoded name and its content. The
// tag decoding keeps the content raw (still transfer-encoded), as opening it
// decodes it (Base64); a mail decoded in full has its attachments' bytes
// decoded already and keeps them as they are (decoded). AttachmentBytes
// (display/attachment.h) gives the bytes of either.
struct ItemAttachment {
  std::string name;
  std::string content;
  bool decoded = false;
};

// The attachments one item keeps. An item of nothing but delimiters would
// otherwise hold millions of empty ones; real mail has a few.
constexpr std::size_t kMaxItemAttachments = 1000;

// What one Data item decodes to.
struct DecodedItem {
  std::string text;        // the display text (the text part of a multipart item)
  bool multipart = false;  // the tag decoding found no plain text: decoded as multipart
  // Those of a multipart item in order, all of them up to kMaxItemAttachments.
  std::vector<ItemAttachment> attachments;
  std::size_t attachmentCount = 0;  // how many the item holds, those not kept included
  // An item of an entry in full mode: what its mail could not decode
  // (FullMail::Problems()); an item of an entry that says its charset: the
  // characters Shift_JIS cannot hold, each shown as 〓; 0 for every other item.
  bool fullMime = false;
  std::size_t undecodable = 0;
  // Bytes the split of a multipart item read, its parts and the searches
  // between them: never much more than twice the item, whatever it holds.
  std::size_t work = 0;
};

// A multipart item's attachments, given as soon as they are known: before its
// text part is decoded, so that whatever shows them does so before any
// warning of that decoding, as the data display always has.
using AttachmentsFound = std::function<void(const DecodedItem&)>;

// How much of an item a reading takes.
enum class ItemReading {
  Whole,     // a multipart item split into its text part and attachments
  TextOnly,  // the display text alone: a multipart item of the tag decoding
             // gives kMultipartMarker, a mail in full mode no attachments
};

// What a caller gives a decoding.
struct ItemDecoding {
  AttachmentsFound found;  // told of a multipart item's attachments (Whole only)
  // Told of each header value the tag decoding does not recognise
  // (MimeWarning::UnknownTransferEncoding or UnknownCharset, the raw value as
  // detail); without one, each is a warning box of the platform
  // (ItemWarningBoxes).
  MimeReporter* warnings = nullptr;
  ItemReading reading = ItemReading::Whole;
};

inline ItemDecoding TextOnlyDecoding(MimeReporter* warnings = nullptr) {
  ItemDecoding how;
  how.warnings = warnings;
  how.reading = ItemReading::TextOnly;
  return how;
}

// The one entry point: the item decoded by its Data entry. An item of an
// entry in full mode is decoded once; the entry that shows the body
// (ShowsMailBody) carries the mail's attachments, as a multipart item does.
DecodedItem DecodeItem(Workspace& ws, int tagIndex, std::string_view item, const ItemDecoding& how = {});

}  // namespace tanavo
