// The case's index of search tokens: for each token of the values' text (as
// search_tokens splits it), the ids of the values that hold it. It keeps
// which values, not where: a phrase, a field or the place of a hit is
// checked again in the few values that hold all of a term's tokens.
//
// A token's values are stored as one row of search_terms, the token's UTF-8
// bytes and its value ids ascending, each as the unsigned LEB128 difference
// from the one before (the first from 0). The index is made in memory as the
// values come, in one look-up of a table per token, and written once, in the
// order of the tokens' bytes, when the case is built.
#pragma once

#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <string>
#include <string_view>
#include <thread>
#include <unordered_map>
#include <vector>

struct sqlite3;

namespace tanavo {

constexpr const char* kSearchTermsSchema =
    "CREATE TABLE search_terms(term BLOB PRIMARY KEY, value_ids BLOB NOT NULL) WITHOUT ROWID;";

// Tokens are numbered in 32 bits while the index is made.
constexpr std::size_t kMaxSearchTerms = 0xFFFFFFFF;
// The (token, value) pairs gathered before they are sorted into the tokens'
// lists: every token of a value is one look-up in tables that stay in the
// processor's cache, and each list is then written in one go per batch, not
// one scattered byte at a time.
constexpr std::size_t kPendingSearchPairs = std::size_t{1} << 21;

class SearchIndexBuilder {
 public:
  // pendingPairs: how many pairs are gathered before they are sorted.
  explicit SearchIndexBuilder(std::size_t pendingPairs = kPendingSearchPairs);
  // The tokens of a value's UTF-8 text; ids must come ascending, each once.
  // False when the index already holds kMaxSearchTerms tokens and this
  // value has another.
  bool Add(std::int64_t valueId, std::string_view utf8);
  // Writes every token's row into search_terms (empty before); false with
  // the database's message left on db.
  bool Write(sqlite3* db);

 private:
  // A token's number, made when it is new; kMaxSearchTerms when full.
  std::uint32_t KeyTerm(std::uint64_t key);
  std::uint32_t WordTerm(const std::string& token);
  std::uint32_t NewTerm(std::string text);
  void Grow();
  void Flush();

  // Tokens of up to kMaxTokenKeyBytes are found by their key, longer words,
  // fewer, by their text.
  struct Slot {
    std::uint64_t key = 0;  // 0: empty
    std::uint32_t term = 0;
  };
  std::vector<Slot> slots_;  // a power of two, at most half used
  int shift_;                // 64 - log2 of the slots
  std::size_t used_ = 0;
  std::vector<std::uint64_t> valueKeys_;  // the tokens of the value being added
  std::vector<std::string> valueWords_;
  std::unordered_map<std::string, std::uint32_t> words_;
  // By token.
  std::vector<std::string> texts_;
  std::vector<std::uint32_t> seenIn_;  // 1 + the pending value that last held it, 0 for none
  std::vector<std::int64_t> lastIds_;  // the last id in its list
  std::vector<std::string> lists_;     // LEB128 differences
  // Not yet in the lists: token << 32 | pending value, in value order.
  std::size_t pendingPairs_;
  std::vector<std::uint64_t> pending_;
  std::vector<std::int64_t> pendingIds_;  // the pending values' ids
};

// The text waiting for the thread that indexes it, at most, besides what
// it is indexing: the values may come faster than they are indexed.
constexpr std::size_t kQueuedSearchTextBytes = std::size_t{8} << 20;

// A builder fed from another thread: the values' Shift_JIS text is handed
// over as it is stored, converted and indexed on a thread of its own while
// the next records are rendered, and the index written when all are in.
class SearchIndexThread {
 public:
  SearchIndexThread();
  ~SearchIndexThread();  // the thread is stopped, its work dropped
  SearchIndexThread(const SearchIndexThread&) = delete;
  SearchIndexThread& operator=(const SearchIndexThread&) = delete;

  // A value's text, ids ascending; waits while the queue is full.
  void Add(std::int64_t valueId, const std::string& sjis);
  // Waits for every value to be indexed and writes the index (empty
  // before); false when the index could not hold a value (failedWhy) or
  // the database refused (its message left on db).
  bool Write(sqlite3* db, std::string* failedWhy);

 private:
  struct Batch {
    std::vector<std::int64_t> ids;
    std::string text;                 // the values' texts one after another
    std::vector<std::size_t> ends;    // where each ends in text
  };
  void Run();
  void Hand(bool last);

  SearchIndexBuilder builder_;
  Batch filling_;  // the caller's
  std::mutex mutex_;
  std::condition_variable changed_;
  std::vector<Batch> queue_;  // under mutex_
  std::size_t queuedBytes_ = 0;
  bool last_ = false;
  bool stop_ = false;
  bool finished_ = false;
  bool full_ = false;  // the builder refused a value
  std::thread thread_;
};

enum class TermLookup { Ok, Damaged, Failed };

// The ids of the values that hold every one of tokens (the last of them a
// prefix of a token when lastIsPrefix), ascending. Damaged when a stored
// list cannot be read; Failed when the database refused (its message left
// on db).
TermLookup ValuesWithTokens(sqlite3* db, const std::vector<std::string>& tokens, bool lastIsPrefix,
                            std::vector<std::int64_t>* ids);

// Reads a stored list of value ids; false when it is cut, a number runs past
// 63 bits or an id does not rise.
bool DecodeValueIds(std::string_view stored, std::vector<std::int64_t>* ids);

}  // namespace tanavo
