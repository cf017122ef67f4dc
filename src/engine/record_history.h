// The start positions of the records shown by the settings check, so that the
// result window can go back.
#pragma once

#include <array>
#include <cstdint>

namespace tanavo {

constexpr int kHistorySlots = 2500;

struct RecordHistory {
  int32_t top = 0;
  std::array<int32_t, kHistorySlots + 1> starts{};  // slots 1 to 2500; slot 0 unused
};

}  // namespace tanavo
