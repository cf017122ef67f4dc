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
WalkResult WalkRecord(const ExtractionSettings& s, FilePointerStack& stack, WalkState& walk, int firstEntry,
                      int32_t recordFrom, const WalkHooks& hooks);

}  // namespace tanavo
