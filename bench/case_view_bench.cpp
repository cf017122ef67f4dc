// What the data display lists of a case at a million records: the order
// vector of a sort by time, by sender and by number, and of the tagged
// records, each one query. The records are written straight into a case
// (their values and times, no search index): the sorts read only those.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <memory>
#include <random>
#include <string>

#include "case/case_file.h"
#include "case/case_view.h"

namespace tanavo {
namespace {

namespace fs = std::filesystem;

constexpr int kViewRecords = 1000000;

CaseFile& MillionCase() {
  static std::unique_ptr<CaseFile> c = [] {
    const fs::path p = fs::temp_directory_path() / ("tanavo_view_bench_" + std::to_string(getpid()) + ".tcase");
    for (const char* end : {"", "-wal", "-shm"}) fs::remove(p.string() + end);
    std::unique_ptr<CaseFile> cf;
    if (CaseFile::Open(p.string(), true, &cf) != CaseOpenStatus::Ok) return cf;
    std::mt19937 random(31);
    cf->Exec("BEGIN");
    Statement rec(cf->db(), "INSERT INTO records(number, offset, length, found, list_line, time_utc) VALUES(?1,?2,1,1,?3,?4)");
    Statement from(cf->db(), "INSERT INTO entry_values(record, entry, occurrence, name, name_key, value) "
                             "VALUES(?1, 2, 1, 'From', 'from', ?2)");
    Statement tag(cf->db(), "INSERT INTO tags(record, label, note, made) VALUES(?1, 'x', '', '')");
    char time[32];
    for (int n = 1; n <= kViewRecords; ++n) {
      rec.Bind(1, static_cast<std::int64_t>(n));
      rec.Bind(2, static_cast<std::int64_t>(n) * 300);
      rec.BindBlob(3, "line " + std::to_string(n));
      std::snprintf(time, sizeof time, "20%02u-%02u-%02uT%02u:%02u:00Z", static_cast<unsigned>(random() % 20),
                    static_cast<unsigned>(random() % 12 + 1), static_cast<unsigned>(random() % 28 + 1),
                    static_cast<unsigned>(random() % 24), static_cast<unsigned>(random() % 60));
      if (n % 10 != 0) rec.Bind(4, std::string(time));
      rec.Step();
      rec.Reset();
      from.Bind(1, static_cast<std::int64_t>(n));
      from.BindBlob(2, "user" + std::to_string(random() % 50000) + "@example.jp");
      from.Step();
      from.Reset();
      if (n % 1000 == 0) {
        tag.Bind(1, static_cast<std::int64_t>(n));
        tag.Step();
        tag.Reset();
      }
    }
    cf->Exec("COMMIT");
    return cf;
  }();
  return *c;
}

void BM_OrderRecords(benchmark::State& state, RecordSort sort, bool taggedOnly) {
  CaseFile& c = MillionCase();
  RecordView view;
  view.sort = sort;
  view.taggedOnly = taggedOnly;
  std::size_t rows = 0;
  for (auto _ : state) {
    const RecordOrder o = OrderRecords(c, view);
    rows = o.numbers.size();
    benchmark::DoNotOptimize(rows);
  }
  state.counters["rows"] = static_cast<double>(rows);
}
BENCHMARK_CAPTURE(BM_OrderRecords, number, RecordSort::Number, false)->Unit(benchmark::kMillisecond)->Repetitions(3)->ReportAggregatesOnly(true);
BENCHMARK_CAPTURE(BM_OrderRecords, time, RecordSort::Time, false)->Unit(benchmark::kMillisecond)->Repetitions(3)->ReportAggregatesOnly(true);
BENCHMARK_CAPTURE(BM_OrderRecords, sender, RecordSort::Sender, false)->Unit(benchmark::kMillisecond)->Repetitions(3)->ReportAggregatesOnly(true);
BENCHMARK_CAPTURE(BM_OrderRecords, tagged, RecordSort::Number, true)->Unit(benchmark::kMillisecond)->Repetitions(3)->ReportAggregatesOnly(true);

}  // namespace
}  // namespace tanavo
