// The case file over 2500 generated mails of about 20 KiB (mail_dump.h),
// every second one with a photo: tanavo-cli case against tanavo-cli index
// followed by the full decoding of every mail (the work a case cannot do
// without), searches of two-character Japanese words and a Latin word (hits
// as a counter), and the case file's size against the decoded text it holds.
// The same searches by grep over the export's UTF-8 records.tsv and by
// SQLite's own trigram tokenizer, and searches over 100,000 short mails of
// Japanese words. tanavo-cli case makes the search index on a second thread
// while it renders the records: its Time is what the examiner waits for, its
// CPU the calling thread's alone. One run:
//   tanavo_bench --benchmark_filter='BM_(IndexCommand|DecodeEvery|CaseCommand|Search|Grep|Trigram|ListHitsMany)'
#include <benchmark/benchmark.h>
#include <sqlite3.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <set>
#include <string>

#include "case/case_file.h"
#include "case/case_search.h"
#include "case/case_view.h"
#include "case/search_tokens.h"
#include "cli/cli.h"
#include "display/render.h"
#include "dispset/kdp_file.h"
#include "extract/kta_file.h"
#include "files/extraction_file.h"
#include "mail_dump.h"
#include "platform/charset.h"
#include "platform/console/console_platform.h"
#include "platform/fake/fake_platform.h"

