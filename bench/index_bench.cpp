// Index creation and the index file on a generated dump of phone mail
// (mail_dump.h): Date, From and Subject named in the list line, a Base64 body
// that the list line does not name. Index creation is timed against the bare
// record walk over the same file in the same run ("x_walk"); "ns_per_byte"
// stays flat when time is linear in the file size. Creation counts the
// coverage from the records it finds: "coverage_share" is what that adds (a
// CoverageWalk handed the same records) against the creation's time;
// "coverage_alone_share" is the coverage counted on its own (ComputeCoverage,
// with a D_SET walk of its own, as export counts it).
#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdint>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "codec/codec.h"
#include "engine/tag_match.h"
#include "engine/walk.h"
#include "index/coverage.h"
#include "index/index_creation.h"
#include "index/index_file.h"
#include "mail_dump.h"
#include "platform/fake/fake_platform.h"

namespace tanavo {
namespace {

constexpr int kIndexFileRecords = 2500;

double Seconds(std::chrono::steady_clock::duration d) { return std::chrono::duration<double>(d).count(); }

const std::string& Dump(int mails, bool sms = false) {
  static std::map<std::pair<int, bool>, std::string> dumps;
  std::string& d = dumps[{mails, sms}];
  if (d.empty()) d = sms ? SmsDump(mails) : MailDump(mails);
  return d;
}

void CreateIndexOf(benchmark::State& state, bool sms) {
  const int mails = static_cast<int>(state.range(0));
  FakePlatform platform;
  Workspace app(platform);
  app.state.mobileFile = Dump(mails, sms);
  MailSettings(app);
  SetRecordCapacity(app.index, kAllRecords);
  double createTotal = 0, walkTotal = 0, coverageTotal = 0, besideTotal = 0;
  for (auto _ : state) {
    auto t0 = std::chrono::steady_clock::now();
    CreateIndex(app);
    auto t1 = std::chrono::steady_clock::now();
    // The bare walk: every entry of every record, no hook.
    ResetLastEnd(app.walk);
    int walked = 0;
    for (int32_t from = 1;;) {
      WalkResult r = WalkRecord(app.extraction, app.stack, app.walk, 0, from, WalkHooks{});
      if (!r.recordFound) break;
      ++walked;
      from = r.record.end + 1;
    }
    auto t2 = std::chrono::steady_clock::now();
    const Coverage coverage = ComputeCoverage(app.state.mobileFile, app.extraction, app.index);
    auto t3 = std::chrono::steady_clock::now();
    benchmark::DoNotOptimize(coverage);
    // What creation adds for the coverage: each record handed over as soon
    // as it is found (its range found untimed, so its bytes are as fresh in
    // the cache as in creation), then the end of the file.
    const TagDefinition& e = app.extraction.entries[0];
    CoverageWalk walk(app.state.mobileFile, app.extraction, app.index);
    std::chrono::steady_clock::duration beside{};
    for (int32_t from = 1;;) {
      const TagMatch m = ExtractBetweenTags(app.state.mobileFile, e.rangeStartTag, e.rangeEndTag, from, e.lineEnd,
                                            e.nextLineHead, ExtractMode::PositionsOnly);
      if (m.status != MatchStatus::Found || m.end < m.start) break;
      const auto t4 = std::chrono::steady_clock::now();
      walk.TakeIndexed(m.start, m.end);
      beside += std::chrono::steady_clock::now() - t4;
      from = m.end + 1;
    }
    const auto t4 = std::chrono::steady_clock::now();
    const Coverage counted = walk.Finish();
    const auto t5 = std::chrono::steady_clock::now();
    beside += t5 - t4;
    benchmark::DoNotOptimize(counted);
    if (counted.recordsFound != mails) state.SkipWithError("the coverage beside creation is not whole");
    besideTotal += Seconds(beside);
    if (app.index.count != mails || walked != mails) state.SkipWithError("not every mail was indexed");
    if (coverage.recordsFound != mails || !coverage.findings.empty()) state.SkipWithError("the coverage is not whole");
    createTotal += Seconds(t1 - t0);
    walkTotal += Seconds(t2 - t1);
    coverageTotal += Seconds(t3 - t2);
    state.SetIterationTime(Seconds(t1 - t0));
  }
  if (!platform.boxes.empty()) state.SkipWithError("a warning was shown");
  const double bytes = static_cast<double>(app.state.mobileFile.size());
  state.counters["file_MiB"] = bytes / (1024.0 * 1024.0);
  state.counters["x_walk"] = walkTotal > 0 ? createTotal / walkTotal : 0;
  state.counters["coverage_share"] = createTotal > 0 ? besideTotal / createTotal : 0;
  state.counters["coverage_alone_share"] = createTotal > 0 ? coverageTotal / createTotal : 0;
  state.counters["ns_per_byte"] = createTotal * 1e9 / (bytes * static_cast<double>(state.iterations()));
}
void BM_CreateIndex(benchmark::State& state) { CreateIndexOf(state, false); }
BENCHMARK(BM_CreateIndex)->Arg(625)->Arg(1250)->Arg(2500)->UseManualTime()->Unit(benchmark::kMillisecond);

// Short records past the default capacity: time and the coverage's share stay
// flat per byte from 100,000 to 1,000,000 records.
//   tanavo_bench --benchmark_filter=BM_CreateIndexShortRecords
void BM_CreateIndexShortRecords(benchmark::State& state) { CreateIndexOf(state, true); }
BENCHMARK(BM_CreateIndexShortRecords)->Arg(100000)->Arg(1000000)->Iterations(1)->UseManualTime()->Unit(benchmark::kMillisecond);

// 2500 records with list lines of list-line size.
RecordIndex FullIndex() {
  RecordIndex index;
  index.count = kIndexFileRecords;
  for (int n = 1; n <= kIndexFileRecords; ++n) {
    index.positions[n] = n * 20480 + 1;
    index.lines[n] = "2006/01/10 09:15    山田太郎 <taro@example.jp>    打ち合わせの件 " + std::to_string(n);
  }
  return index;
}

const IndexFilePaths kPaths{"D:\\work\\phone.dat", "D:\\work\\mail.kta", "D:\\work\\mail.kdp"};

void BM_BuildIndexFileText(benchmark::State& state) {
  static const RecordIndex index = FullIndex();
  std::size_t bytes = 0;
  for (auto _ : state) {
    std::string text = BuildIndexFileText(kPaths, index, [](int32_t) {});
    bytes = text.size();
    benchmark::DoNotOptimize(text);
  }
  state.counters["file_KiB"] = static_cast<double>(bytes) / 1024.0;
}
BENCHMARK(BM_BuildIndexFileText)->Unit(benchmark::kMillisecond);

void BM_ReadIndexFileText(benchmark::State& state) {
  static const std::string text = BuildIndexFileText(kPaths, FullIndex());
  static RecordIndex index;
  for (auto _ : state) {
    IndexFilePaths paths;
    IndexTextNotes notes = ReadIndexFileText(text, &paths, &index, [](int32_t, int32_t) {});
    benchmark::DoNotOptimize(notes);
  }
  if (index.count != kIndexFileRecords) state.SkipWithError("not every record was read");
}
BENCHMARK(BM_ReadIndexFileText)->Unit(benchmark::kMillisecond);

// A hostile index file of about range(0) MiB: 2500 records of "[[1]]" alone,
// then one distant "))" and "[[" (each record once found that same "))" again
// and copied everything up to it). Time and memory are bounded by
// the size: "ns_per_byte" stays flat as the file grows.
void BM_ReadHostileIndexFileText(benchmark::State& state) {
  std::string text = "((a))((b))((c))((2500))\r\n";
  for (int n = 0; n < kIndexFileRecords; ++n) text += "[[1]]";
  text += "))" + std::string(static_cast<std::size_t>(state.range(0)) << 20, 'x') + "[[";
  static RecordIndex index;
  double total = 0;
  for (auto _ : state) {
    IndexFilePaths paths;
    auto t0 = std::chrono::steady_clock::now();
    IndexTextNotes notes = ReadIndexFileText(text, &paths, &index, [](int32_t, int32_t) {});
    total += Seconds(std::chrono::steady_clock::now() - t0);
    benchmark::DoNotOptimize(notes);
  }
  state.counters["file_MiB"] = static_cast<double>(text.size()) / (1024.0 * 1024.0);
  state.counters["ns_per_byte"] = total * 1e9 / (static_cast<double>(text.size()) * static_cast<double>(state.iterations()));
}
BENCHMARK(BM_ReadHostileIndexFileText)->Arg(1)->Arg(4)->Arg(16)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace tanavo
