// Throughput of the text codecs on inputs of 16, 32 and 64 MiB. Each codec
// run also times memcpy of its own input bytes into a buffer already touched
// (x_memcpy: the codec's time as a multiple of it) and a copy into a new
// string, which pays the same allocation and first touch of fresh pages as
// a codec's result (x_fresh_copy).
#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cstring>
#include <map>
#include <random>
#include <string>
#include <vector>

#include "codec/codec.h"

namespace {

constexpr std::size_t kMiB = 1024 * 1024;
constexpr int kSizesMiB[] = {16, 32, 64};
constexpr std::size_t kMimeLine = 76;

enum class Input { Base64Mime, QuotedPrintable, Jis, Text };

// Shift_JIS text with CR LF lines: ASCII, kana and kanji mixed.
std::string MakeText(std::size_t bytes) {
  static const char* const pieces[] = {"Subject: ", "日本語のメール本文です。", "abc 123 ", "表示", "ｱｲｳ",
                                       "\r\n", "携帯電話のデータ、", "=?", "\r\n"};
  std::mt19937 rng(1);
  std::string s;
  s.reserve(bytes + 64);
  while (s.size() < bytes) s += pieces[rng() % (sizeof pieces / sizeof pieces[0])];
  s.resize(bytes);
  return s;
}

std::string MakeBase64Mime(std::size_t bytes) {
  std::mt19937 rng(2);
  std::string raw(bytes / (kMimeLine + 2) * kMimeLine / 4 * 3 + 3, '\0');
  for (char& c : raw) c = static_cast<char>(rng());
  std::string encoded = tanavo::EncodeBase64(raw);
  std::string s;
  s.reserve(bytes + kMimeLine + 2);
  for (std::size_t i = 0; i < encoded.size() && s.size() < bytes; i += kMimeLine) {
    s.append(encoded, i, kMimeLine);
    s += "\r\n";
  }
  s.resize(bytes);
  return s;
}

std::string MakeQuotedPrintable(std::size_t bytes) {
  std::string text = MakeText(bytes);
  std::string s;
  s.reserve(bytes + 8);
  std::size_t column = 0;
  for (unsigned char c : text) {
    if (s.size() >= bytes) break;
    if (c == '\r' || c == '\n') {
      s.push_back(static_cast<char>(c));
      column = 0;
      continue;
    }
    if (c >= 0x80 || c == '=') {
      s += "=" + tanavo::HexByte(c);
      column += 3;
    } else {
      s.push_back(static_cast<char>(c));
      ++column;
    }
    if (column >= kMimeLine - 3) {
      s += "=\r\n";  // soft line break
      column = 0;
    }
  }
  s.resize(bytes);
  return s;
}

std::string MakeJis(std::size_t bytes) {
  // Lines of ASCII and of double-byte text between escape sequences.
  const std::string line = "Hello, \x1b$BF|K\\8l$N%a!<%k$G$9!#\x1b(B mail body text\r\n";
  std::string s;
  s.reserve(bytes + line.size());
  while (s.size() < bytes) s += line;
  s.resize(bytes);
  return s;
}

const std::string& InputOf(Input kind, int mib) {
  static std::map<std::pair<int, int>, std::string> cache;
  auto key = std::make_pair(static_cast<int>(kind), mib);
  auto it = cache.find(key);
  if (it != cache.end()) return it->second;
  std::size_t bytes = static_cast<std::size_t>(mib) * kMiB;
  std::string s;
  switch (kind) {
    case Input::Base64Mime: s = MakeBase64Mime(bytes); break;
    case Input::QuotedPrintable: s = MakeQuotedPrintable(bytes); break;
    case Input::Jis: s = MakeJis(bytes); break;
    case Input::Text: s = MakeText(bytes); break;
  }
  return cache.emplace(key, std::move(s)).first->second;
}

using Clock = std::chrono::steady_clock;
constexpr int kMemcpyRepeats = 5;

// The best of a few copies of the bytes into a buffer already touched.
double MemcpySeconds(const std::string& in) {
  std::vector<char> out(in.size());
  double best = 1e30;
  for (int i = 0; i < kMemcpyRepeats; ++i) {
    Clock::time_point t0 = Clock::now();
    std::memcpy(out.data(), in.data(), in.size());
    benchmark::DoNotOptimize(out.data());
    benchmark::ClobberMemory();
    best = std::min(best, std::chrono::duration<double>(Clock::now() - t0).count());
  }
  return best;
}

// The best of a few copies into a new string: the same allocation and
// first touch of fresh memory that every codec result pays.
double FreshCopySeconds(const std::string& in) {
  double best = 1e30;
  for (int i = 0; i < kMemcpyRepeats; ++i) {
    Clock::time_point t0 = Clock::now();
    std::string copy(in);
    benchmark::DoNotOptimize(copy.data());
    benchmark::ClobberMemory();
    best = std::min(best, std::chrono::duration<double>(Clock::now() - t0).count());
  }
  return best;
}

template <std::string (*Codec)(std::string_view), Input kKind>
void BM_Codec(benchmark::State& state) {
  const std::string& in = InputOf(kKind, static_cast<int>(state.range(0)));
  double copy = MemcpySeconds(in);
  double fresh = FreshCopySeconds(in);
  Clock::time_point t0 = Clock::now();
  for (auto _ : state) {
    std::string out = Codec(in);
    benchmark::DoNotOptimize(out.data());
    benchmark::ClobberMemory();
  }
  double perRun = std::chrono::duration<double>(Clock::now() - t0).count() / static_cast<double>(state.iterations());
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(in.size()));
  state.counters["memcpy_ms"] = copy * 1e3;
  state.counters["x_memcpy"] = perRun / copy;
  state.counters["fresh_copy_ms"] = fresh * 1e3;
  state.counters["x_fresh_copy"] = perRun / fresh;
}

void BM_Memcpy(benchmark::State& state) {
  const std::string& in = InputOf(Input::Text, static_cast<int>(state.range(0)));
  std::vector<char> out(in.size());
  for (auto _ : state) {
    std::memcpy(out.data(), in.data(), in.size());
    benchmark::DoNotOptimize(out.data());
    benchmark::ClobberMemory();
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(in.size()));
}

void Sizes(benchmark::internal::Benchmark* b) {
  for (int mib : kSizesMiB) b->Arg(mib);
  b->Unit(benchmark::kMillisecond)->MinTime(0.3);
}

BENCHMARK(BM_Memcpy)->Apply(Sizes);
BENCHMARK_TEMPLATE(BM_Codec, tanavo::DecodeBase64, Input::Base64Mime)->Name("DecodeBase64_Mime")->Apply(Sizes);
BENCHMARK_TEMPLATE(BM_Codec, tanavo::DecodeQuotedPrintableLoose, Input::QuotedPrintable)
    ->Name("DecodeQuotedPrintable")
    ->Apply(Sizes);
BENCHMARK_TEMPLATE(BM_Codec, tanavo::JisToShiftJisLoose, Input::Jis)->Name("JisToShiftJis")->Apply(Sizes);
BENCHMARK_TEMPLATE(BM_Codec, tanavo::HexDump, Input::Text)->Name("HexDump")->Apply(Sizes);

}  // namespace
