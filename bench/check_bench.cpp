// The settings check on inputs chosen to make it slow.
// - A repeated Group holding a nested Group, with a Group after it that never
//   occurs: the repeating Group's region limit, which searches the rest of the
//   text for that later Group, must be worked out once, not once per repeat.
//   Sizes 4, 8 and 16 times 20 KiB; "ns_per_byte" stays flat when the check is
//   linear in the file.
#include <benchmark/benchmark.h>

#include <string>

#include "check/trial_extraction.h"
#include "platform/fake/fake_platform.h"
#include "state/workspace.h"
#include "../tests/support/entries.h"

namespace tanavo {
namespace {

constexpr std::size_t kUnitBytes = 20 * 1024;
const std::string kRepeat = "<g>x</g>";

void SetEntry(Workspace& app, int i, const char* kind, const char* name, const char* start, const char* end,
              const char* multiple) {
  app.extraction.entries[i] = Flagged(Def(kind, name, start, end), multiple, false);
}

void BM_TrialExtractionRepeatedGroupWithNestedGroup(benchmark::State& state) {
  FakePlatform platform;
  Workspace app(platform);
  const std::size_t repeats = static_cast<std::size_t>(state.range(0)) * kUnitBytes / kRepeat.size();
  app.state.mobileFile.reserve(repeats * kRepeat.size());
  for (std::size_t i = 0; i < repeats; ++i) app.state.mobileFile += kRepeat;
  SetEntry(app, 0, "Group", "G", "<g>", "</g>", "Y");
  SetEntry(app, 1, "Group", "H", "<h>", "</h>", "N");
  SetEntry(app, 2, "Group", "H", "<h>", "</h>", "N");
  SetEntry(app, 3, "Group", "G", "<g>", "</g>", "Y");
  SetEntry(app, 4, "Group", "K", "<k>", "</k>", "N");
  SetEntry(app, 5, "Group", "K", "<k>", "</k>", "N");
  SetEntry(app, 6, "Data", "D", "", "", "N");
  for (auto _ : state) {
    benchmark::DoNotOptimize(RunTrialStep(app, TrialStep::Check));
    benchmark::ClobberMemory();
  }
  if (!platform.boxes.empty()) state.SkipWithError("the check warned");
  const double bytes = static_cast<double>(app.state.mobileFile.size());
  state.counters["file_KiB"] = bytes / 1024;
  state.counters["ns_per_byte"] = benchmark::Counter(
      bytes * 1e-9, benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}
BENCHMARK(BM_TrialExtractionRepeatedGroupWithNestedGroup)->Arg(4)->Arg(8)->Arg(16)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace tanavo
