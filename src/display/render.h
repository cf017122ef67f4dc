// Record rendering: one record of the index walked again from its stored
// position, each Data item decoded and written into the layout text. It
// returns what the record is and shows nothing; the data display shows it.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "codec/carrier_emoji.h"
#include "display/item_decoder.h"

namespace tanavo {

struct Workspace;
struct TagMatch;

enum class RenderStatus {
  Rendered,
  // n is not a record of the index, or no record is at its stored position
  // (another mobile file loaded since, or one changed).
  NotFound,
};

struct RenderedRecord {
  RenderStatus status = RenderStatus::NotFound;
  std::string text;          // the layout with the record's values
  bool attachments = false;  // an item was decoded as multipart
  // Per Data entry (by table index), the values its occurrences produced, in
  // order; filled only when asked for.
  std::vector<std::vector<std::string>> values;
  // The attachments of every multipart item, in the order of the items (the
  // data display lists only the last item's, five at most).
  std::vector<ItemAttachment> attachmentFiles;
  std::size_t attachmentsNotKept = 0;  // beyond kMaxItemAttachments of an item
  // What the record's mails in full mode could not decode, each mail counted
  // once however many entries read it; the status text says it when not 0.
  std::size_t undecodable = 0;
  // Whose emoji the record's user-defined codes are: the carrier the record
  // names, else the extraction settings' (None: every byte as it is). The
  // text keeps the evidence's bytes; each output shows them its way.
  Carrier carrier = Carrier::None;
};

// Told as the render goes, so that a window shows each step at once, in the
// order the record is walked (a warning box of a later item comes after the
// attachment list of an earlier one). Every call may be ignored.
class RenderReporter {
 public:
  virtual ~RenderReporter() = default;
  virtual void Progress(const std::string& entryCounter) = 0;  // "3/12": the entry being walked
  virtual void RecordFound(const TagMatch& record) = 0;        // the record's range, tags included
  virtual void AttachmentsFound(const DecodedItem& item) = 0;  // a multipart item's, before its text is decoded
};

enum class RenderValues { Skip, Collect };

// Renders record n (1-based) of the index.
[[nodiscard]] RenderedRecord RenderRecord(Workspace& ws, int n, RenderReporter* reporter = nullptr,
                                          RenderValues values = RenderValues::Skip);

}  // namespace tanavo
