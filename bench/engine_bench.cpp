// The scanning engine on large inputs.
// - Tag matching over 64 MiB whose tags sit at both ends, timed against one
//   memchr pass over the same bytes in the same run ("x_memchr").
// - Record walks over every record of a synthetic mail file of 2500 records
//   at 12.5, 25 and 50 MiB; "ns_per_byte" stays flat when time is linear in
//   the file size.
#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdint>
#include <cstring>
#include <map>
#include <string>

#include "engine/pointer_stack.h"
#include "engine/tag_match.h"
#include "engine/walk.h"
#include "extract/settings.h"
#include "platform/fake/fake_platform.h"
#include "../tests/support/entries.h"

namespace tanavo {
namespace {

constexpr std::size_t kMiB = 1024 * 1024;
constexpr std::size_t kFarTextBytes = 64 * kMiB;
constexpr int kMailRecords = 2500;
constexpr int kHeaderLines = 6;
constexpr std::size_t kBodyColumns = 76;

double Seconds(std::chrono::steady_clock::duration d) { return std::chrono::duration<double>(d).count(); }

// Lower-case letters and spaces: never part of any tag used below.
std::string Filler(std::size_t n, std::uint32_t seed) {
  static const char kAlphabet[] = "abcdefghijklmnopqrstuvwxyz     ";
  std::string s(n, ' ');
  for (char& c : s) {
    seed = seed * 1664525u + 1013904223u;
    c = kAlphabet[(seed >> 24) % (sizeof kAlphabet - 1)];
  }
  return s;
}

const std::string& FarText() {
  static const std::string text = "<data>" + Filler(kFarTextBytes, 1) + "</data>";
  return text;
}

void BM_ExtractBetweenTagsFarApart(benchmark::State& state) {
  const std::string& text = FarText();
  const ExtractMode mode = static_cast<ExtractMode>(state.range(0));
  double extractTotal = 0;
  double memchrTotal = 0;
  double copyTotal = 0;
  for (auto _ : state) {
    auto t0 = std::chrono::steady_clock::now();
    TagMatch m = ExtractBetweenTags(text, "<data>", "</data>", 1, "", "", mode);
    benchmark::DoNotOptimize(m);
    auto t1 = std::chrono::steady_clock::now();
    const void* hit = std::memchr(text.data(), '\x01', text.size());
    benchmark::DoNotOptimize(hit);
    auto t2 = std::chrono::steady_clock::now();
    if (m.status != MatchStatus::Found) state.SkipWithError("no match");
    extractTotal += Seconds(t1 - t0);
    memchrTotal += Seconds(t2 - t1);
    state.SetIterationTime(Seconds(t1 - t0));
    if (mode != ExtractMode::PositionsOnly) {
      // What handing out the text costs by itself: one fresh copy of it.
      m = TagMatch{};
      auto t3 = std::chrono::steady_clock::now();
      std::string copy(text.data() + 6, kFarTextBytes);
      benchmark::DoNotOptimize(copy);
      auto t4 = std::chrono::steady_clock::now();
      copyTotal += Seconds(t4 - t3);
    }
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * text.size()));
  state.counters["x_memchr"] = memchrTotal > 0 ? extractTotal / memchrTotal : 0;
  if (copyTotal > 0) state.counters["x_copy"] = extractTotal / copyTotal;
}
// 0 positions only (the search alone), 1 with tags, 2 content only.
BENCHMARK(BM_ExtractBetweenTagsFarApart)->Arg(0)->Arg(1)->Arg(2)->UseManualTime()->Unit(benchmark::kMillisecond);

void BM_ExtractBetweenTagsContinuationLines(benchmark::State& state) {
  // A Quoted-Printable-like body: every line but the last ends in "=".
  static const std::string text = [] {
    std::string body = Filler(kFarTextBytes, 2);
    for (std::size_t i = kBodyColumns; i + 3 < body.size(); i += kBodyColumns) {
      body[i] = '=';
      body[i + 1] = '\r';
      body[i + 2] = '\n';
    }
    return "B:" + body + "\r\n";
  }();
  double extractTotal = 0;
  double memchrTotal = 0;
  for (auto _ : state) {
    auto t0 = std::chrono::steady_clock::now();
    TagMatch m = ExtractBetweenTags(text, "B:", "\r\n", 1, "=", "", ExtractMode::ContentOnly);
    benchmark::DoNotOptimize(m);
    auto t1 = std::chrono::steady_clock::now();
    const void* hit = std::memchr(text.data(), '\x01', text.size());
    benchmark::DoNotOptimize(hit);
    auto t2 = std::chrono::steady_clock::now();
    extractTotal += Seconds(t1 - t0);
    memchrTotal += Seconds(t2 - t1);
    state.SetIterationTime(Seconds(t1 - t0));
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * text.size()));
  state.counters["x_memchr"] = memchrTotal > 0 ? extractTotal / memchrTotal : 0;
}
BENCHMARK(BM_ExtractBetweenTagsContinuationLines)->UseManualTime()->Unit(benchmark::kMillisecond);

