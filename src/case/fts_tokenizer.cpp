#include "case/fts_tokenizer.h"

#include <sqlite3.h>

#include <string_view>

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

int Tokenize(Fts5Tokenizer*, void* context, int flags, const char* text, int bytes, TokenCallback token) {
  if (!text || bytes <= 0) return SQLITE_OK;
  const TokenizeFor mode = (flags & FTS5_TOKENIZE_QUERY) ? TokenizeFor::Query : TokenizeFor::Document;
  int rc = SQLITE_OK;
  TokenizeSearchText(std::string_view(text, static_cast<std::size_t>(bytes)), mode, [&](const SearchToken& t) {
    rc = token(context, t.colocated ? FTS5_TOKEN_COLOCATED : 0, t.text.data(), static_cast<int>(t.text.size()),
               static_cast<int>(t.start), static_cast<int>(t.end));
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
