// Decoding of large mail items, each timed against a plain memcpy of the same
// item in the same run: the "x_memcpy" counter is decode time / copy time.
// Sizes double from one case to the next, so a step that grows faster than
// the item shows as a rising ratio.
#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "app/app.h"
#include "app/attachment_list.h"
#include "codec/codec.h"
#include "display/item_decoder.h"
#include "text/bytes.h"
#include "platform/fake/fake_platform.h"
#include "../tests/support/entries.h"

namespace tanavo {
namespace {

constexpr std::size_t kMiB = 1024 * 1024;
constexpr std::size_t kMailColumns = 76;
constexpr int kMailEntry = 0;
constexpr int kAttachmentsInBench = 5;

// Reproducible filler bytes (a small linear congruential generator).
std::string Bytes(std::size_t n, std::uint32_t seed) {
  std::string s(n, '\0');
  for (char& c : s) {
    seed = seed * 1664525u + 1013904223u;
    c = static_cast<char>(seed >> 24);
  }
  return s;
}

std::string Wrapped(const std::string& flat) {
  std::string out;
  out.reserve(flat.size() + flat.size() / kMailColumns * 2 + 2);
  for (std::size_t i = 0; i < flat.size(); i += kMailColumns) {
    out.append(flat, i, kMailColumns);
    out += "\r\n";
  }
  return out;
}

// Base64 text of about the given size, broken every 76 columns.
std::string Base64Text(std::size_t textBytes, std::uint32_t seed) {
  return Wrapped(EncodeBase64(Bytes(textBytes / 4 * 3 * kMailColumns / (kMailColumns + 2), seed)));
}

// ISO-2022-JP lines of kanji, Quoted-Printable encoded with soft breaks,
// about the given size.
std::string QuotedPrintableJis(std::size_t textBytes) {
  std::string out;
  out.reserve(textBytes + 256);
  std::uint32_t seed = 7;
  std::string line;
  auto put = [&](const std::string& token) {
    if (line.size() + token.size() > kMailColumns - 1) {
      out += line + "=\r\n";
      line.clear();
    }
    line += token;
  };
  while (out.size() < textBytes) {
    put("=1B");
    put("$B");
    for (int k = 0; k < 30; ++k) {
      seed = seed * 1664525u + 1013904223u;
      for (int half = 0; half < 2; ++half) {
        char b = static_cast<char>(0x30 + ((seed >> (8 + 8 * half)) % 0x40));  // rows 0x30 to 0x6F
        put(b == '=' ? std::string("=3D") : std::string(1, b));
      }
    }
    put("=1B");
    put("(B");
    out += line + "\r\n";
    line.clear();
  }
  return out;
}

struct BenchApp {
  BenchApp() : app(platform) {
    app.Start();
    app.extraction.entries[kMailEntry] = MailEntry("Mail", "<MAIL>", "</MAIL>", "</MAIL>");
  }
  FakePlatform platform;
  App app;
};

double Seconds(std::chrono::steady_clock::duration d) { return std::chrono::duration<double>(d).count(); }

// Times decode(item) per iteration and a memcpy of the item beside it.
template <typename Decode>
void RunAgainstMemcpy(benchmark::State& state, const std::string& item, Decode decode) {
  std::vector<char> copy(item.size());
  std::memcpy(copy.data(), item.data(), item.size());  // fault the pages in before timing
  double decodeTotal = 0;
  double copyTotal = 0;
  for (auto _ : state) {
    auto t0 = std::chrono::steady_clock::now();
    std::memcpy(copy.data(), item.data(), item.size());
    benchmark::ClobberMemory();
    auto t1 = std::chrono::steady_clock::now();
    std::string out = decode(item);
    benchmark::DoNotOptimize(out.data());
    auto t2 = std::chrono::steady_clock::now();
    copyTotal += Seconds(t1 - t0);
    decodeTotal += Seconds(t2 - t1);
    state.SetIterationTime(Seconds(t2 - t1));
  }
  state.counters["item_MiB"] = static_cast<double>(item.size()) / kMiB;
  state.counters["x_memcpy"] = copyTotal > 0 ? decodeTotal / copyTotal : 0;
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) * static_cast<std::int64_t>(item.size()));
}

void BM_DecodeDataItemBase64(benchmark::State& state) {
  BenchApp b;
  const std::string item = "<MAIL>Content-Type: text/plain; charset=Shift_JIS\r\nContent-Transfer-Encoding: base64\r\n\r\n" +
                           Base64Text(static_cast<std::size_t>(state.range(0)) * kMiB, 1) + "</MAIL>";
  RunAgainstMemcpy(state, item, [&](const std::string& i) { return DecodeItem(b.app, kMailEntry, i, TextOnlyDecoding()).text; });
}

