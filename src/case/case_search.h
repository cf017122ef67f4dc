// Search of a case file. A query is words and "phrases" joined by AND (or
// nothing), OR and NOT (or a leading -), in parentheses as needed; a word
// ending in * is a prefix. A term may name a field: any Data entry's name
// (subject:会議), time:FROM..TO (the clock as the record shows it, any prefix
// of yyyy-mm-ddThh:mm:ss; either end may be left open), attachment:NAME,
// type:TYPE (attachments by content), tag:LABEL, has:attachment|time|tag.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "case/case_file.h"

namespace tanavo {

// A query longer than this is refused: each of its terms is a look-up.
constexpr std::size_t kMaxQueryBytes = 4096;
constexpr int kMaxQueryTerms = 64;

// Where in the record a term of the query was found.
struct HitPlace {
  std::string term;      // the term as the query gave it (UTF-8)
  std::string entry;     // the Data entry's name (Shift_JIS)
  std::int64_t occurrence = 0;  // which value of the entry, from 1
  std::int64_t position = 0;    // 1-based byte position in that value (Shift_JIS, as the data display shows it)
  std::string excerpt;   // the text around it (UTF-8), the match in [ ]
};

struct SearchHit {
  std::int32_t number = 0;
  std::int64_t offset = 0;  // of the record's first byte in the mobile file
  std::int64_t length = 0;
  std::string listLine;     // Shift_JIS
  std::string time;         // ISO 8601, empty without one
  bool zoneAssumed = false;
  std::optional<std::string> utc;  // the time in UTC the case sorts by, read for SearchOrder::Time
  std::vector<HitPlace> places;  // filled when asked for
};

enum class SearchStatus { Ok, BadQuery, Failed };
enum class SearchOrder { Number, Time };

struct SearchResult {
  SearchStatus status = SearchStatus::Failed;
  std::string error;  // UTF-8: what is wrong with the query, or the database's message
  std::vector<SearchHit> hits;
};

SearchResult SearchCase(CaseFile& c, const std::string& queryUtf8, bool withPlaces,
                        SearchOrder order = SearchOrder::Number);

// The numbers of the records a query finds, ascending, each once, for
// views that combine it with other conditions and orders. BadQuery with
// error (UTF-8) when the query is not one; Failed with the database's.
SearchStatus FindRecords(CaseFile& c, const std::string& queryUtf8, std::vector<std::int64_t>* numbers,
                         std::string* error);

// A JSON string of UTF-8 text in ASCII alone (\uXXXX for the rest), so that
// it passes any conversion of the stream unchanged.
std::string JsonString(const std::string& utf8);

}  // namespace tanavo
