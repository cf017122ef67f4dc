#include "case/case_view.h"

#include <sqlite3.h>

#include <algorithm>
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

RecordOrder OrderRecords(CaseFile& c, const RecordView& view) {
  RecordOrder result;
  std::string where = " WHERE 1";
  std::vector<std::string> params;
  if (!view.queryUtf8.empty()) {
    std::string expr;
    const SearchStatus compiled = CompileSearch(c, view.queryUtf8, &expr, &params, &result.error);
    if (compiled != SearchStatus::Ok) {
      result.status = compiled == SearchStatus::BadQuery ? OrderStatus::BadQuery : OrderStatus::Failed;
      return result;
    }
    where += " AND r.number IN (" + expr + ")";
  }
  if (view.taggedOnly) where += " AND r.number IN (SELECT record FROM tags)";
  std::string join, order = " ORDER BY r.number";
  bool noEntry = false;
  if (view.sort == RecordSort::Time) {
    order = " ORDER BY r.time_utc IS NULL, r.time_utc, r.number";
  } else if (view.sort == RecordSort::Sender || view.sort == RecordSort::Subject) {
    const int entry = SortEntry(c, view.sort);
    if (entry < 0) {
      noEntry = true;
    } else {
      // The first value of the entry, as the bytes the data display shows:
      // Shift_JIS sorts kana in the order of the syllabary.
      join = " LEFT JOIN entry_values k ON k.record = r.number AND k.entry = " + std::to_string(entry) +
             " AND k.occurrence = 1";
      order = " ORDER BY k.value IS NULL, k.value, r.number";
    }
  }
  // A million rows are sorted here: in memory, with room for the pages of
  // the values they are joined with (this connection only; nothing written).
  c.Exec("PRAGMA temp_store=MEMORY");
  c.Exec("PRAGMA cache_size=" + std::to_string(-kOrderCacheKiB));
  Statement s(c.db(), "SELECT r.number FROM records r" + join + where + order);
  if (!s.ok()) {
    result.error = c.LastError();
    return result;
  }
  for (std::size_t i = 0; i < params.size(); ++i) s.Bind(static_cast<int>(i + 1), params[i]);
  int rc;
  while ((rc = s.Step()) == SQLITE_ROW) result.numbers.push_back(static_cast<std::int32_t>(s.Int(0)));
  if (rc != SQLITE_DONE) {
    result.error = c.LastError();
    result.numbers.clear();
    return result;
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
