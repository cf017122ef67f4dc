#include "case/case_file.h"

#include <sqlite3.h>
#include <sys/stat.h>

#include "case/fts_tokenizer.h"
#include "case/search_index.h"
#include "platform/console/utf8.h"
#include "platform/digest.h"

namespace tanavo {

namespace {

// The tables of a case. Values are kept once, as the Shift_JIS bytes the
// data display shows; the search index (search_terms, search_index.h) holds
// which values hold each token of their text as UTF-8. coverage is filled by
// the coverage check of the settings.
constexpr const char* kSchema = R"SQL(
CREATE TABLE case_info(key TEXT PRIMARY KEY, value TEXT NOT NULL);
CREATE TABLE evidence(role TEXT PRIMARY KEY, path TEXT NOT NULL, size INTEGER NOT NULL, sha256 TEXT NOT NULL);
CREATE TABLE records(
  number INTEGER PRIMARY KEY,
  offset INTEGER NOT NULL,
  length INTEGER NOT NULL,
  found INTEGER NOT NULL,
  list_line BLOB NOT NULL,
  time_iso TEXT, time_utc TEXT, time_local TEXT, time_source BLOB, time_zone_assumed INTEGER,
  time_entry BLOB);
CREATE TABLE entry_values(
  id INTEGER PRIMARY KEY,
  record INTEGER NOT NULL,
  entry INTEGER NOT NULL,
  occurrence INTEGER NOT NULL,
  name BLOB NOT NULL,
  name_key TEXT NOT NULL,
  value BLOB NOT NULL);
CREATE TABLE attachments(
  record INTEGER NOT NULL, position INTEGER NOT NULL, name BLOB NOT NULL, name_utf8 TEXT NOT NULL,
  size INTEGER NOT NULL, sha256 TEXT NOT NULL, type TEXT NOT NULL);
CREATE TABLE coverage(record INTEGER NOT NULL, finding TEXT NOT NULL);
CREATE TABLE tags(
  id INTEGER PRIMARY KEY, record INTEGER NOT NULL, label TEXT NOT NULL, note TEXT NOT NULL, made TEXT NOT NULL);
CREATE INDEX tags_record ON tags(record);
)SQL";

bool Configure(sqlite3* db) {
  // A case file may come from anyone: its schema is never trusted to run
  // functions with side effects, and nothing may corrupt it on purpose.
  sqlite3_db_config(db, SQLITE_DBCONFIG_DEFENSIVE, 1, nullptr);
  sqlite3_db_config(db, SQLITE_DBCONFIG_TRUSTED_SCHEMA, 0, nullptr);
  sqlite3_busy_timeout(db, kCaseBusyMilliseconds);
  return RegisterSearchTokenizer(db);
}

// A case made before the search index was a table of ours held the same
// tokens in a full-text table of SQLite's. Its index is dropped and the case
// marked unfinished, to be built again when it is next used; its tags stay.
bool UpgradeFromFullText(CaseFile& c) {
  return c.Exec("BEGIN IMMEDIATE") &&
         c.Exec("DROP TABLE IF EXISTS entry_search; DROP VIEW IF EXISTS entry_texts; "
                "DELETE FROM case_info WHERE key = 'state'") &&
         c.Exec(kSearchTermsSchema) &&
         c.Exec("PRAGMA user_version=" + std::to_string(kCaseSchemaVersion)) && c.Exec("COMMIT");
}

bool FileSize(const std::string& path, long long* size) {
#ifdef _WIN32
  struct _stat64 st;
  if (_stat64(path.c_str(), &st) != 0) return false;
#else
  struct stat st;
  if (stat(path.c_str(), &st) != 0) return false;
#endif
  *size = static_cast<long long>(st.st_size);
  return true;
}

// What a refusal of the database says of the file.
CaseOpenStatus StatusOfError(sqlite3* db) {
  switch (sqlite3_errcode(db)) {
    case SQLITE_NOTADB: return CaseOpenStatus::NotACase;
    case SQLITE_CORRUPT: return CaseOpenStatus::Damaged;
    default: return CaseOpenStatus::CannotOpen;
  }
}

}  // namespace

