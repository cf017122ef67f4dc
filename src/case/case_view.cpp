#include "case/case_view.h"

#include <sqlite3.h>

#include <algorithm>
#include <climits>
#include <cstdint>
#include <string_view>
#include <unordered_map>

#include "case/case_build.h"
#include "case/search_tokens.h"
#include "platform/charset.h"
#include "platform/console/utf8.h"

namespace tanavo {

namespace {

// Entry names, folded as FieldKey folds them, that hold a sender or a
// subject in the settings of mail, SMS and calendar dumps.
const std::vector<std::string>& SortEntryNames(RecordSort sort) {
  static const std::vector<std::string> kSender = {"from", "sender", u8"差出人", u8"送信者", u8"送信元",
                                                   u8"発信者", u8"発信元", u8"送信者名"};
  static const std::vector<std::string> kSubject = {"subject", "title", "summary", u8"件名",
                                                    u8"題名", u8"表題", u8"タイトル", u8"概要"};
  static const std::vector<std::string> kNone;
  if (sort == RecordSort::Sender) return kSender;
  if (sort == RecordSort::Subject) return kSubject;
  return kNone;
}

// Each character of code page 932 by its code point, made once from the
// platform's own conversion the other way, so both ways agree.
const std::unordered_map<char32_t, std::string>& ShiftJisOfCodePoint() {
  static const std::unordered_map<char32_t, std::string> table = [] {
    std::unordered_map<char32_t, std::string> t;
    auto add = [&t](const std::string& sjis) {
      const std::string utf8 = Cp932ToUtf8(sjis);
      std::size_t pos = 0;
      const char32_t cp = NextCodePoint(utf8, &pos);
      if (pos == utf8.size() && cp != 0xFFFD) t.emplace(cp, sjis);  // the first of two codes wins
    };
    for (int b = 0xA1; b <= 0xDF; ++b) add(std::string(1, static_cast<char>(b)));
    for (int lead = 0x81; lead <= 0xFC; ++lead) {
      if (lead > 0x9F && lead < 0xE0) continue;
      for (int trail = 0x40; trail <= 0xFC; ++trail) {
        if (trail != 0x7F) add(std::string{static_cast<char>(lead), static_cast<char>(trail)});
      }
    }
    return t;
  }();
  return table;
}

}  // namespace

std::string ShiftJisOfUtf8(const std::string& utf8) {
  const auto& table = ShiftJisOfCodePoint();
  std::string out;
  std::size_t pos = 0;
  while (pos < utf8.size()) {
    const char32_t cp = NextCodePoint(utf8, &pos);
    if (cp < 0x80) {
      out += static_cast<char>(cp);
      continue;
    }
    const auto it = table.find(cp);
    out += it != table.end() ? it->second : std::string(kShiftJisGeta);
  }
  return out;
}

RecordSort NextRecordSort(RecordSort s) {
  switch (s) {
    case RecordSort::Number: return RecordSort::Time;
    case RecordSort::Time: return RecordSort::Sender;
    case RecordSort::Sender: return RecordSort::Subject;
    case RecordSort::Subject: return RecordSort::Number;
  }
  return RecordSort::Number;
}

int SortEntry(CaseFile& c, RecordSort sort) {
  const std::vector<std::string>& names = SortEntryNames(sort);
  if (names.empty()) return -1;
  std::string sql = "SELECT min(entry) FROM entry_values WHERE name_key IN (";
  for (std::size_t i = 0; i < names.size(); ++i) sql += i == 0 ? "?" : ",?";
  Statement s(c.db(), sql + ")");
  for (std::size_t i = 0; i < names.size(); ++i) s.Bind(static_cast<int>(i + 1), names[i]);
  if (s.Step() != SQLITE_ROW || s.IsNull(0)) return -1;
  return static_cast<int>(s.Int(0));
}

namespace {

// A record's sort key as ORDER BY compares it: no value last, then numbers,
// text and blobs in that order (SQLite's order of storage classes), text and
// blobs byte by byte, a key that begins another first.
struct SortRow {
  std::uint64_t head = 0;  // the first eight bytes, big-endian, zero after the end
  std::uint64_t next = 0;  // the eight after them, alike
  std::uint32_t offset = 0;
  std::uint32_t length = 0;
  std::int32_t number = 0;
  std::uint8_t rank = 0;   // 0 number, 1 text, 2 blob, 3 none
  double numeric = 0;
};

// The keys of all records' first values of one entry, in one pass over the
// values (numbered by record, so in record order), for records in numbers
// (ascending); rows for records without one have none.
class SortKeys {
 public:
  bool Read(CaseFile& c, int entry, const std::vector<std::int32_t>& numbers, std::int64_t records) {
    rows_.reserve(numbers.size());
    std::vector<SortRow> keyed;
    auto take = [&](const Statement& s, int column, std::int32_t number) {
      SortRow r;
      r.number = number;
      switch (sqlite3_column_type(s.get(), column)) {
        case SQLITE_NULL: r.rank = 3; return r;
        case SQLITE_INTEGER:
        case SQLITE_FLOAT:
          r.rank = 0;
          r.numeric = sqlite3_column_double(s.get(), column);
          return r;
        case SQLITE_TEXT: r.rank = 1; break;
        default: r.rank = 2; break;
      }
      const void* p = sqlite3_column_blob(s.get(), column);
      const std::string_view bytes(p ? static_cast<const char*>(p) : "",
                                   static_cast<std::size_t>(sqlite3_column_bytes(s.get(), column)));
      if (arena_.size() + bytes.size() >= kMaxArenaBytes) {
        full_ = true;
        return r;
      }
      r.offset = static_cast<std::uint32_t>(arena_.size());
      r.length = static_cast<std::uint32_t>(bytes.size());
      arena_ += bytes;
      for (std::size_t i = 0; i < 16; ++i) {
        std::uint64_t& word = i < 8 ? r.head : r.next;
        word = (word << 8) | (i < bytes.size() ? static_cast<unsigned char>(bytes[i]) : 0u);
      }
      return r;
    };
    const std::string where = " entry = " + std::to_string(entry) + " AND occurrence = 1";
    if (static_cast<std::int64_t>(numbers.size()) * kLookUpBelowOneIn < records) {
      // Few records: each one's key looked up.
      Statement s(c.db(), "SELECT value FROM entry_values WHERE record = ?1 AND" + where);
      for (std::int32_t n : numbers) {
        s.Bind(1, static_cast<std::int64_t>(n));
        int rc;
        bool any = false;
        while ((rc = s.Step()) == SQLITE_ROW) {
          rows_.push_back(take(s, 0, n));
          any = true;
        }
        s.Reset();
        if (rc != SQLITE_DONE || full_) return false;
        if (!any) rows_.push_back(NoKey(n));
      }
      return true;
    }
    Statement s(c.db(), "SELECT record, value FROM entry_values WHERE" + where);
    int rc;
    while ((rc = s.Step()) == SQLITE_ROW) {
      const std::int64_t n = s.Int(0);
      if (n < INT32_MIN || n > INT32_MAX) continue;  // no record's number
      keyed.push_back(take(s, 1, static_cast<std::int32_t>(n)));
    }
    if (rc != SQLITE_DONE || full_) return false;
    auto byNumber = [](const SortRow& a, const SortRow& b) { return a.number < b.number; };
    if (!std::is_sorted(keyed.begin(), keyed.end(), byNumber)) std::stable_sort(keyed.begin(), keyed.end(), byNumber);
    // Each record with each of its keys, as the join gives them.
    std::size_t k = 0;
    for (std::int32_t n : numbers) {
      while (k < keyed.size() && keyed[k].number < n) ++k;
      if (k == keyed.size() || keyed[k].number != n) {
        rows_.push_back(NoKey(n));
        continue;
      }
      for (std::size_t j = k; j < keyed.size() && keyed[j].number == n; ++j) rows_.push_back(keyed[j]);
    }
    return true;
  }