namespace tanavo {
namespace {

namespace fs = std::filesystem;

constexpr int kCaseRecords = 2500;

void WriteAll(const fs::path& p, const std::string& bytes) { std::ofstream(p, std::ios::binary) << bytes; }

int Cli(const std::vector<std::string>& args) {
  std::string out, err;
  return RunCli(args, nullptr, &out, &err);
}

// A folder of the benchmark's files, made empty and removed when the
// program ends: each run writes a few hundred MiB.
struct BenchFolder {
  explicit BenchFolder(const std::string& name)
      : path(fs::temp_directory_path() / (name + "_" + std::to_string(getpid()))) {
    fs::remove_all(path);
    fs::create_directories(path);
  }
  ~BenchFolder() {
    std::error_code ignored;
    fs::remove_all(path, ignored);
  }
  fs::path path;
};

// The dump, its settings, its index and a built case in a folder of their own.
fs::path Evidence() {
  static const BenchFolder folder("tanavo_case_bench");
  static const fs::path dir = [] {
    const fs::path d = folder.path;
    FakePlatform platform;
    Workspace app(platform);
    MailSettings(app);
    app.display.layoutText = "??Date??\r\n??From??\r\n??Subject??\r\n\r\n??Body??\r\n";
    WriteAll(d / "mail.dat", MailDump(kCaseRecords, 2));
    std::string kta;
    for (int i = 0; i < UsedCount(app.extraction); ++i) kta += EncodeEntry(app.extraction.entries[i]);
    WriteAll(d / "mail.kta", kta);
    WriteAll(d / "mail.kdp", BuildDisplaySettingsFile(app.display.listLineTemplate, app.display.layoutText));
    Cli({"index", (d / "mail.dat").string(), (d / "mail.kta").string(), (d / "mail.kdp").string(),
         (d / "mail.ini").string()});
    Cli({"case", (d / "mail.ini").string(), (d / "search.tcase").string()});
    return d;
  }();
  return dir;
}

void BM_IndexCommand(benchmark::State& state) {
  const fs::path d = Evidence();
  for (auto _ : state) {
    Cli({"index", (d / "mail.dat").string(), (d / "mail.kta").string(), (d / "mail.kdp").string(),
         (d / "again.ini").string()});
  }
}
BENCHMARK(BM_IndexCommand)->Unit(benchmark::kMillisecond)->Iterations(1);

// tanavo-cli index, then every record decoded whole as the data display
// shows it: what a case costs before it stores anything.
void BM_DecodeEveryRecord(benchmark::State& state) {
  const fs::path d = Evidence();
  std::size_t bytes = 0;
  for (auto _ : state) {
    Cli({"index", (d / "mail.dat").string(), (d / "mail.kta").string(), (d / "mail.kdp").string(),
         (d / "again.ini").string()});
    CliContext ctx;
    ConsolePlatform platform(&ctx.err);
    ctx.platform = &platform;
    Workspace ws(platform);
    if (LoadIndexForCli(ws, (d / "again.ini").string()) != IndexFileStatus::Done) {
      state.SkipWithError("the index did not load");
      return;
    }
    bytes = 0;
    for (int n = 1; n <= ws.index.count; ++n) {
      const RenderedRecord r = RenderRecord(ws, n, nullptr, RenderValues::Collect);
      for (const auto& values : r.values) {
        for (const std::string& v : values) bytes += v.size();
      }
    }
  }
  state.counters["decoded_MiB"] = static_cast<double>(bytes) / (1 << 20);
}
BENCHMARK(BM_DecodeEveryRecord)->Unit(benchmark::kMillisecond)->Iterations(1);

void BM_CaseCommand(benchmark::State& state) {
  const fs::path d = Evidence();
  const fs::path c = d / "built.tcase";
  int code = 0;
  for (auto _ : state) {
    state.PauseTiming();
    for (const char* end : {"", "-wal", "-shm"}) fs::remove(c.string() + end);
    state.ResumeTiming();
    code = Cli({"case", (d / "mail.ini").string(), c.string()});
  }
  // The case's size against the decoded text it holds (Shift_JIS bytes).
  std::unique_ptr<CaseFile> cf;
  if (code != 0 || CaseFile::Open(c.string(), false, &cf) != CaseOpenStatus::Ok) {
    state.SkipWithError("the case was not built");
    return;
  }
  Statement s(cf->db(), "SELECT sum(length(value)) FROM entry_values");
  const double text = s.Step() == 100 ? static_cast<double>(s.Int(0)) : 0;  // SQLITE_ROW
  cf->Exec("PRAGMA wal_checkpoint(TRUNCATE)");
  const double size = static_cast<double>(fs::file_size(c));
  state.counters["decoded_MiB"] = text / (1 << 20);
  state.counters["case_MiB"] = size / (1 << 20);
  state.counters["case_per_text"] = text > 0 ? size / text : 0;
}
BENCHMARK(BM_CaseCommand)->Unit(benchmark::kMillisecond)->Iterations(1);

// One query searched over and over in the case at path, its hits counted.
void SearchIn(benchmark::State& state, const fs::path& path, const char* query) {
  std::unique_ptr<CaseFile> c;
  if (CaseFile::Open(path.string(), false, &c) != CaseOpenStatus::Ok) {
    state.SkipWithError("no case");
    return;
  }
  std::size_t hits = 0;
  for (auto _ : state) {
    const SearchResult r = SearchCase(*c, query, false);
    hits = r.hits.size();
    benchmark::DoNotOptimize(hits);
  }
  state.counters["hits"] = static_cast<double>(hits);
}

void BM_Search(benchmark::State& state, const char* query) {
  SearchIn(state, Evidence() / "search.tcase", query);
}
BENCHMARK_CAPTURE(BM_Search, kana_pair, u8"かき")->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly(true);
BENCHMARK_CAPTURE(BM_Search, rare_pair, u8"ぁゎ")->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly(true);
BENCHMARK_CAPTURE(BM_Search, one_kana, u8"ゐ")->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly(true);
BENCHMARK_CAPTURE(BM_Search, phrase, u8"あいう")->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly(true);
BENCHMARK_CAPTURE(BM_Search, latin, "user42")->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly(true);

// The obvious way without a case: grep over the UTF-8 records.tsv of an
// export, a whole process each time; hits are the lines (records) it counts.
int GrepCount(const fs::path& tsv, const char* word) {
  const fs::path out = tsv.parent_path() / "grep.out";
  const std::string command = std::string("grep -c -F '") + word + "' '" + tsv.string() + "' > '" + out.string() + "'";
  if (std::system(command.c_str()) < 0) return -1;
  std::ifstream in(out);
  int n = -1;
  in >> n;
  return n;
}

fs::path ExportedTable() {
  static const fs::path tsv = [] {
    const fs::path d = Evidence();
    fs::remove_all(d / "export");
    Cli({"export", (d / "mail.ini").string(), (d / "export").string()});
    return d / "export" / "records.tsv";
  }();
  return tsv;
}

void BM_Grep(benchmark::State& state, const char* word) {
  const fs::path tsv = ExportedTable();
  int hits = 0;
  for (auto _ : state) hits = GrepCount(tsv, word);
  state.counters["hits"] = hits;
}
BENCHMARK_CAPTURE(BM_Grep, kana_pair, u8"かき")->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly(true);
BENCHMARK_CAPTURE(BM_Grep, rare_pair, u8"ぁゎ")->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly(true);

// SQLite's own trigram tokenizer over the same UTF-8 texts, in memory: a
// word must have three characters to be looked up, so a two-character
// query finds nothing through the index.
struct TrigramIndex {
  sqlite3* db = nullptr;
  ~TrigramIndex() { sqlite3_close(db); }
};

TrigramIndex& Trigrams() {
  static TrigramIndex t = [] {
    TrigramIndex made;
    std::unique_ptr<CaseFile> c;
    if (CaseFile::Open((Evidence() / "search.tcase").string(), false, &c) != CaseOpenStatus::Ok) return made;
    sqlite3_open(":memory:", &made.db);
    sqlite3_exec(made.db, "CREATE VIRTUAL TABLE t USING fts5(text, record UNINDEXED, tokenize='trigram')", nullptr,
                 nullptr, nullptr);
    sqlite3_exec(made.db, "BEGIN", nullptr, nullptr, nullptr);
    Statement in(made.db, "INSERT INTO t(text, record) VALUES(?1, ?2)");
    Statement values(c->db(), "SELECT value, record FROM entry_values");
    while (values.Step() == SQLITE_ROW) {
      in.Bind(1, SearchTextFromShiftJis(values.Text(0)));
      in.Bind(2, values.Int(1));
      in.Step();
      in.Reset();
    }
    sqlite3_exec(made.db, "COMMIT", nullptr, nullptr, nullptr);
    return made;
  }();
  return t;
}

void BM_Trigram(benchmark::State& state, const char* word) {
  TrigramIndex& t = Trigrams();
  std::int64_t hits = 0;
  for (auto _ : state) {
    Statement s(t.db, std::string("SELECT count(DISTINCT record) FROM t WHERE t MATCH '\"") + word + "\"'");
    hits = s.Step() == SQLITE_ROW ? s.Int(0) : -1;
  }
  state.counters["hits"] = static_cast<double>(hits);
}
BENCHMARK_CAPTURE(BM_Trigram, kana_pair, u8"かき")->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly(true);
BENCHMARK_CAPTURE(BM_Trigram, phrase, u8"あいう")->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly(true);

// 100,000 short mails in Shift_JIS, subject and body made of everyday words
// in a random order, so that two-character words have hits of every size.
constexpr int kManyRecords = 100000;
constexpr int kBodyWords = 24;

std::string ManyMailsDump() {
  static const char* const kWords[] = {u8"会議", u8"予定", u8"明日", u8"駅で", u8"電話", u8"写真", u8"返信",
                                       u8"お願いします", u8"了解", u8"今日は", u8"東京", u8"待ち合わせ",
                                       u8"ありがとう", u8"遅れます", u8"メール", u8"ごめんね", u8"資料",
                                       u8"確認", u8"週末", u8"ランチ", u8"、", u8"。"};
  constexpr std::size_t kCount = sizeof kWords / sizeof kWords[0];
  std::string sjis[kCount];
  for (std::size_t i = 0; i < kCount; ++i) {
    CharsetResult r;
    SystemCharsetConverter().ToShiftJis("UTF-8", kWords[i], &r);
    sjis[i] = r.text;
  }
  std::string file;
  std::uint32_t seed = 12345;
  auto word = [&] {
    seed = seed * 1664525u + 1013904223u;
    return sjis[(seed >> 16) % kCount];
  };
  for (int m = 1; m <= kManyRecords; ++m) {
    file += "BEGIN:MAIL\r\nDate: 2008/" + std::to_string(1 + m % 12) + "/" + std::to_string(1 + m % 28) +
            " 12:30\r\nFrom: user" + std::to_string(m % 997) + "@example.jp\r\nSubject: " + word() + word() +
            "\r\nContent-Type: text/plain; charset=Shift_JIS\r\nContent-Transfer-Encoding: 8bit\r\n\r\n";
    for (int w = 0; w < kBodyWords; ++w) file += word();
    file += "\r\nEND:MAIL\r\n";
  }
  return file;
}

fs::path ManyEvidence() {
  static const BenchFolder folder("tanavo_case_bench_many");
  static const fs::path dir = [] {
    const fs::path d = folder.path;
    FakePlatform platform;
    Workspace app(platform);
    MailSettings(app);
    app.display.layoutText = "??Date??\r\n??From??\r\n??Subject??\r\n\r\n??Body??\r\n";
    WriteAll(d / "many.dat", ManyMailsDump());
    std::string kta;
    for (int i = 0; i < UsedCount(app.extraction); ++i) kta += EncodeEntry(app.extraction.entries[i]);
    WriteAll(d / "many.kta", kta);
    WriteAll(d / "many.kdp", BuildDisplaySettingsFile(app.display.listLineTemplate, app.display.layoutText));
    Cli({"index", "--max-records", "all", (d / "many.dat").string(), (d / "many.kta").string(),
         (d / "many.kdp").string(), (d / "many.ini").string()});
    Cli({"case", (d / "many.ini").string(), (d / "many.tcase").string()});
    return d;
  }();
  return dir;
}

void BM_SearchMany(benchmark::State& state, const char* query) {
  SearchIn(state, ManyEvidence() / "many.tcase", query);
}
BENCHMARK_CAPTURE(BM_SearchMany, kaigi, u8"会議")->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly(true);
BENCHMARK_CAPTURE(BM_SearchMany, yotei, u8"予定")->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly(true);
BENCHMARK_CAPTURE(BM_SearchMany, subject_phrase, u8"subject:\"会議予定\"")->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly(true);
BENCHMARK_CAPTURE(BM_SearchMany, rare_and, u8"東京 ランチ 遅れます 写真")->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly(true);
// What the data display waits for: the numbers of the records hit, in the
// list's order (the list lines are the index's, already in memory).
void BM_ListHitsMany(benchmark::State& state, const char* query) {
  std::unique_ptr<CaseFile> c;
  if (CaseFile::Open((ManyEvidence() / "many.tcase").string(), false, &c) != CaseOpenStatus::Ok) {
    state.SkipWithError("no case");
    return;
  }
  RecordView view;
  view.queryUtf8 = query;
  std::size_t hits = 0;
  for (auto _ : state) {
    const RecordOrder r = OrderRecords(*c, view);
    hits = r.numbers.size();
    benchmark::DoNotOptimize(hits);
  }
  state.counters["hits"] = static_cast<double>(hits);
}
BENCHMARK_CAPTURE(BM_ListHitsMany, kaigi, u8"会議")->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly(true);
BENCHMARK_CAPTURE(BM_ListHitsMany, yotei, u8"予定")->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly(true);

}  // namespace
}  // namespace tanavo