Statement::Statement(sqlite3* db, const std::string& sql) {
  if (sqlite3_prepare_v2(db, sql.c_str(), static_cast<int>(sql.size()), &st_, nullptr) != SQLITE_OK) {
    sqlite3_finalize(st_);
    st_ = nullptr;
  }
}
Statement::~Statement() { sqlite3_finalize(st_); }
void Statement::Bind(int i, const std::string& text) {
  sqlite3_bind_text(st_, i, text.data(), static_cast<int>(text.size()), SQLITE_TRANSIENT);
}
void Statement::BindBlob(int i, const std::string& bytes) {
  sqlite3_bind_blob(st_, i, bytes.data(), static_cast<int>(bytes.size()), SQLITE_TRANSIENT);
}
void Statement::Bind(int i, std::int64_t value) { sqlite3_bind_int64(st_, i, value); }
void Statement::BindNull(int i) { sqlite3_bind_null(st_, i); }
int Statement::Step() { return st_ ? sqlite3_step(st_) : SQLITE_ERROR; }
void Statement::Reset() {
  sqlite3_reset(st_);
  sqlite3_clear_bindings(st_);
}
std::string Statement::Text(int column) const {
  const void* p = sqlite3_column_blob(st_, column);
  const int n = sqlite3_column_bytes(st_, column);
  return p ? std::string(static_cast<const char*>(p), static_cast<std::size_t>(n)) : std::string();
}
std::int64_t Statement::Int(int column) const { return sqlite3_column_int64(st_, column); }
bool Statement::IsNull(int column) const { return sqlite3_column_type(st_, column) == SQLITE_NULL; }

CaseOpenStatus CaseFile::Open(const std::string& path, bool create, std::unique_ptr<CaseFile>* out) {
  long long size = 0;
  const bool exists = FileSize(path, &size);
  if (!exists && !create) return CaseOpenStatus::NotFound;
  sqlite3* db = nullptr;
  // A connection is used by one thread at a time: no lock around each call.
  const int flags = SQLITE_OPEN_READWRITE | SQLITE_OPEN_NOMUTEX | (create ? SQLITE_OPEN_CREATE : 0);
  // SQLite takes file names in UTF-8.
  if (sqlite3_open_v2(NativeNameToUtf8(path).c_str(), &db, flags, nullptr) != SQLITE_OK) {
    sqlite3_close(db);
    return CaseOpenStatus::CannotOpen;
  }
  std::unique_ptr<CaseFile> c(new CaseFile(db));
  if (!Configure(db)) return StatusOfError(db);
  // Only read until the file is known to be ours: even choosing the journal
  // mode writes to it.
  std::int64_t app = 0, version = 0, tables = 0;
  {
    Statement a(db, "PRAGMA application_id");
    if (!a.ok() || a.Step() != SQLITE_ROW) return StatusOfError(db);
    app = a.Int(0);
    Statement v(db, "PRAGMA user_version");
    if (!v.ok() || v.Step() != SQLITE_ROW) return CaseOpenStatus::NotACase;
    version = v.Int(0);
    Statement t(db, "SELECT count(*) FROM sqlite_schema");
    if (!t.ok() || t.Step() != SQLITE_ROW) return CaseOpenStatus::NotACase;
    tables = t.Int(0);
  }
  const bool fresh = app == 0 && tables == 0 && (!exists || size == 0);
  if (fresh && !create) return CaseOpenStatus::NotACase;
  const bool fullText = !fresh && app == kCaseApplicationId && version == kFullTextCaseSchemaVersion;
  if (!fresh && !fullText && (app != kCaseApplicationId || version != kCaseSchemaVersion)) {
    return CaseOpenStatus::NotACase;
  }
  // A case is upgraded only when sound: a damaged file is never written.
  if (fullText && !c->Intact()) return CaseOpenStatus::Damaged;
  if (!c->Prepare(fresh)) return StatusOfError(db);
  if (fullText && !UpgradeFromFullText(*c)) {
    const CaseOpenStatus status = StatusOfError(db);
    c->Exec("ROLLBACK");
    return status;
  }
  *out = std::move(c);
  return CaseOpenStatus::Ok;
}