void BM_DecodeDataItemQuotedPrintableJis(benchmark::State& state) {
  BenchApp b;
  const std::string item =
      "<MAIL>Content-Type: text/plain; charset=ISO-2022-JP\r\nContent-Transfer-Encoding: quoted-printable\r\n\r\n" +
      QuotedPrintableJis(static_cast<std::size_t>(state.range(0)) * kMiB) + "</MAIL>";
  RunAgainstMemcpy(state, item, [&](const std::string& i) { return DecodeItem(b.app, kMailEntry, i, TextOnlyDecoding()).text; });
}

// range(0): MiB per attachment.
void BM_DecodeMultipartItemFiveAttachments(benchmark::State& state) {
  BenchApp b;
  const std::string boundary = "--==_Part_0123456789";
  std::string item = "<MAIL>Subject: x\r\nMIME-Version: 1.0\r\nContent-Type: multipart/mixed; boundary=\"" +
                     boundary + "\"\r\n\r\n--" + boundary +
                     "\r\nContent-Type: text/plain; charset=Shift_JIS\r\nContent-Transfer-Encoding: 7bit\r\n\r\n"
                     "本文です。\r\n";
  for (int i = 0; i < kAttachmentsInBench; ++i) {
    item += "--" + boundary + "\r\nContent-Type: image/jpeg;\r\n name=\"photo" + std::to_string(i) +
            ".jpg\"\r\nContent-Transfer-Encoding: base64\r\n\r\n" +
            Base64Text(static_cast<std::size_t>(state.range(0)) * kMiB, 100 + static_cast<std::uint32_t>(i));
  }
  item += "--" + boundary + "--\r\n</MAIL>";
  RunAgainstMemcpy(state, item, [&](const std::string& i) { return DecodeItem(b.app, kMailEntry, i, {[&](const DecodedItem& d) { ShowItemAttachments(b.app, d); }}).text; });
}

BENCHMARK(BM_DecodeDataItemBase64)->Arg(4)->Arg(8)->Arg(16)->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK(BM_DecodeDataItemQuotedPrintableJis)->Arg(4)->Arg(8)->Arg(16)->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK(BM_DecodeMultipartItemFiveAttachments)
    ->Arg(1)
    ->Arg(2)
    ->Arg(4)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond);

// A boundary as long as the part it closes, made of the byte the part is made
// of: a search that compares naively costs part size x boundary length here.
// range(0): KiB of part body, and of boundary. ns_per_byte stays flat when
// the decoding is linear in the item.
void BM_DecodeMultipartItemLongBoundary(benchmark::State& state) {
  BenchApp b;
  const std::size_t n = static_cast<std::size_t>(state.range(0)) * 1024;
  const std::string boundary = std::string(n, '-') + "x";
  const std::string item = "<MAIL>Content-Type: multipart/mixed; boundary=\"" + boundary + "\"\r\n\r\n--" + boundary +
                           "\r\nContent-Type: application/octet-stream;\r\n name=\"a.bin\"\r\n\r\n" +
                           std::string(n, '-') + "\r\n--" + boundary + "--\r\n</MAIL>";
  RunAgainstMemcpy(state, item, [&](const std::string& i) { return DecodeItem(b.app, kMailEntry, i, {[&](const DecodedItem& d) { ShowItemAttachments(b.app, d); }}).text; });
  if (b.app.attachments.count != 1 || b.app.attachments.contents[1].size() != n + 2) {
    state.SkipWithError("the attachment was not found whole");
  }
  state.counters["ns_per_byte"] =
      benchmark::Counter(static_cast<double>(item.size()) * 1e-9,
                         benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}
BENCHMARK(BM_DecodeMultipartItemLongBoundary)
    ->Arg(200)
    ->Arg(400)
    ->Arg(800)
    ->Arg(1600)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond);

// The same boundary searched with the search that systems without memmem
// use (Windows), on the same text: flat ns_per_byte when it is linear.
void BM_FindWithPrefixTableLongBoundary(benchmark::State& state) {
  const std::size_t n = static_cast<std::size_t>(state.range(0)) * 1024;
  const std::string delimiter = "--" + std::string(n, '-') + "x";
  const std::string text = std::string(n, '-') + "\r\n" + delimiter;
  std::size_t at = 0;
  for (auto _ : state) {
    at = FindWithPrefixTable(text, delimiter, 0);
    benchmark::DoNotOptimize(at);
  }
  if (at != n + 2) state.SkipWithError("not found where it is");
  state.counters["ns_per_byte"] =
      benchmark::Counter(static_cast<double>(text.size()) * 1e-9,
                         benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}
BENCHMARK(BM_FindWithPrefixTableLongBoundary)->Arg(200)->Arg(400)->Arg(800)->Arg(1600)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace tanavo
