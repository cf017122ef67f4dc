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

#include <cstdint>
#include <string>
#include <string_view>
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

  // Tokens of up to eight bytes (every character and pair of Japanese text)
  // are found by their bytes as one number: a token holds no NUL byte, so
  // the zero padding tells lengths apart. Longer words, fewer, by their text.
  struct Slot {
    std::uint64_t key = 0;  // 0: empty
    std::uint32_t term = 0;
  };
  std::vector<Slot> slots_;  // a power of two, at most half used
  int shift_;                // 64 - log2 of the slots
  std::size_t used_ = 0;
  std::vector<std::uint64_t> valueKeys_;  // the short tokens of the value being added
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
