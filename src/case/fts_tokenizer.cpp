#include "case/fts_tokenizer.h"

#include <sqlite3.h>

#include <cstdint>
#include <cstring>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_set>
#include <vector>

#include "case/search_tokens.h"

namespace tanavo {

namespace {

// The tokenizer keeps no state: every call splits its text alone.
struct Tokenizer {};
Tokenizer gNoState;  // handed out by every create; never written

int Create(void*, const char**, int, Fts5Tokenizer** out) {
  *out = reinterpret_cast<Fts5Tokenizer*>(&gNoState);
  return SQLITE_OK;
}

void Delete(Fts5Tokenizer*) {}

using TokenCallback = int (*)(void*, int, const char*, int, int, int);

// The tokens of one value already given to the index. The index keeps which
// values hold a token, not where or how often, and every token it is given
// costs a look-up in its table in memory, most of a case's build: a value of
// Japanese text repeats its characters and pairs many times. Tokens of up to
// eight bytes (every pair and character) are kept as numbers in a table of
// their own; longer words, fewer, as text.
class SeenTokens {
 public:
  // A text has at most one token for each ASCII byte (words) and two for
  // each other character (itself and the pair it ends); the table is made
  // twice that, so that a probe ends soon at an empty slot and the table of
  // Japanese text, three bytes a character, is a third of its bytes' count.
  explicit SeenTokens(std::string_view text) {
    std::size_t bound = 0;
    for (char ch : text) {
      const unsigned char b = static_cast<unsigned char>(ch);
      bound += b < 0x80 ? 1 : b >= 0xC0 ? 2 : 0;
    }
    std::size_t size = 64;
    while (size < 2 * bound + 16) size *= 2;
    slots_.assign(size, 0);
  }

  // True the first time a token is offered.
  bool First(const std::string& token) {
    if (token.size() > sizeof(std::uint64_t)) return words_.insert(token).second;
    std::uint64_t key = 0;
    std::memcpy(&key, token.data(), token.size());  // a token holds no NUL byte, so padding tells lengths apart
    const std::size_t mask = slots_.size() - 1;
    for (std::size_t i = static_cast<std::size_t>((key * 0x9E3779B97F4A7C15ull) >> 32) & mask;; i = (i + 1) & mask) {
      if (slots_[i] == key) return false;
      if (slots_[i] == 0) {
        slots_[i] = key;
        return true;
      }
    }
  }

 private:
  std::vector<std::uint64_t> slots_;  // never more than half full
  std::unordered_set<std::string> words_;
};

int Tokenize(Fts5Tokenizer*, void* context, int flags, const char* text, int bytes, TokenCallback token) {
  if (!text || bytes <= 0) return SQLITE_OK;
  const TokenizeFor mode = (flags & FTS5_TOKENIZE_QUERY) ? TokenizeFor::Query : TokenizeFor::Document;
  // A query's tokens keep their order and repeats: they make its phrases.
  std::unique_ptr<SeenTokens> seen;
  if (mode == TokenizeFor::Document) seen = std::make_unique<SeenTokens>(std::string_view(text, static_cast<std::size_t>(bytes)));
  int rc = SQLITE_OK;
  TokenizeSearchText(std::string_view(text, static_cast<std::size_t>(bytes)), mode, [&](const SearchToken& t) {
    if (seen && !seen->First(t.text)) return true;
    rc = token(context, t.colocated && !seen ? FTS5_TOKEN_COLOCATED : 0, t.text.data(),
               static_cast<int>(t.text.size()), static_cast<int>(t.start), static_cast<int>(t.end));
    return rc == SQLITE_OK;
  });
  return rc;
}

fts5_api* FtsApi(sqlite3* db) {
  fts5_api* api = nullptr;
  sqlite3_stmt* st = nullptr;
  if (sqlite3_prepare_v2(db, "SELECT fts5(?1)", -1, &st, nullptr) != SQLITE_OK) return nullptr;
  sqlite3_bind_pointer(st, 1, static_cast<void*>(&api), "fts5_api_ptr", nullptr);
  sqlite3_step(st);
  sqlite3_finalize(st);
  return api;
}

}  // namespace

bool RegisterSearchTokenizer(sqlite3* db) {
  fts5_api* api = FtsApi(db);
  if (!api) return false;
  static fts5_tokenizer tokenizer = {Create, Delete, Tokenize};
  return api->xCreateTokenizer(api, kSearchTokenizerName, nullptr, &tokenizer, nullptr) == SQLITE_OK;
}

}  // namespace tanavo
