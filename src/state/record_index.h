// The record index: where each record of the mobile file starts and the line
// that stands for it in the record list.
#pragma once

#include <array>
#include <cstdint>
#include <string>

namespace tanavo {

constexpr int kIndexSlots = 2500;  // records 1 to 2500; slot 0 is never used

struct RecordIndex {
  int32_t count = 0;
  // 1-based position in the mobile file of the first byte of each record's
  // D_SET start tag.
  std::array<int32_t, kIndexSlots + 1> positions{};
  std::array<std::string, kIndexSlots + 1> lines;
};

// Row n of the record list: "(" + n + ")" + the record's list line.
inline std::string RecordListRow(const RecordIndex& index, int32_t n) {
  return "(" + std::to_string(n) + ")" + index.lines[static_cast<std::size_t>(n)];
}

}  // namespace tanavo
