// The record walk: runs the tag table over one record of the mobile file,
// descending through the file-pointer stack.
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <string>

#include "engine/pointer_stack.h"
#include "engine/tag_match.h"
#include "extract/settings.h"

namespace tanavo {

struct WalkState {
  std::array<int32_t, kTagEntries> lastEnd{};
  std::array<int32_t, kStackLevels> levelGroupEntry{};
  std::array<int32_t, kStackLevels> levelGroupEnd{};
};

enum class Role { Opening, Closing, Item };

struct WalkHooks {
  std::function<bool(int entry)> shouldStop;  // empty: never stop
  std::function<void(const TagMatch& record)> onRecord;
  std::function<void(int entry)> onGroup;
  std::function<void(int entry, const std::string& itemText)> onItem;
};

struct WalkResult {
  bool recordMissing = false;  // the D_SET search failed
  bool recordFound = false;    // a D_SET range was found; record holds it
  TagMatch record;
};

Role EntryRole(const ExtractionSettings& s, int entry);
int32_t RegionLimit(const ExtractionSettings& s, const FilePointerStack& stack, int entry);
void ResetLastEnd(WalkState& walk);
// Walks the table from firstEntry over one record, looking for the record's
// D_SET range from recordFrom, and always ends:
// - one record per walk: once found, a D_SET entry only closes it; a D_SET
//   match of no bytes (both range tags empty) counts as missing, so a found
//   record always ends at or after recordFrom;
// - the table is walked forward; the only step back is the repeat of a Group
//   whose last match took at least one byte, and a repeated Data item stops
//   at a match of no bytes;
// - a closing entry closes its block and any block left open inside it; only
//   levels pushed by this walk are popped;
// - at the stack limit a Group is not accepted, an item still reaches onItem
//   (the top of the stack is then the enclosing text), and a record still
//   reaches onRecord and ends the walk as found;
// - shouldStop is asked before every step and again before each further
//   occurrence of a repeated Data item;
// - LastEnd changes only where a match is accepted, and for a non-repeated
//   item that is not found (it still reaches onItem), which takes the previous
//   entry's (0 at the head of a block). Callers reset it before each record.
WalkResult WalkRecord(const ExtractionSettings& s, FilePointerStack& stack, WalkState& walk, int firstEntry,
                      int32_t recordFrom, const WalkHooks& hooks);
// Whether a walk from entry 0 reads the mobile file itself (level 0) only
// in its D_SET search from recordFrom: the table opens with a D_SET entry
// and no Group or Data entry follows the entry that closes it. Every other
// step then reads the record's own text, so the walk needs of the file only
// the bytes that search looks at (FindRangeInFile).
bool WalkReadsFileForRecordOnly(const ExtractionSettings& s);

}  // namespace tanavo