  void SortInto(std::vector<std::int32_t>* numbers) {
    std::sort(rows_.begin(), rows_.end(), [this](const SortRow& a, const SortRow& b) {
      if (a.rank != b.rank) return a.rank < b.rank;
      if (a.rank == 0 && a.numeric != b.numeric) return a.numeric < b.numeric;
      if (a.rank == 1 || a.rank == 2) {
        if (a.head != b.head) return a.head < b.head;
        if (a.next != b.next) return a.next < b.next;
        // The first sixteen bytes are the same where both have them; a
        // shorter key's zeros may be bytes of the other's, so it is compared whole.
        const std::size_t same = a.length >= 16 && b.length >= 16 ? 16 : 0;
        const int d = std::string_view(arena_).substr(a.offset + same, a.length - same).compare(
            std::string_view(arena_).substr(b.offset + same, b.length - same));
        if (d != 0) return d < 0;
      }
      return a.number < b.number;
    });
    numbers->clear();
    numbers->reserve(rows_.size());
    for (const SortRow& r : rows_) numbers->push_back(r.number);
  }

 private:
  // Few records' keys are looked up one by one below this share of all.
  static constexpr std::int64_t kLookUpBelowOneIn = 16;
  // The keys are held in one text, placed by 32-bit offsets.
  static constexpr std::size_t kMaxArenaBytes = std::size_t{0xFFFFFFFF};
  static SortRow NoKey(std::int32_t n) {
    SortRow r;
    r.number = n;
    r.rank = 3;
    return r;
  }
  std::vector<SortRow> rows_;
  std::string arena_;
  bool full_ = false;

