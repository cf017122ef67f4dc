// Index creation and the index file on a generated dump of phone mail: one
// D_SET per mail of about 20 KiB, Date, From and Subject (ISO-2022-JP encoded
// words) named in the list line, a Base64 body that the list line does not
// name. Index creation is timed against the bare record walk over the same
// file in the same run ("x_walk"); "ns_per_byte" stays flat when time is
// linear in the file size.
#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdint>
#include <map>
#include <string>

#include "app/app.h"
#include "codec/codec.h"
#include "engine/walk.h"
#include "index/index_creation.h"
#include "index/index_file.h"
#include "platform/fake/fake_platform.h"

namespace tanavo {
namespace {

constexpr std::size_t kMailBytes = 20 * 1024;
constexpr std::size_t kBodyColumns = 76;
constexpr int kIndexFileRecords = 2500;

double Seconds(std::chrono::steady_clock::duration d) { return std::chrono::duration<double>(d).count(); }

std::string Word(const std::string& jis) { return "=?ISO-2022-JP?B?" + EncodeBase64(jis) + "?="; }

// ISO-2022-JP text of n double-byte characters from the kana rows.
std::string JisText(std::size_t n, std::uint32_t seed) {
  std::string s = "\x1b$B";
  for (std::size_t i = 0; i < n; ++i) {
    seed = seed * 1664525u + 1013904223u;
    s += static_cast<char>(0x24 + (seed >> 31));
    s += static_cast<char>(0x21 + (seed >> 24) % 0x53);
  }
  return s + "\x1b(B";
}

std::string MailDump(int mails) {
  std::string file;
  file.reserve(static_cast<std::size_t>(mails) * (kMailBytes + 512));
  for (int m = 0; m < mails; ++m) {
    const std::uint32_t seed = static_cast<std::uint32_t>(m) * 7919u + 1u;
    std::string mail = "BEGIN:MAIL\r\n";
    mail += "Date: 2006/" + std::to_string(1 + m % 12) + "/" + std::to_string(1 + m % 28) + " 09:15\r\n";
    mail += "From: " + Word(JisText(4, seed)) + " <user" + std::to_string(m % 97) + "@example.jp>\r\n";
    mail += "To: " + Word(JisText(3, seed + 1)) + " <me@example.jp>\r\n";
    mail += "Subject: " + Word(JisText(10, seed + 2)) + "\r\n";
    mail += "Content-Type: text/plain; charset=ISO-2022-JP\r\nContent-Transfer-Encoding: base64\r\n\r\n";
    const std::string body = EncodeBase64(JisText((kMailBytes - mail.size()) * 3 / 8, seed + 3));
    for (std::size_t i = 0; i < body.size(); i += kBodyColumns) mail += body.substr(i, kBodyColumns) + "\r\n";
    mail += "END:MAIL\r\n";
    file += mail;
  }
  return file;
}

TagDefinition Entry(const char* kind, const char* name, const char* start, const char* end) {
  TagDefinition e;
  e.kind = kind;
  e.name = name;
  e.rangeStartTag = start;
  e.rangeEndTag = end;
  e.applyToMultiple = "N";
  e.searchAfterPrevious = "N";
  return e;
}

TagDefinition Header(const char* name, const char* start) {
  TagDefinition e = Entry("Data", name, start, "\r\n");
  e.contentStartTag = start;
  e.contentEndTag = "\r\n";
  return e;
}

void MailSettings(App& app) {
  TagDefinition body = Entry("Data", "Body", "Content-Type:", "END:MAIL");
  body.dataTypeStartTag = body.dataTypeEndTag = "*";
  body.encodingStartTag = body.encodingEndTag = "*";
  body.japaneseCodeStartTag = body.japaneseCodeEndTag = "*";
  body.contentStartTag = "\r\n\r\n";
  body.contentEndTag = "END:MAIL";
  const TagDefinition table[] = {Entry("D_SET", "MAIL", "BEGIN:MAIL", "END:MAIL"), Header("Date", "Date: "),
                                 Header("From", "From: "), Header("Subject", "Subject: "), body,
                                 Entry("D_SET", "MAIL", "BEGIN:MAIL", "END:MAIL")};
  int i = 0;
  for (const TagDefinition& e : table) app.extraction.entries[i++] = e;
  app.display.listLineTemplate = "??Date            ??  ??From                    ??  ??Subject                  ??";
}

const std::string& Dump(int mails) {
  static std::map<int, std::string> dumps;
  std::string& d = dumps[mails];
  if (d.empty()) d = MailDump(mails);
  return d;
}

void BM_CreateIndex(benchmark::State& state) {
  const int mails = static_cast<int>(state.range(0));
  FakePlatform platform;
  App app(platform);
  app.Start();
  app.state.mobileFile = Dump(mails);
  MailSettings(app);
  double createTotal = 0, walkTotal = 0;
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
    if (app.index.count != mails || walked != mails) state.SkipWithError("not every mail was indexed");
    createTotal += Seconds(t1 - t0);
    walkTotal += Seconds(t2 - t1);
    state.SetIterationTime(Seconds(t1 - t0));
  }
  if (!platform.boxes.empty()) state.SkipWithError("a warning was shown");
  const double bytes = static_cast<double>(app.state.mobileFile.size());
  state.counters["file_MiB"] = bytes / (1024.0 * 1024.0);
  state.counters["x_walk"] = walkTotal > 0 ? createTotal / walkTotal : 0;
  state.counters["ns_per_byte"] = createTotal * 1e9 / (bytes * static_cast<double>(state.iterations()));
}
BENCHMARK(BM_CreateIndex)->Arg(625)->Arg(1250)->Arg(2500)->UseManualTime()->Unit(benchmark::kMillisecond);

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

}  // namespace
}  // namespace tanavo
