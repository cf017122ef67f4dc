#include "case/search_index.h"

#include <sqlite3.h>

#include <algorithm>
#include <cstring>

#include "case/case_file.h"
#include "case/leb128.h"
#include "case/search_tokens.h"

namespace tanavo {

namespace {

constexpr int kFirstSlotBits = 12;

// A key's slot among 2^(64 - shift): the top bits of a product, which
// depend on every bit of the key (the keys of Japanese text differ in a few
// bits of their UTF-8 bytes).
std::size_t SlotOf(std::uint64_t key, int shift) {
  return static_cast<std::size_t>((key * 0x9E3779B97F4A7C15ull) >> shift);
}

// The tokens that begin with prefix are those from prefix up to, not
// including, this: prefix with its last byte below 0xFF raised by one and
// what follows it dropped; empty when there is no such bound.
std::string AfterPrefix(std::string prefix) {
  while (!prefix.empty() && static_cast<unsigned char>(prefix.back()) == 0xFF) prefix.pop_back();
  if (!prefix.empty()) prefix.back() = static_cast<char>(static_cast<unsigned char>(prefix.back()) + 1);
  return prefix;
}

// The ascending union of lists, each once.
std::vector<std::int64_t> Union(std::vector<std::vector<std::int64_t>>& lists) {
  if (lists.size() == 1) return std::move(lists[0]);
  std::vector<std::int64_t> all;
  for (const auto& l : lists) all.insert(all.end(), l.begin(), l.end());
  std::sort(all.begin(), all.end());
  all.erase(std::unique(all.begin(), all.end()), all.end());
  return all;
}

}  // namespace

SearchIndexBuilder::SearchIndexBuilder(std::size_t pendingPairs)
    : slots_(std::size_t{1} << kFirstSlotBits),
      shift_(64 - kFirstSlotBits),
      pendingPairs_(std::clamp<std::size_t>(pendingPairs, 1, kPendingSearchPairs)) {}

bool SearchIndexBuilder::Add(std::int64_t valueId, std::string_view utf8) {
  if (pending_.size() >= pendingPairs_ || pendingIds_.size() >= pendingPairs_) Flush();
  pendingIds_.push_back(valueId);
  const std::uint32_t value = static_cast<std::uint32_t>(pendingIds_.size());
  const auto take = [&](std::uint32_t k) {
    if (k == kMaxSearchTerms) return false;
    if (seenIn_[k] == value) return true;  // a value repeats its tokens: kept once
    seenIn_[k] = value;
    pending_.push_back(std::uint64_t{k} << 32 | (value - 1));
    return true;
  };
  valueKeys_.clear();
  valueWords_.clear();
  DocumentTokenKeys(utf8, &valueKeys_, &valueWords_);
  // Each look-up's slot is asked of memory a few tokens ahead: a text's
  // pairs fall all over the table, and waiting for each in turn is most of
  // the work.
  constexpr std::size_t kAhead = 8;
  const std::size_t n = valueKeys_.size();
  for (std::size_t j = 0; j < n; ++j) {
    if (j + kAhead < n) __builtin_prefetch(&slots_[SlotOf(valueKeys_[j + kAhead], shift_)]);
    if (!take(KeyTerm(valueKeys_[j]))) return false;
  }
  for (const std::string& w : valueWords_) {
    if (!take(WordTerm(w))) return false;
  }
  return true;
}

std::uint32_t SearchIndexBuilder::NewTerm(std::string text) {
  if (texts_.size() >= kMaxSearchTerms) return static_cast<std::uint32_t>(kMaxSearchTerms);
  texts_.push_back(std::move(text));
  seenIn_.push_back(0);
  lastIds_.push_back(0);
  lists_.emplace_back();
  return static_cast<std::uint32_t>(texts_.size() - 1);
}

std::uint32_t SearchIndexBuilder::WordTerm(const std::string& token) {
  const auto it = words_.find(token);
  if (it != words_.end()) return it->second;
  const std::uint32_t k = NewTerm(token);
  if (k != kMaxSearchTerms) words_.emplace(token, k);
  return k;
}

std::uint32_t SearchIndexBuilder::KeyTerm(std::uint64_t key) {
  const std::size_t mask = slots_.size() - 1;
  for (std::size_t i = SlotOf(key, shift_);; i = (i + 1) & mask) {
    if (slots_[i].key == key) return slots_[i].term;
    if (slots_[i].key != 0) continue;
    const std::uint32_t k = NewTerm(TokenOfKey(key));
    if (k == kMaxSearchTerms) return k;
    slots_[i] = {key, k};
    if (++used_ * 2 > slots_.size()) Grow();
    return k;
  }
}

void SearchIndexBuilder::Grow() {
  std::vector<Slot> old(slots_.size() * 2);
  old.swap(slots_);
  const std::size_t mask = slots_.size() - 1;
  --shift_;
  for (const Slot& s : old) {
    if (s.key == 0) continue;
    std::size_t i = SlotOf(s.key, shift_);
    while (slots_[i].key != 0) i = (i + 1) & mask;
    slots_[i] = s;
  }
}

void SearchIndexBuilder::Flush() {
  // Sorted by token, each token's values kept in their order.
  std::vector<std::uint32_t> starts(texts_.size() + 1, 0);
  for (std::uint64_t p : pending_) ++starts[(p >> 32) + 1];
  for (std::size_t k = 1; k < starts.size(); ++k) starts[k] += starts[k - 1];
  std::vector<std::uint32_t> values(pending_.size());
  {
    std::vector<std::uint32_t> at(starts.begin(), starts.end() - 1);
    for (std::uint64_t p : pending_) values[at[p >> 32]++] = static_cast<std::uint32_t>(p);
  }
  for (std::size_t k = 0; k + 1 < starts.size(); ++k) {
    std::string& list = lists_[k];
    for (std::uint32_t i = starts[k]; i < starts[k + 1]; ++i) {
      const std::int64_t id = pendingIds_[values[i]];
      AppendLeb128(&list, static_cast<std::uint64_t>(id - lastIds_[k]));
      lastIds_[k] = id;
    }
  }
  pending_.clear();
  pendingIds_.clear();
  std::fill(seenIn_.begin(), seenIn_.end(), 0);
}

bool SearchIndexBuilder::Write(sqlite3* db) {
  Flush();
  // In the order of the table's key, each row goes at its end.
  std::vector<std::uint32_t> order(texts_.size());
  for (std::size_t k = 0; k < order.size(); ++k) order[k] = static_cast<std::uint32_t>(k);
  std::sort(order.begin(), order.end(),
            [this](std::uint32_t a, std::uint32_t b) { return texts_[a] < texts_[b]; });
  Statement insert(db, "INSERT INTO search_terms(term, value_ids) VALUES(?1, ?2)");
  if (!insert.ok()) return false;
  for (std::uint32_t k : order) {
    insert.BindBlob(1, texts_[k]);
    insert.BindBlob(2, lists_[k]);
    const int rc = insert.Step();
    insert.Reset();
    if (rc != SQLITE_DONE) return false;
  }
  return true;
}

SearchIndexThread::SearchIndexThread() : thread_([this] { Run(); }) {}

SearchIndexThread::~SearchIndexThread() {
  {
    std::lock_guard<std::mutex> lock(mutex_);
    stop_ = true;
  }
  changed_.notify_all();
  if (thread_.joinable()) thread_.join();
}

// A batch is handed over at this size, so that the two threads meet once
// for many values, not for each.
constexpr std::size_t kSearchBatchBytes = std::size_t{256} << 10;

void SearchIndexThread::Add(std::int64_t valueId, const std::string& sjis) {
  filling_.ids.push_back(valueId);
  filling_.text += sjis;
  filling_.ends.push_back(filling_.text.size());
  if (filling_.text.size() >= kSearchBatchBytes) Hand(false);
}

void SearchIndexThread::Hand(bool last) {
  std::unique_lock<std::mutex> lock(mutex_);
  changed_.wait(lock, [this] { return queuedBytes_ < kQueuedSearchTextBytes || stop_; });
  queuedBytes_ += filling_.text.size();
  queue_.push_back(std::move(filling_));
  filling_ = Batch();
  last_ = last;
  lock.unlock();
  changed_.notify_all();
}

void SearchIndexThread::Run() {
  for (;;) {
    std::vector<Batch> batches;
    {
      std::unique_lock<std::mutex> lock(mutex_);
      changed_.wait(lock, [this] { return !queue_.empty() || last_ || stop_; });
      if (stop_) return;
      batches.swap(queue_);
      queuedBytes_ = 0;  // the caller may fill the queue again meanwhile
    }
    changed_.notify_all();
    bool full = false;
    for (const Batch& b : batches) {
      std::size_t from = 0;
      for (std::size_t k = 0; k < b.ids.size() && !full; ++k) {
        full = !builder_.Add(b.ids[k], SearchTextFromShiftJis(b.text.substr(from, b.ends[k] - from)));
        from = b.ends[k];
      }
    }
    std::lock_guard<std::mutex> lock(mutex_);
    full_ = full_ || full;
    if (last_ && queue_.empty()) finished_ = true;
    changed_.notify_all();
    if (finished_) return;
  }
}

bool SearchIndexThread::Write(sqlite3* db, std::string* failedWhy) {
  Hand(true);
  {
    std::unique_lock<std::mutex> lock(mutex_);
    changed_.wait(lock, [this] { return finished_; });
  }
  thread_.join();
  if (full_) {
    *failedWhy = "more than " + std::to_string(kMaxSearchTerms) + " different words";
    return false;
  }
  return builder_.Write(db);
}

bool DecodeValueIds(std::string_view stored, std::vector<std::int64_t>* ids) {
  std::uint64_t id = 0, v = 0;
  for (std::size_t pos = 0; pos < stored.size();) {
    if (!ReadLeb128(stored, &pos, &v) || v == 0 || v > static_cast<std::uint64_t>(INT64_MAX) - id) return false;
    id += v;
    ids->push_back(static_cast<std::int64_t>(id));
  }
  return true;
}

TermLookup ValuesWithTokens(sqlite3* db, const std::vector<std::string>& tokens, bool lastIsPrefix,
                            std::vector<std::int64_t>* ids) {
  ids->clear();
  if (tokens.empty()) return TermLookup::Ok;
  Statement exact(db, "SELECT value_ids FROM search_terms WHERE term = ?1");
  Statement range(db, "SELECT value_ids FROM search_terms WHERE term >= ?1 AND (?2 IS NULL OR term < ?2)");
  if (!exact.ok() || !range.ok()) return TermLookup::Failed;
  // Each token's values; a token a query repeats is looked up once.
  std::vector<std::vector<std::int64_t>> lists;
  for (std::size_t k = 0; k < tokens.size(); ++k) {
    const bool prefix = lastIsPrefix && k + 1 == tokens.size();
    if (!prefix && std::find(tokens.begin(), tokens.begin() + static_cast<long>(k), tokens[k]) !=
                       tokens.begin() + static_cast<long>(k)) {
      continue;
    }
    Statement& s = prefix ? range : exact;
    s.BindBlob(1, tokens[k]);
    if (prefix) {
      const std::string bound = AfterPrefix(tokens[k]);
      if (bound.empty()) s.BindNull(2);
      else s.BindBlob(2, bound);
    }
    std::vector<std::vector<std::int64_t>> rows;
    int rc;
    while ((rc = s.Step()) == SQLITE_ROW) {
      rows.emplace_back();
      if (!DecodeValueIds(s.Text(0), &rows.back())) return TermLookup::Damaged;
    }
    s.Reset();
    if (rc != SQLITE_DONE) return TermLookup::Failed;
    if (rows.empty()) return TermLookup::Ok;  // a token no value holds: nothing holds them all
    lists.push_back(Union(rows));
  }
  // The shortest list first: each step keeps only what it already holds.
  std::sort(lists.begin(), lists.end(), [](const auto& a, const auto& b) { return a.size() < b.size(); });
  *ids = std::move(lists[0]);
  for (std::size_t k = 1; k < lists.size() && !ids->empty(); ++k) {
    std::vector<std::int64_t> both;
    std::set_intersection(ids->begin(), ids->end(), lists[k].begin(), lists[k].end(), std::back_inserter(both));
    ids->swap(both);
  }
  return TermLookup::Ok;
}

}  // namespace tanavo
