// The record index: where each record of the mobile file starts and the line
// that stands for it in the record list.
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <limits>
#include <string>
#include <vector>

namespace tanavo {

// The capacity an index starts with: records 1 to 2500. Work that stopped at
// 2500 records keeps doing so unless the examiner raises it.
constexpr int32_t kIndexSlots = 2500;
// The capacity "all": as many records as a mobile file can hold (a record
// takes at least one byte, and positions are 32-bit).
constexpr int32_t kAllRecords = std::numeric_limits<int32_t>::max();

struct RecordIndex {
  int32_t count = 0;
  // How many records creation and loading take; the rest are left out, with
  // a warning. Kept across creations and loads: it is the examiner's setting.
  int32_t capacity = kIndexSlots;
  // Slot n holds record n; slot 0 is never used. There are always at least
  // count + 1 slots and at least kIndexSlots + 1, so a record of the default
  // capacity may be written at once; more are added as records are taken
  // (RecordSlotFor), never for the capacity alone: "all" costs nothing
  // until the records are there.
  // positions: 1-based position in the mobile file of the first byte of each
  // record's D_SET start tag.
  std::vector<int32_t> positions = std::vector<int32_t>(static_cast<std::size_t>(kIndexSlots) + 1);
  std::vector<std::string> lines = std::vector<std::string>(static_cast<std::size_t>(kIndexSlots) + 1);
};

// Sets how many records the index takes from now on (1 or more; kAllRecords
// for all). What the index holds stays until the next creation or load.
inline void SetRecordCapacity(RecordIndex& index, int32_t capacity) {
  index.capacity = capacity < 1 ? 1 : capacity;
}

// Empties the index for a new creation or load, giving back the slots of a
// large one; the capacity stays.
inline void ClearRecords(RecordIndex& index) {
  index.count = 0;
  index.positions.assign(static_cast<std::size_t>(kIndexSlots) + 1, 0);
  std::vector<std::string>(static_cast<std::size_t>(kIndexSlots) + 1).swap(index.lines);
}

// Whether n is a record the index holds, with a position behind it (its
// list line may not be held: see PositionSlotFor).
inline bool HoldsRecord(const RecordIndex& index, int32_t n) {
  return n >= 1 && n <= index.count && static_cast<std::size_t>(n) < index.positions.size();
}

// Makes slot n exist (n >= 1), growing both tables by half again at a time so
// that taking records one by one costs linear time; returns n as a slot.
inline std::size_t RecordSlotFor(RecordIndex& index, int32_t n) {
  const std::size_t slot = static_cast<std::size_t>(n);
  if (slot >= index.positions.size() || slot >= index.lines.size()) {
    const std::size_t grown = std::max(slot + 1, index.positions.size() + index.positions.size() / 2);
    index.positions.resize(grown);
    index.lines.resize(grown);
  }
  return slot;
}

// Makes position slot n exist, as RecordSlotFor, leaving the list lines
// with their first slots: an index read for the export, whose lines are
// read again from the index file as the records are written.
inline std::size_t PositionSlotFor(RecordIndex& index, int32_t n) {
  const std::size_t slot = static_cast<std::size_t>(n);
  if (slot >= index.positions.size()) {
    index.positions.resize(std::max(slot + 1, index.positions.size() + index.positions.size() / 2));
  }
  return slot;
}

// Row n of the record list: "(" + n + ")" + the record's list line.
inline std::string RecordListRow(const RecordIndex& index, int32_t n) {
  if (!HoldsRecord(index, n) || static_cast<std::size_t>(n) >= index.lines.size()) {
    return "(" + std::to_string(n) + ")";
  }
  return "(" + std::to_string(n) + ")" + index.lines[static_cast<std::size_t>(n)];
}

}  // namespace tanavo
