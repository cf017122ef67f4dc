// Turning one Data item into its display text; multipart items into their
// text part and attachments. Decoding returns values and touches no window;
// the data display fills its controls from them (display/attachment_list.h).
#pragma once

#include <cstddef>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace tanavo {

struct Workspace;

// The marker by which DecodeDataItem says the item is not plain text.
inline constexpr std::string_view kMultipartMarker = "multipart/mixed";

// One attachment of a multipart item: its decoded name and its content, raw
// (still transfer-encoded), as opening it decodes it. An item decoded in full
// has its attachments' bytes already decoded; they are kept Base64-encoded
// here, so that opening, saving and export take the one path for both.
struct ItemAttachment {
  std::string name;
  std::string content;
};

// The attachments one item keeps. An item of nothing but delimiters would
// otherwise hold millions of empty ones; real mail has a few.
constexpr std::size_t kMaxItemAttachments = 1000;

// What one Data item decodes to.
struct DecodedItem {
  std::string text;        // the display text (the text part of a multipart item)
  bool multipart = false;  // DecodeDataItem gave the marker: decoded as multipart
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

// The item's display text, the empty string, or the marker.
std::string DecodeDataItem(Workspace& ws, int tagIndex, std::string_view item);
// DecodeDataItem, and for the marker the item decoded as multipart. An item
// of an entry in full mode is decoded once; the entry that shows the body
// (ShowsMailBody) carries the mail's attachments, as a multipart item does.
DecodedItem DecodeItem(Workspace& ws, int tagIndex, std::string_view item, const AttachmentsFound& found = nullptr);
// The item decoded as multipart (for an item DecodeDataItem gave the marker).
DecodedItem DecodeMultipart(Workspace& ws, int tagIndex, std::string_view item, const AttachmentsFound& found = nullptr);

}  // namespace tanavo
