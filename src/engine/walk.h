// The record walk: runs the tag table over one record of the mobile file.
#pragma once

#include <array>
#include <cstdint>

#include "engine/pointer_stack.h"
#include "extract/settings.h"

namespace tanavo {

struct WalkState {
  std::array<int32_t, kTagEntries> lastEnd{};
  std::array<int32_t, kStackLevels> levelGroupEntry{};
  std::array<int32_t, kStackLevels> levelGroupEnd{};
};

}  // namespace tanavo
