// The case file over 2500 generated mails of about 20 KiB (mail_dump.h),
// every second one with a photo: tanavo-cli case against tanavo-cli index
// (both decode every mail whole), searches of two-character Japanese words
// and a Latin word (hits as a counter), and the case file's size against the
// decoded text it holds.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <memory>
#include <string>

#include "case/case_file.h"
#include "case/case_search.h"
#include "cli/cli.h"
#include "dispset/kdp_file.h"
#include "extract/kta_file.h"
#include "files/extraction_file.h"
#include "mail_dump.h"
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

// The dump, its settings, its index and a built case in a folder of their own.
fs::path Evidence() {
  static const fs::path dir = [] {
    const fs::path d = fs::temp_directory_path() / ("tanavo_case_bench_" + std::to_string(getpid()));
    fs::remove_all(d);
    fs::create_directories(d);
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

void BM_Search(benchmark::State& state, const char* query) {
  const fs::path d = Evidence();
  std::unique_ptr<CaseFile> c;
  if (CaseFile::Open((d / "search.tcase").string(), false, &c) != CaseOpenStatus::Ok) {
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
BENCHMARK_CAPTURE(BM_Search, kana_pair, u8"かき")->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly(true);
BENCHMARK_CAPTURE(BM_Search, rare_pair, u8"ぁゎ")->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly(true);
BENCHMARK_CAPTURE(BM_Search, one_kana, u8"ゐ")->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly(true);
BENCHMARK_CAPTURE(BM_Search, phrase, u8"あいう")->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly(true);
BENCHMARK_CAPTURE(BM_Search, latin, "user42")->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly(true);

}  // namespace
}  // namespace tanavo
