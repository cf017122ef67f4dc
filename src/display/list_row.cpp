#include "display/list_row.h"

#include <string_view>

#include "codec/carrier_emoji.h"
#include "engine/pointer_stack.h"
#include "engine/walk.h"
#include "extract/carrier_choice.h"
#include "state/workspace.h"
#include "text/bytes.h"

namespace tanavo {

namespace {

// The lowest lead byte of an emoji code: au mail's 0xEB40 (the phones' codes
// and the other carriers' are higher).
constexpr unsigned char kLowestEmojiLead = 0xEB;

// Whether a double-byte character of the row starts with such a lead byte:
// most rows have none, and need no look at their record.
bool MayHoldEmoji(std::string_view row) {
  for (std::size_t i = 0; i < row.size(); ++i) {
    const unsigned char b = static_cast<unsigned char>(row[i]);
    if (!IsShiftJisLead(b)) continue;
    if (b >= kLowestEmojiLead) return true;
    ++i;  // its trail byte
  }
  return false;
}

// The carrier record n is rendered with, found by walking its D_SET alone
// from its stored position. The walk has a stack and state of its own: a
// list asks for rows while it is painted, which may be during another walk
// (a box shown by rendering).
Carrier CarrierOfIndexedRecord(const Workspace& ws, int32_t n, CarrierSetting setting) {
  const int first = FirstEntryOfKind(ws.extraction, EntryKind::DSet);
  if (first < 0) return Carrier::None;
  FilePointerStack stack(ws.platform, ws.extraction, ws.state.mobileFile);
  WalkState walk;
  ResetLastEnd(walk);
  Carrier carrier = Carrier::None;
  bool found = false;
  WalkHooks hooks;
  hooks.shouldStop = [&found](int) { return found; };
  hooks.onRecord = [&](const TagMatch& record) {
    carrier = CarrierFor(setting, record.text);
    found = true;
  };
  (void)WalkRecord(ws.extraction, stack, walk, first, ws.index.positions[static_cast<std::size_t>(n)], hooks);
  return carrier;
}

}  // namespace

std::string MarkedRecordListRow(const Workspace& ws, int32_t n) {
  std::string row = RecordListRow(ws.index, n);
  const CarrierSetting setting = CarrierSettingOf(ws.extraction);
  if (setting == CarrierSetting::None || !HoldsRecord(ws.index, n) || !MayHoldEmoji(row)) return row;
  const Carrier carrier = CarrierOfIndexedRecord(ws, n, setting);
  return carrier == Carrier::None ? row : MarkCarrierEmoji(row, carrier);
}

}  // namespace tanavo
