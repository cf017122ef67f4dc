#include "case/case_build.h"

#include <sqlite3.h>

#include <ctime>

#include "case/leb128.h"
#include "case/record_time.h"
#include "case/search_index.h"
#include "case/search_tokens.h"
#include "display/attachment.h"
#include "display/render.h"
#include "engine/tag_match.h"
#include "platform/digest.h"
#include "state/workspace.h"

namespace tanavo {

namespace {

// Where the record was found: its range, tags included.
class RangeReporter : public RenderReporter {
 public:
  void Progress(const std::string&) override {}
  void RecordFound(const TagMatch& record) override {
    length = record.end >= record.start ? static_cast<std::int64_t>(record.end) - record.start + 1 : 0;
  }
  void AttachmentsFound(const DecodedItem&) override {}
  std::int64_t length = 0;
};

// Entry names that say they hold a time are read for it first.
bool NamesATime(const std::string& key) {
  static const char* const kWords[] = {"date", "time", "dtstart", "x-irmc", "x-nok-dt", u8"日", u8"時"};
  for (const char* w : kWords) {
    if (key.find(w) != std::string::npos) return true;
  }
  return false;
}

std::string UtcNow() {
  const std::time_t now = std::time(nullptr);
  const std::tm* t = std::gmtime(&now);
  char buf[32] = {};
  if (!t || std::strftime(buf, sizeof buf, "%Y-%m-%dT%H:%M:%SZ", t) == 0) return std::string();
  return buf;
}

struct Inserts {
  explicit Inserts(sqlite3* db)
      : record(db,
               "INSERT INTO records(number, offset, length, found, list_line, time_iso, time_utc, time_local, "
               "time_source, time_zone_assumed, time_entry) VALUES(?1,?2,?3,?4,?5,?6,?7,?8,?9,?10,?11)"),
        value(db,
              "INSERT INTO entry_values(record, entry, occurrence, name, name_key, value, id) "
              "VALUES(?1,?2,?3,?4,?5,?6,?7)"),
        attachment(db,
                   "INSERT INTO attachments(record, position, name, name_utf8, size, sha256, type) "
                   "VALUES(?1,?2,?3,?4,?5,?6,?7)") {}
  bool ok() const { return record.ok() && value.ok() && attachment.ok(); }
  Statement record, value, attachment;
  SearchIndexThread search;
  std::int64_t lastValue = 0;  // the id of the value stored last
};

bool Done(Statement& s) {
  const int rc = s.Step();
  s.Reset();
  return rc == SQLITE_DONE;
}

bool StoreRecord(Inserts& ins, Workspace& ws, int32_t n, const std::vector<std::string>& keys,
                 const CaseBuildInput& input, CaseBuildResult* result, std::uint64_t* values) {
  RangeReporter range;
  const RenderedRecord r = RenderRecord(ws, n, &range, RenderValues::Collect);
  const bool found = r.status == RenderStatus::Rendered;
  if (!found) ++result->notFound;
  // The time: entries named for one first, then the others, in table order.
  RecordTime time;
  std::string timeEntry;
  for (int pass = 0; pass < 2 && !time.found && found; ++pass) {
    for (std::size_t e = 0; e < r.values.size() && e < keys.size() && !time.found; ++e) {
      if (NamesATime(keys[e]) != (pass == 0)) continue;
      for (const std::string& v : r.values[e]) {
        if (v.size() > kMaxTimeTextBytes) continue;
        time = NormaliseTime(v, input.assumedOffsetMinutes);
        if (time.found) {
          timeEntry = ws.extraction.entries[e].name;
          break;
        }
      }
    }
  }
  if (!time.found) ++result->withoutTime;
  if (time.zoneAssumed) ++result->zoneAssumed;
  Statement& rec = ins.record;
  rec.Bind(1, static_cast<std::int64_t>(n));
  rec.Bind(2, static_cast<std::int64_t>(ws.index.positions[static_cast<std::size_t>(n)]) - 1);
  rec.Bind(3, found ? range.length : 0);
  rec.Bind(4, static_cast<std::int64_t>(found));
  rec.BindBlob(5, ws.index.lines[static_cast<std::size_t>(n)]);
  if (time.found) {
    rec.Bind(6, time.iso);
    rec.Bind(7, time.utc);
    rec.Bind(8, time.local);
    rec.BindBlob(9, time.source);
    rec.Bind(10, static_cast<std::int64_t>(time.zoneAssumed));
    rec.BindBlob(11, timeEntry);
  }
  if (!Done(rec)) return false;
  for (std::size_t e = 0; e < r.values.size() && e < keys.size(); ++e) {
    const std::string& name = ws.extraction.entries[e].name;
    std::int64_t occurrence = 0;
    for (const std::string& v : r.values[e]) {
      const std::int64_t id = ++ins.lastValue;
      ++*values;
      ins.value.Bind(1, static_cast<std::int64_t>(n));
      ins.value.Bind(2, static_cast<std::int64_t>(e));
      ins.value.Bind(3, ++occurrence);
      ins.value.BindBlob(4, name);
      ins.value.Bind(5, keys[e]);
      ins.value.BindBlob(6, v);
      ins.value.Bind(7, id);
      if (!Done(ins.value)) return false;
      ins.search.Add(id, v);
    }
  }
  std::int64_t position = 0;
  for (const ItemAttachment& a : r.attachmentFiles) {
    const std::string bytes = AttachmentBytes(a);
    Sha256Digest d;
    if (!Sha256OfBytes(bytes, &d)) return false;
    ins.attachment.Bind(1, static_cast<std::int64_t>(n));
    ins.attachment.Bind(2, ++position);
    ins.attachment.BindBlob(3, a.name);
    ins.attachment.Bind(4, SearchTextFromShiftJis(a.name));
    ins.attachment.Bind(5, static_cast<std::int64_t>(bytes.size()));
    ins.attachment.Bind(6, HexDigest(d));
    ins.attachment.Bind(7, TypeByContent(bytes));
    if (!Done(ins.attachment)) return false;
  }
  return true;
}

CaseBuildResult Failure(CaseFile& c, CaseBuildResult result) {
  result.status = c.IsBusyError() ? CaseBuildStatus::Busy : CaseBuildStatus::Failed;
  if (result.error.empty()) result.error = c.LastError();
  c.Exec("ROLLBACK");
  return result;
}

}  // namespace

std::string TypeByContent(const std::string& b) {
  struct Magic {
    std::size_t at;
    std::string_view bytes;
    const char* type;
  };
  static const Magic kMagic[] = {
      {0, "\xFF\xD8\xFF", "image/jpeg"},   {0, "\x89PNG\r\n\x1A\n", "image/png"},
      {0, "GIF87a", "image/gif"},          {0, "GIF89a", "image/gif"},
      {0, "BM", "image/bmp"},              {0, "%PDF-", "application/pdf"},
      {0, "PK\x03\x04", "application/zip"}, {4, "ftyp3g", "video/3gpp"},
      {4, "ftyp", "video/mp4"},            {0, "RIFF", "audio/wav"},
      {0, "#!AMR", "audio/amr"},           {0, "MThd", "audio/midi"},
      {0, "BEGIN:VCARD", "text/vcard"},    {0, "BEGIN:VCALENDAR", "text/calendar"},
  };
  for (const Magic& m : kMagic) {
    if (b.size() >= m.at + m.bytes.size() && std::string_view(b).substr(m.at, m.bytes.size()) == m.bytes) {
      return m.type;
    }
  }
  if (b.empty()) return "application/octet-stream";
  for (unsigned char c : b) {
    if (c < 0x20 && c != '\t' && c != '\r' && c != '\n' && c != 0x1B) return "application/octet-stream";
  }
  return "text/plain";
}

std::string FieldKey(const std::string& utf8Name) {
  std::string key = ValidUtf8(utf8Name);
  for (char& ch : key) {
    if (ch >= 'A' && ch <= 'Z') ch = static_cast<char>(ch + 0x20);
  }
  const std::size_t first = key.find_first_not_of(" \t");
  if (first == std::string::npos) return std::string();
  return key.substr(first, key.find_last_not_of(" \t") - first + 1);
}

CaseBuildResult BuildCase(CaseFile& c, Workspace& ws, const CaseBuildInput& input) {
  CaseBuildResult result;
  std::string indexSum;
  for (const CaseEvidence& e : input.evidence) {
    if (e.role == "index") indexSum = e.sha256;
  }
  if (!c.Exec("BEGIN IMMEDIATE")) return Failure(c, result);
  if (c.Built()) {
    for (const CaseEvidence& e : c.Evidence()) {
      if (e.role == "index" && e.sha256 != indexSum) {
        c.Exec("ROLLBACK");
        result.status = CaseBuildStatus::OtherEvidence;
        return result;
      }
    }
  }
  // Everything but the tags is made again.
  if (!c.DropBuiltIndexes() || !c.Exec("DELETE FROM search_terms; DELETE FROM records; DELETE FROM entry_values; DELETE FROM attachments; "
              "DELETE FROM evidence; DELETE FROM case_info; DELETE FROM coverage")) {
    return Failure(c, result);
  }
  std::vector<std::string> keys;
  for (const TagDefinition& e : ws.extraction.entries) keys.push_back(FieldKey(SearchTextFromShiftJis(e.name)));
  {
    Inserts ins(c.db());
    if (!ins.ok()) return Failure(c, result);
    const int32_t count = ws.index.count;
    std::string valuesPerRecord;
    for (int32_t n = 1; n <= count; ++n) {
      std::uint64_t values = 0;
      if (!StoreRecord(ins, ws, n, keys, input, &result, &values)) return Failure(c, result);
      AppendLeb128(&valuesPerRecord, values);
      ++result.records;
      if (input.progress) input.progress(n, count);
    }
    Statement ev(c.db(), "INSERT INTO evidence(role, path, size, sha256) VALUES(?1,?2,?3,?4)");
    for (const CaseEvidence& e : input.evidence) {
      ev.Bind(1, e.role);
      ev.Bind(2, e.path);
      ev.Bind(3, static_cast<std::int64_t>(e.size));
      ev.Bind(4, e.sha256);
      if (!Done(ev)) return Failure(c, result);
    }
    Statement info(c.db(), "INSERT INTO case_info(key, value) VALUES(?1, ?2)");
    const std::pair<const char*, std::string> kInfo[] = {
        {"state", "built"},
        {"built_at", UtcNow()},
        {"assumed_zone", OffsetText(input.assumedOffsetMinutes)},
    };
    for (const auto& kv : kInfo) {
      info.Bind(1, kv.first);
      info.Bind(2, kv.second);
      if (!Done(info)) return Failure(c, result);
    }
    info.Bind(1, kValuesPerRecordKey);
    info.BindBlob(2, valuesPerRecord);
    if (!Done(info) || !ins.search.Write(c.db(), &result.error) || !c.MakeBuiltIndexes()) return Failure(c, result);
  }
  if (!c.Exec("COMMIT")) {
    return Failure(c, result);
  }
  result.status = CaseBuildStatus::Built;
  return result;
}

}  // namespace tanavo
