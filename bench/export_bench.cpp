// tanavo-cli export of 2500 generated mails of about 20 KiB (mail_dump.h),
// every second one with a 16 KiB photo, into a fresh folder on disk: the
// whole export, and how its time splits between rendering, attachments,
// hashing, the table and report, and writing (each a share of the whole).
#include <benchmark/benchmark.h>
#include <sys/resource.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "cli/cli.h"
#include "cli/cmd_export.h"
#include "dispset/kdp_file.h"
#include "files/display_file.h"
#include "extract/kta_file.h"
#include "files/extraction_file.h"
#include "index/index_file.h"
#include "mail_dump.h"
#include "platform/fake/fake_platform.h"

namespace tanavo {
namespace {

namespace fs = std::filesystem;

constexpr int kExportRecords = 2500;
constexpr int kAttachmentEvery = 2;

void WriteAll(const fs::path& p, const std::string& bytes) { std::ofstream(p, std::ios::binary) << bytes; }

// The settings of the working data as stem.kta and stem.kdp in d.
void WriteSettings(const fs::path& d, const std::string& stem, const Workspace& ws) {
  std::string kta;
  for (int i = 0; i < UsedCount(ws.extraction); ++i) kta += EncodeEntry(ws.extraction.entries[i]);
  WriteAll(d / (stem + ".kta"), kta);
  WriteAll(d / (stem + ".kdp"), BuildDisplaySettingsFile(ws.display.listLineTemplate, ws.display.layoutText));
}

// The dump, its settings and its index in a folder of their own.
fs::path Evidence() {
  static const fs::path dir = [] {
    const fs::path d = fs::temp_directory_path() / ("tanavo_export_bench_" + std::to_string(getpid()));
    fs::remove_all(d);
    fs::create_directories(d);
    FakePlatform platform;
    Workspace app(platform);
    MailSettings(app);
    app.display.layoutText = "日付　: ??Date??\r\n差出人: ??From??\r\n件名　: ??Subject??\r\n\r\n??Body??\r\n";
    WriteAll(d / "mail.dat", MailDump(kExportRecords, kAttachmentEvery));
    WriteSettings(d, "mail", app);
    std::string out, err;
    RunCli({"index", (d / "mail.dat").string(), (d / "mail.kta").string(), (d / "mail.kdp").string(),
            (d / "mail.ini").string()},
           nullptr, &out, &err);
    return d;
  }();
  return dir;
}

void BM_Export(benchmark::State& state) {
  const fs::path dir = Evidence();
  const fs::path outDir = dir / "out";
  ExportTimes sum, t;
  int code = kExitOk;
  for (auto _ : state) {
    state.PauseTiming();
    fs::remove_all(outDir);
    state.ResumeTiming();
    CliContext ctx;
    ConsolePlatform platform(&ctx.err);
    ctx.platform = &platform;
    code = ExportIndex(ctx, (dir / "mail.ini").string(), outDir.string(), &t);
    sum.rendering += t.rendering;
    sum.attachments += t.attachments;
    sum.hashing += t.hashing;
    sum.tables += t.tables;
    sum.writing += t.writing;
    sum.total += t.total;
  }
  if (code != kExitOk || t.records != kExportRecords || t.attachmentFiles != kExportRecords / kAttachmentEvery) {
    state.SkipWithError("the export did not write every record and attachment");
  }
  const double n = static_cast<double>(state.iterations());
  state.counters["records"] = t.records;
  state.counters["s_total"] = sum.total / n;
  state.counters["s_render"] = sum.rendering / n;
  state.counters["s_attach"] = sum.attachments / n;
  state.counters["s_hash"] = sum.hashing / n;
  state.counters["s_tables"] = sum.tables / n;
  state.counters["s_write"] = sum.writing / n;
  state.counters["mobile_MiB"] = static_cast<double>(fs::file_size(dir / "mail.dat")) / (1024.0 * 1024.0);
  fs::remove_all(dir);
}
BENCHMARK(BM_Export)->Iterations(3)->Unit(benchmark::kMillisecond);

constexpr std::size_t kControlBytes = 8 * 1024;

// Every entry of a full index pointing at one record whose body is control
// bytes, which the report escapes into many times their size: the export's
// memory must not grow with what it writes. peak_RSS_MiB is the process's
// peak, its own when run alone:
//   tanavo_bench --benchmark_filter=BM_ExportOneRecordIndexedFully
void BM_ExportOneRecordIndexedFully(benchmark::State& state) {
  const fs::path d = fs::temp_directory_path() / ("tanavo_export_bench_hostile_" + std::to_string(getpid()));
  fs::remove_all(d);
  fs::create_directories(d);
  FakePlatform platform;
  Workspace app(platform);
  MailSettings(app);
  app.display.layoutText = "??Subject??\r\n??Body??\r\n";
  std::string record = "BEGIN:MAIL\r\nDate: x\r\nFrom: y\r\nSubject: z\r\n"
                       "Content-Type: text/plain; charset=Shift_JIS\r\nContent-Transfer-Encoding: 8bit\r\n\r\n";
  for (std::size_t i = 0; i < kControlBytes; ++i) record.push_back(i % 2 ? '\x7f' : '\x01');
  record += "\r\nEND:MAIL\r\n";
  WriteAll(d / "m.dat", record);
  WriteSettings(d, "m", app);
  RecordIndex index;
  index.count = kIndexSlots;
  for (int n = 1; n <= kIndexSlots; ++n) {
    index.positions[static_cast<std::size_t>(n)] = 1;
    index.lines[static_cast<std::size_t>(n)] = "z";
  }
  WriteAll(d / "m.ini",
           BuildIndexFileText({(d / "m.dat").string(), (d / "m.kta").string(), (d / "m.kdp").string()}, index));
  ExportTimes t;
  int code = kExitOk;
  for (auto _ : state) {
    state.PauseTiming();
    fs::remove_all(d / "out");
    state.ResumeTiming();
    CliContext ctx;
    ConsolePlatform console(&ctx.err);
    ctx.platform = &console;
    code = ExportIndex(ctx, (d / "m.ini").string(), (d / "out").string(), &t);
  }
  if (code != kExitOk || t.records != kIndexSlots) state.SkipWithError("the export did not write every record");
  struct rusage usage {};
  getrusage(RUSAGE_SELF, &usage);
  state.counters["peak_RSS_MiB"] = static_cast<double>(usage.ru_maxrss) / 1024.0;
  // The index page and its pages of records.
  std::uintmax_t report = fs::file_size(d / "out" / "report.html");
  for (const auto& page : fs::directory_iterator(d / "out" / "report")) report += page.file_size();
  state.counters["report_MiB"] = static_cast<double>(report) / (1024.0 * 1024.0);
  fs::remove_all(d);
}
BENCHMARK(BM_ExportOneRecordIndexedFully)->Iterations(1)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace tanavo
