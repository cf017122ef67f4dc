// The records an export is asked for: `--records 1-100,250,300-`.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace tanavo {

// Record numbers as ranges, sorted and merged; an open range ("300-") runs to
// the last record of the index once resolved.
class RecordChoice {
 public:
  // Every record of the index.
  RecordChoice() = default;

  // Parses items N, N-M and N- joined by commas (no spaces, N >= 1, N <= M).
  // False, with *why saying what is wrong (ASCII, for the usage error), when
  // text is no such list.
  static bool Parse(std::string_view text, RecordChoice* choice, std::string* why);

  // Just these record numbers (in any order, repeats allowed); none is a
  // choice of no record.
  static RecordChoice Of(std::vector<int32_t> numbers);

  bool All() const { return all_; }
  // Fixes the open end at count. False when a number chosen lies past the
  // last record (count); *first is then that number.
  bool Resolve(int32_t count, int32_t* first);
  // After Resolve: the ranges, each first..last inclusive.
  const std::vector<std::pair<int32_t, int32_t>>& Ranges() const { return ranges_; }
  int64_t Count() const;
  // After Resolve: whether record n is chosen.
  bool Holds(int32_t n) const;
  // The choice as the report gives it, "1-100,250,300-2500" (after Resolve).
  std::string Text() const;

 private:
  bool all_ = true;
  std::vector<std::pair<int32_t, int32_t>> ranges_;
};

}  // namespace tanavo
