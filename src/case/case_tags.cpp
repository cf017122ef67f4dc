#include "case/case_tags.h"

#include <sqlite3.h>

#include "case/search_tokens.h"

namespace tanavo {

TagStatus AddTag(CaseFile& c, std::int32_t record, const std::string& labelUtf8, const std::string& noteUtf8) {
  if (labelUtf8.size() > kMaxTagLabelBytes || noteUtf8.size() > kMaxTagNoteBytes) return TagStatus::TooLong;
  Statement known(c.db(), "SELECT 1 FROM records WHERE number = ?1");
  known.Bind(1, static_cast<std::int64_t>(record));
  const int rc = known.Step();
  if (rc == SQLITE_DONE) return TagStatus::NoRecord;
  if (rc != SQLITE_ROW) return c.IsBusyError() ? TagStatus::Busy : TagStatus::Failed;
  Statement add(c.db(),
                "INSERT INTO tags(record, label, note, made) VALUES(?1, ?2, ?3, strftime('%Y-%m-%dT%H:%M:%SZ','now'))");
  add.Bind(1, static_cast<std::int64_t>(record));
  add.Bind(2, ValidUtf8(labelUtf8));
  add.Bind(3, ValidUtf8(noteUtf8));
  // One statement outside a transaction is one: it is saved whole or not at all.
  if (add.Step() == SQLITE_DONE) return TagStatus::Saved;
  return c.IsBusyError() ? TagStatus::Busy : TagStatus::Failed;
}

bool ListTags(CaseFile& c, std::vector<CaseTag>* tags) {
  Statement s(c.db(),
              "SELECT t.record, r.offset, r.list_line, t.label, t.note, t.made FROM tags t LEFT JOIN records r "
              "ON r.number = t.record ORDER BY t.record, t.id");
  if (!s.ok()) return false;
  int rc;
  while ((rc = s.Step()) == SQLITE_ROW) {
    CaseTag t;
    t.record = static_cast<std::int32_t>(s.Int(0));
    t.offset = s.Int(1);
    t.listLine = s.Text(2);
    t.label = s.Text(3);
    t.note = s.Text(4);
    t.made = s.Text(5);
    tags->push_back(std::move(t));
  }
  return rc == SQLITE_DONE;
}

}  // namespace tanavo
