// What the data display lists from a case: the records a search finds, or
// the tagged ones, in the order chosen, as one vector of record numbers read
// by one query, so that a million records cost a vector and no work a row.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "case/case_file.h"
#include "case/case_search.h"
#include "case/case_tags.h"

namespace tanavo {

// The page cache a sort of the whole case may use, in KiB.
constexpr int kOrderCacheKiB = 64 * 1024;

enum class RecordSort { Number, Time, Sender, Subject };

// The sort after this one, as the sort button steps through them.
RecordSort NextRecordSort(RecordSort s);

struct RecordView {
  std::string queryUtf8;    // empty: every record
  RecordSort sort = RecordSort::Number;
  bool taggedOnly = false;

  // Some records are left out: the list shows hits, not all records.
  bool Filters() const { return !queryUtf8.empty() || taggedOnly; }
  // Records in another order or left out: the list needs the vector.
  bool Active() const { return Filters() || sort != RecordSort::Number; }
};

enum class OrderStatus {
  Ok,
  BadQuery,     // error says why
  NoSortEntry,  // no Data entry holds a sender or subject: in number order
  Failed,       // the database's message in error
};

struct RecordOrder {
  OrderStatus status = OrderStatus::Failed;
  std::string error;  // UTF-8
  std::vector<std::int32_t> numbers;
};

RecordOrder OrderRecords(CaseFile& c, const RecordView& view);

// The Data entry (its number in the settings) whose values sort by sender
// or subject: the first whose name says it, -1 when none holds a value.
int SortEntry(CaseFile& c, RecordSort sort);

// The records that hold a tag, ascending; false when they cannot be read.
bool TaggedRecords(CaseFile& c, std::vector<std::int32_t>* numbers);

struct RecordTag {
  std::int64_t id = 0;
  std::string label;  // UTF-8
  std::string note;   // UTF-8
};

// Record n's tags as made; false when they cannot be read.
bool TagsOfRecord(CaseFile& c, std::int32_t n, std::vector<RecordTag>* tags);
// Removes one tag, in a transaction of its own. NoRecord when it is gone.
TagStatus RemoveTag(CaseFile& c, std::int64_t id);

// UTF-8 kept in the case (a tag made by tanavo-cli, say) as Shift_JIS for
// the windows: what code page 932 cannot hold becomes the geta mark.
std::string ShiftJisOfUtf8(const std::string& utf8);

// The row of record n in an order, -1 when it is not there.
int RowOfRecord(const std::vector<std::int32_t>& order, std::int32_t n);
// The row step rows from row among count, held at the first and the last;
// -1 when there are none. From no row (-1), forward is the first.
int StepRow(int row, int count, int step);

}  // namespace tanavo