// A mail file of 2500 records of about fileBytes / 2500 bytes each.
std::string MailFile(std::size_t fileBytes) {
  const std::size_t perRecord = fileBytes / kMailRecords;
  std::string file;
  file.reserve(fileBytes + kMiB);
  for (int r = 0; r < kMailRecords; ++r) {
    const std::size_t begin = file.size();
    file += "BEGIN:MAIL\r\n<hdr>\r\n";
    for (int h = 0; h < kHeaderLines; ++h) file += "H:x-field-" + std::to_string(h) + ": value\r\n";
    file += "</hdr>\r\n<hdr>\r\nH:received: by relay\r\n</hdr>\r\n";
    file += "Subject: record " + std::to_string(r) + "\r\n";
    file += "From: sender" + std::to_string(r % 97) + "\r\n";
    file += "Date: day " + std::to_string(r % 31) + "\r\n";
    file += "Body:\r\n";
    const std::size_t used = file.size() - begin + 20;
    std::string body = Filler(perRecord > used ? perRecord - used : 1, static_cast<std::uint32_t>(r + 3));
    for (std::size_t i = kBodyColumns; i + 2 < body.size(); i += kBodyColumns) {
      body[i] = '\r';
      body[i + 1] = '\n';
    }
    file += body;
    file += "\r\n.\r\nEND:MAIL\r\n";
  }
  return file;
}

void MailSettings(ExtractionSettings& s) {
  auto set = [&s](int i, const char* kind, const char* name, const char* start, const char* end, bool multiple,
                  bool afterPrevious) {
    s.entries[i] = Flagged(Def(kind, name, start, end), multiple, afterPrevious);
  };
  set(0, "D_SET", "D_SET", "BEGIN:MAIL\r\n", "END:MAIL\r\n", false, false);
  set(1, "Group", "Header", "<hdr>\r\n", "</hdr>\r\n", true, false);
  set(2, "Data", "Field", "H:", "\r\n", true, false);
  set(3, "Group", "Header", "<hdr>\r\n", "</hdr>\r\n", true, false);
  set(4, "Data", "Subject", "Subject: ", "\r\n", false, true);
  set(5, "Data", "From", "From: ", "\r\n", false, true);
  set(6, "Data", "Date", "Date: ", "\r\n", false, true);
  set(7, "Data", "Body", "Body:\r\n", "\r\n.\r\n", false, true);
  set(8, "D_SET", "D_SET", "BEGIN:MAIL\r\n", "END:MAIL\r\n", false, false);
}

void BM_WalkEveryRecord(benchmark::State& state) {
  const std::size_t fileBytes = static_cast<std::size_t>(state.range(0)) * kMiB / 10;
  static std::map<std::size_t, std::string> files;
  std::string& file = files[fileBytes];
  if (file.empty()) file = MailFile(fileBytes);

  FakePlatform platform;
  ExtractionSettings settings;
  MailSettings(settings);
  FilePointerStack stack(platform, settings, file);
  WalkState walk;
  std::size_t itemBytes = 0;
  WalkHooks hooks;
  hooks.onItem = [&itemBytes](int, const std::string& text) { itemBytes += text.size(); };
  int records = 0;
  for (auto _ : state) {
    ResetLastEnd(walk);
    records = 0;
    int32_t from = 1;
    for (;;) {
      WalkResult r = WalkRecord(settings, stack, walk, 0, from, hooks);
      if (!r.recordFound || r.recordMissing) break;
      ++records;
      from = r.record.end + 1;
    }
    benchmark::DoNotOptimize(itemBytes);
  }
  if (records != kMailRecords) state.SkipWithError("not every record was walked");
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * file.size()));
  state.counters["file_MiB"] = static_cast<double>(file.size()) / kMiB;
  state.counters["ns_per_byte"] =
      benchmark::Counter(static_cast<double>(file.size()) * 1e-9,
                         benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}
// Sizes in tenths of a MiB: 12.5, 25 and 50 MiB.
BENCHMARK(BM_WalkEveryRecord)->Arg(125)->Arg(250)->Arg(500)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace tanavo
