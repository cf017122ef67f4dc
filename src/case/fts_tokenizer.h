// The search's tokenizer registered with SQLite's full-text search (FTS5),
// under the name kSearchTokenizerName, on one connection. Cases made before
// the search index was a table of ours (search_index.h) name it in their
// full-text table, which cannot be dropped without it.
#pragma once

struct sqlite3;

namespace tanavo {

constexpr const char* kSearchTokenizerName = "tanavo";

// False when the connection has no FTS5 or refused the tokenizer.
bool RegisterSearchTokenizer(sqlite3* db);

}  // namespace tanavo
