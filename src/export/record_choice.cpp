#include "export/record_choice.h"

#include <algorithm>
#include <limits>

namespace tanavo {

namespace {

constexpr int32_t kOpen = std::numeric_limits<int32_t>::max();

// A record number: decimal digits only, 1 or more, no larger than an index
// position can be.
bool ReadNumber(std::string_view text, int32_t* n) {
  if (text.empty()) return false;
  int64_t v = 0;
  for (char c : text) {
    if (c < '0' || c > '9') return false;
    v = v * 10 + (c - '0');
    if (v >= kOpen) return false;
  }
  if (v < 1) return false;
  *n = static_cast<int32_t>(v);
  return true;
}

}  // namespace

bool RecordChoice::Parse(std::string_view text, RecordChoice* choice, std::string* why) {
  RecordChoice c;
  c.all_ = false;
  if (text.empty()) {
    *why = "no records given";
    return false;
  }
  std::string_view::size_type at = 0;
  while (at <= text.size()) {
    std::string_view::size_type end = text.find(',', at);
    if (end == std::string_view::npos) end = text.size();
    const std::string_view item = text.substr(at, end - at);
    const std::string_view::size_type dash = item.find('-');
    int32_t first = 0, last = 0;
    const bool ok = dash == std::string_view::npos
                        ? ReadNumber(item, &first) && (last = first, true)
                        : ReadNumber(item.substr(0, dash), &first) &&
                              (dash + 1 == item.size() ? (last = kOpen, true) : ReadNumber(item.substr(dash + 1), &last));
    if (!ok) {
      *why = "\"" + std::string(item) + "\" is no record number N, range N-M or open range N- (N from 1)";
      return false;
    }
    if (last < first) {
      *why = "\"" + std::string(item) + "\" ends before it starts";
      return false;
    }
    c.ranges_.emplace_back(first, last);
    at = end + 1;
  }
  std::sort(c.ranges_.begin(), c.ranges_.end());
  std::vector<std::pair<int32_t, int32_t>> merged;
  for (const auto& r : c.ranges_) {
    if (!merged.empty() && static_cast<int64_t>(r.first) <= static_cast<int64_t>(merged.back().second) + 1) {
      merged.back().second = std::max(merged.back().second, r.second);
    } else {
      merged.push_back(r);
    }
  }
  c.ranges_ = std::move(merged);
  *choice = std::move(c);
  return true;
}

RecordChoice RecordChoice::Of(std::vector<int32_t> numbers) {
  std::sort(numbers.begin(), numbers.end());
  RecordChoice c;
  c.all_ = false;
  for (int32_t n : numbers) {
    if (!c.ranges_.empty() && static_cast<int64_t>(n) <= static_cast<int64_t>(c.ranges_.back().second) + 1) {
      c.ranges_.back().second = std::max(c.ranges_.back().second, n);
    } else {
      c.ranges_.emplace_back(n, n);
    }
  }
  return c;
}

bool RecordChoice::Resolve(int32_t count, int32_t* first) {
  if (all_) {
    ranges_.clear();
    if (count > 0) ranges_.emplace_back(1, count);
    return true;
  }
  for (auto& r : ranges_) {
    if (r.first > count) {
      *first = r.first;
      return false;
    }
    if (r.second == kOpen) {
      r.second = count;
    } else if (r.second > count) {
      *first = r.second;
      return false;
    }
  }
  return true;
}

int64_t RecordChoice::Count() const {
  int64_t n = 0;
  for (const auto& r : ranges_) n += static_cast<int64_t>(r.second) - r.first + 1;
  return n;
}

bool RecordChoice::Holds(int32_t n) const {
  const auto at = std::partition_point(ranges_.begin(), ranges_.end(), [&](const auto& r) { return r.second < n; });
  return at != ranges_.end() && at->first <= n;
}

std::string RecordChoice::Text() const {
  std::string t;
  for (const auto& r : ranges_) {
    if (!t.empty()) t += ",";
    t += std::to_string(r.first);
    if (r.second != r.first) t += "-" + std::to_string(r.second);
  }
  return t;
}

}  // namespace tanavo