bool CaseFile::Prepare(bool fresh) {
  if (!Exec("PRAGMA journal_mode=WAL") || !Exec("PRAGMA synchronous=NORMAL") ||
      !Exec("PRAGMA cache_size=" + std::to_string(-kCaseCacheKiB))) {
    return false;
  }
  if (!fresh) return true;
  return Exec("BEGIN IMMEDIATE") && Exec(kSchema) && Exec(kSearchTermsSchema) && MakeBuiltIndexes() &&
         Exec("PRAGMA application_id=" + std::to_string(kCaseApplicationId)) &&
         Exec("PRAGMA user_version=" + std::to_string(kCaseSchemaVersion)) && Exec("COMMIT");
}

bool CaseFile::DropBuiltIndexes() {
  for (const BuiltIndex& i : kBuiltIndexes) {
    if (!Exec(std::string("DROP INDEX IF EXISTS ") + i.name)) return false;
  }
  return true;
}

bool CaseFile::MakeBuiltIndexes() {
  for (const BuiltIndex& i : kBuiltIndexes) {
    if (!Exec(std::string("CREATE INDEX IF NOT EXISTS ") + i.name + " ON " + i.on)) return false;
  }
  return true;
}

CaseFile::~CaseFile() { sqlite3_close_v2(db_); }

bool CaseFile::Exec(const std::string& sql) { return sqlite3_exec(db_, sql.c_str(), nullptr, nullptr, nullptr) == SQLITE_OK; }

std::string CaseFile::LastError() const { return sqlite3_errmsg(db_); }

bool CaseFile::IsBusyError() const {
  const int e = sqlite3_errcode(db_);
  return e == SQLITE_BUSY || e == SQLITE_LOCKED;
}

std::string CaseFile::Info(const std::string& key) {
  Statement s(db_, "SELECT value FROM case_info WHERE key = ?1");
  s.Bind(1, key);
  return s.Step() == SQLITE_ROW ? s.Text(0) : std::string();
}

bool CaseFile::Built() { return Info("state") == "built"; }

std::vector<CaseEvidence> CaseFile::Evidence() {
  std::vector<CaseEvidence> all;
  Statement s(db_, "SELECT role, path, size, sha256 FROM evidence ORDER BY rowid");
  while (s.Step() == SQLITE_ROW) {
    all.push_back({s.Text(0), s.Text(1), static_cast<std::uint64_t>(s.Int(2)), s.Text(3)});
  }
  return all;
}

std::vector<EvidenceCheck> CaseFile::CheckEvidence() {
  std::vector<EvidenceCheck> checks;
  for (const CaseEvidence& e : Evidence()) {
    EvidenceCheck c;
    c.evidence = e;
    std::string hex;
    std::uint64_t size = 0;
    if (!HashFile(e.path, &hex, &size)) {
      c.state = EvidenceState::Missing;
    } else if (hex != e.sha256 || size != e.size) {
      c.state = EvidenceState::Changed;
    }
    checks.push_back(c);
  }
  return checks;
}

bool CaseFile::Intact() {
  Statement s(db_, "PRAGMA quick_check");
  return s.Step() == SQLITE_ROW && s.Text(0) == "ok";
}

bool HashFile(const std::string& path, std::string* hex, std::uint64_t* size) {
  Sha256Digest d;
  if (!Sha256OfFile(path, &d, size)) return false;
  *hex = HexDigest(d);
  return true;
}

}  // namespace tanavo