 public:
  bool Full() const { return full_; }
};

}  // namespace

RecordOrder OrderRecords(CaseFile& c, const RecordView& view) {
  RecordOrder result;
  std::string where = " WHERE 1";
  // The hits of the search, ascending; the records of the order below are
  // kept only when among them.
  std::vector<std::int64_t> found;
  const bool searched = !view.queryUtf8.empty();
  if (searched) {
    const SearchStatus status = FindRecords(c, view.queryUtf8, &found, &result.error);
    if (status != SearchStatus::Ok) {
      result.status = status == SearchStatus::BadQuery ? OrderStatus::BadQuery : OrderStatus::Failed;
      return result;
    }
    if (!view.taggedOnly && view.sort == RecordSort::Number) {
      // The hits alone in number order, as the search gives them.
      result.numbers.assign(found.begin(), found.end());
      result.status = OrderStatus::Ok;
      return result;
    }
  }
  if (view.taggedOnly) where += " AND r.number IN (SELECT record FROM tags)";
  std::string order = " ORDER BY r.number";
  bool noEntry = false;
  int entry = -1;
  if (view.sort == RecordSort::Time) {
    order = " ORDER BY r.time_utc IS NULL, r.time_utc, r.number";
  } else if (view.sort == RecordSort::Sender || view.sort == RecordSort::Subject) {
    entry = SortEntry(c, view.sort);
    noEntry = entry < 0;
  }
  // A million rows are sorted here: in memory, with room for the pages of
  // the values they are joined with (this connection only; nothing written).
  c.Exec("PRAGMA temp_store=MEMORY");
  c.Exec("PRAGMA cache_size=" + std::to_string(-kOrderCacheKiB));
  Statement s(c.db(), "SELECT r.number FROM records r" + where + order);
  if (!s.ok()) {
    result.error = c.LastError();
    return result;
  }
  int rc;
  while ((rc = s.Step()) == SQLITE_ROW) {
    const std::int64_t n = s.Int(0);
    if (!searched || std::binary_search(found.begin(), found.end(), n)) {
      result.numbers.push_back(static_cast<std::int32_t>(n));
    }
  }
  if (rc != SQLITE_DONE) {
    result.error = c.LastError();
    result.numbers.clear();
    return result;
  }
  if (entry >= 0) {
    // The first value of the entry, as the bytes the data display shows:
    // Shift_JIS sorts kana in the order of the syllabary. Sorted here, as
    // ORDER BY k.value IS NULL, k.value, r.number over the records joined
    // with their values would, at a fraction of its cost.
    std::int64_t records = 0;
    Statement count(c.db(), "SELECT max(number) FROM records");
    if (count.Step() == SQLITE_ROW) records = count.Int(0);
    SortKeys keys;
    if (!keys.Read(c, entry, result.numbers, records)) {
      result.error = keys.Full() ? "the sort keys take more than 4 GiB" : c.LastError();
      result.numbers.clear();
      return result;
    }
    keys.SortInto(&result.numbers);
  }
  result.status = noEntry ? OrderStatus::NoSortEntry : OrderStatus::Ok;
  return result;
}

bool TaggedRecords(CaseFile& c, std::vector<std::int32_t>* numbers) {
  Statement s(c.db(), "SELECT DISTINCT record FROM tags ORDER BY record");
  if (!s.ok()) return false;
  int rc;
  while ((rc = s.Step()) == SQLITE_ROW) numbers->push_back(static_cast<std::int32_t>(s.Int(0)));
  return rc == SQLITE_DONE;
}

bool TagsOfRecord(CaseFile& c, std::int32_t n, std::vector<RecordTag>* tags) {
  Statement s(c.db(), "SELECT id, label, note FROM tags WHERE record = ?1 ORDER BY id");
  if (!s.ok()) return false;
  s.Bind(1, static_cast<std::int64_t>(n));
  int rc;
  while ((rc = s.Step()) == SQLITE_ROW) tags->push_back({s.Int(0), s.Text(1), s.Text(2)});
  return rc == SQLITE_DONE;
}

TagStatus RemoveTag(CaseFile& c, std::int64_t id) {
  Statement s(c.db(), "DELETE FROM tags WHERE id = ?1");
  s.Bind(1, id);
  if (s.Step() != SQLITE_DONE) return c.IsBusyError() ? TagStatus::Busy : TagStatus::Failed;
  return sqlite3_changes(c.db()) > 0 ? TagStatus::Saved : TagStatus::NoRecord;
}

int RowOfRecord(const std::vector<std::int32_t>& order, std::int32_t n) {
  const auto it = std::find(order.begin(), order.end(), n);
  return it == order.end() ? -1 : static_cast<int>(it - order.begin());
}

int StepRow(int row, int count, int step) {
  if (count <= 0) return -1;
  if (row < 0) return step >= 0 ? 0 : count - 1;
  const long long to = static_cast<long long>(row) + step;
  return static_cast<int>(std::clamp<long long>(to, 0, count - 1));
}

}  // namespace tanavo
