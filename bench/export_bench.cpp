// tanavo-cli export of 2500 generated mails of about 20 KiB (mail_dump.h),
// every second one with a 16 KiB photo, into a fresh folder on disk: the
// whole export, and how its time splits between rendering, attachments,
// hashing, the table and report, and writing (each a share of the whole).
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "cli/cli.h"
#include "cli/export.h"
#include "dispset/kdp_file.h"
#include "extract/kta_file.h"
#include "mail_dump.h"
#include "platform/fake/fake_platform.h"

namespace tanavo {
namespace {

namespace fs = std::filesystem;

constexpr int kExportRecords = 2500;
constexpr int kAttachmentEvery = 2;

void WriteAll(const fs::path& p, const std::string& bytes) { std::ofstream(p, std::ios::binary) << bytes; }

// The dump, its settings and its index in a folder of their own.
fs::path Evidence() {
  static const fs::path dir = [] {
    const fs::path d = fs::temp_directory_path() / ("tanavo_export_bench_" + std::to_string(getpid()));
    fs::remove_all(d);
    fs::create_directories(d);
    FakePlatform platform;
    App app(platform);
    app.Start();
    MailSettings(app);
    app.display.layoutText = "日付　: ??Date??\r\n差出人: ??From??\r\n件名　: ??Subject??\r\n\r\n??Body??\r\n";
    WriteAll(d / "mail.dat", MailDump(kExportRecords, kAttachmentEvery));
    std::string kta;
    for (int i = 0; i < UsedCount(app.extraction); ++i) kta += EncodeEntry(app.extraction.entries[i]);
    WriteAll(d / "mail.kta", kta);
    WriteAll(d / "mail.kdp", BuildDisplaySettingsFile(app.display.listLineTemplate, app.display.layoutText));
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

}  // namespace
}  // namespace tanavo
