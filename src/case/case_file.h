// The case file (NAME.tcase): an SQLite database built from an index, holding
// every record's decoded values, attachments and time for search, and the
// examiner's tags. Written in transactions in WAL mode, so that a program
// killed while it writes loses nothing saved before, and two programs may
// open one case (a writer waits for the other up to kCaseBusyMilliseconds).
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

struct sqlite3;
struct sqlite3_stmt;

namespace tanavo {

constexpr const char* kCaseFileExtension = ".tcase";
// What marks a database as a case file of ours ("TCAS"), and the shape of
// its tables; another value is a foreign file, never written.
constexpr std::int32_t kCaseApplicationId = 0x54434153;
constexpr std::int32_t kCaseSchemaVersion = 2;
// Cases of this version are upgraded when opened (case_file.cpp).
constexpr std::int32_t kFullTextCaseSchemaVersion = 1;
constexpr int kCaseBusyMilliseconds = 10000;
// The pages a connection keeps in memory, in KiB: a search reads the index
// and the records again and again, and the system's own cache is a call
// away for each page.
constexpr int kCaseCacheKiB = 64 * 1024;

// Values are numbered (entry_values.id, what the search index lists) from 1
// in record order, and case_info's kValuesPerRecordKey holds how many each
// record has, from record 1 on, as unsigned LEB128 numbers: with it a hit of
// the index names its record without reading the value. Without it (a case
// altered by hand) the search reads the values' records.
constexpr const char* kValuesPerRecordKey = "values_per_record";

// The indexes of the tables a build fills. A build drops them and makes
// them again from the stored rows: one sort of each instead of a search in
// it for every row stored.
struct BuiltIndex {
  const char* name;
  const char* on;
};
constexpr BuiltIndex kBuiltIndexes[] = {
    {"records_time", "records(time_utc)"},
    {"entry_values_record", "entry_values(record)"},
    {"entry_values_name", "entry_values(name_key)"},
    {"attachments_record", "attachments(record)"},
};

enum class CaseOpenStatus {
  Ok,
  NotFound,    // no file there (opening an existing case)
  NotACase,    // a file of something else, or of a later version
  Damaged,     // our file, but its pages fail the check
  CannotOpen,  // the file system refused it
};

// One of the files a case was built from, with its SHA-256 when built.
struct CaseEvidence {
  std::string role;    // "mobile", "index", "extraction", "display"
  std::string path;    // as the file system names it
  std::uint64_t size = 0;
  std::string sha256;  // lower-case hex
};

enum class EvidenceState { Same, Changed, Missing };

struct EvidenceCheck {
  CaseEvidence evidence;
  EvidenceState state = EvidenceState::Same;
};

// A prepared statement, finalized when it goes.
class Statement {
 public:
  Statement(sqlite3* db, const std::string& sql);
  ~Statement();
  Statement(const Statement&) = delete;
  Statement& operator=(const Statement&) = delete;
  bool ok() const { return st_ != nullptr; }
  sqlite3_stmt* get() const { return st_; }
  void Bind(int i, const std::string& text);       // TEXT
  void BindBlob(int i, const std::string& bytes);  // BLOB: Shift_JIS bytes, NUL included
  void Bind(int i, std::int64_t value);
  void BindNull(int i);
  // SQLITE_ROW, SQLITE_DONE or an error code.
  int Step();
  void Reset();
  std::string Text(int column) const;  // TEXT or BLOB bytes
  std::int64_t Int(int column) const;
  bool IsNull(int column) const;

 private:
  sqlite3_stmt* st_ = nullptr;
};

class CaseFile {
 public:
  // Opens the case at path (a native path); with create, a new one is made
  // where there is no file or an empty one. A file that is no case of ours is
  // left exactly as it was.
  static CaseOpenStatus Open(const std::string& path, bool create, std::unique_ptr<CaseFile>* out);
  ~CaseFile();
  CaseFile(const CaseFile&) = delete;
  CaseFile& operator=(const CaseFile&) = delete;

  sqlite3* db() const { return db_; }
  // Runs sql (no rows); false with LastError set.
  bool Exec(const std::string& sql);
  std::string LastError() const;
  bool IsBusyError() const;

  // True when the case holds a complete build.
  bool Built();
  std::vector<CaseEvidence> Evidence();
  // Each evidence file hashed again where it was.
  std::vector<EvidenceCheck> CheckEvidence();
  std::string Info(const std::string& key);

  // The whole integrity check, for a file about to be rebuilt.
  bool Intact();

  // kBuiltIndexes dropped, or made where missing; false with LastError set.
  bool DropBuiltIndexes();
  bool MakeBuiltIndexes();

 private:
  explicit CaseFile(sqlite3* db) : db_(db) {}
  bool Prepare(bool fresh);
  sqlite3* db_ = nullptr;
};

// The hex SHA-256 and size of a file; false when it cannot be read.
bool HashFile(const std::string& path, std::string* hex, std::uint64_t* size);

}  // namespace tanavo
