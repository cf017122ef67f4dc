// The case's index of search tokens against a plain scan of the same texts,
// and the stored lists of value ids read back or refused when damaged.
#include <gtest/gtest.h>
#include <sqlite3.h>

#include <algorithm>
#include <random>
#include <set>
#include <string>
#include <vector>

#include "case/search_index.h"
#include "case/search_tokens.h"

namespace tanavo {
namespace {

struct MemoryDb {
  MemoryDb() {
    sqlite3_open(":memory:", &db);
    sqlite3_exec(db, kSearchTermsSchema, nullptr, nullptr, nullptr);
  }
  ~MemoryDb() { sqlite3_close(db); }
  sqlite3* db = nullptr;
};

std::set<std::string> TokensOf(const std::string& text) {
  std::set<std::string> out;
  for (const SearchToken& t : SearchTokens(text, TokenizeFor::Document)) out.insert(t.text);
  return out;
}

// Text of a few kana and kanji (so that pairs repeat across values), Latin
// words short and longer than eight bytes, digits, and separators.
std::string RandomText(std::mt19937& rng) {
  static const std::vector<std::string> pieces = {
      u8"会",   u8"議",    u8"室",     u8"あ",  u8"い",          u8"う", u8"ｶﾞ", u8"ガ", " ", "\r\n", u8"。",
      "meet", "Meeting", "internationalization", "abc", "ＡＢＣ", "42", "2006"};
  std::string s;
  const int n = static_cast<int>(rng() % 40);
  for (int i = 0; i < n; ++i) s += pieces[rng() % pieces.size()];
  return s;
}

TEST(SearchIndex, FindsWhatAScanOfTheTextsFinds) {
  std::mt19937 rng(7);
  std::vector<std::pair<std::int64_t, std::string>> values;
  std::int64_t id = 0;
  for (int i = 0; i < 300; ++i) {
    id += 1 + static_cast<std::int64_t>(rng() % 3);  // ids with gaps, as values of records left out
    values.emplace_back(id, RandomText(rng));
  }
  std::set<std::string> every;
  std::vector<std::set<std::string>> tokens;
  for (const auto& v : values) {
    tokens.push_back(TokensOf(v.second));
    every.insert(tokens.back().begin(), tokens.back().end());
  }
  every.insert("absent");
  // Each batch size sorts the pairs into the lists at other points.
  for (std::size_t batch : {std::size_t{1}, std::size_t{7}, kPendingSearchPairs}) {
    MemoryDb m;
    SearchIndexBuilder b(batch);
    for (const auto& v : values) ASSERT_TRUE(b.Add(v.first, v.second));
    ASSERT_TRUE(b.Write(m.db));
    auto scan = [&](const std::vector<std::string>& want, bool prefix) {
      std::vector<std::int64_t> ids;
      for (std::size_t k = 0; k < values.size(); ++k) {
        bool all = true;
        for (std::size_t w = 0; w < want.size() && all; ++w) {
          if (prefix && w + 1 == want.size()) {
            const auto it = tokens[k].lower_bound(want[w]);
            all = it != tokens[k].end() && it->compare(0, want[w].size(), want[w]) == 0;
          } else {
            all = tokens[k].count(want[w]) > 0;
          }
        }
        if (all) ids.push_back(values[k].first);
      }
      return ids;
    };
    std::vector<std::string> all(every.begin(), every.end());
    for (int q = 0; q < 200; ++q) {
      std::vector<std::string> want;
      for (int w = 0; w < 1 + q % 3; ++w) want.push_back(all[rng() % all.size()]);
      const bool prefix = q % 4 == 0;
      if (prefix) want.back() = want.back().substr(0, 1 + rng() % want.back().size());
      std::vector<std::int64_t> ids;
      ASSERT_EQ(ValuesWithTokens(m.db, want, prefix, &ids), TermLookup::Ok);
      EXPECT_EQ(ids, scan(want, prefix)) << batch << " " << want[0] << (prefix ? "*" : "");
    }
  }
}

TEST(SearchIndex, StoredListsAreReadOrRefused) {
  const std::string eightBytesOfSevenBits = "\xFF\xFF\xFF\xFF\xFF\xFF\xFF\xFF";
  const struct {
    std::string stored;
    bool read;
    std::vector<std::int64_t> ids;
  } cases[] = {
      {"", true, {}},
      {"\x01\x02\x80\x01", true, {1, 3, 131}},
      {eightBytesOfSevenBits + "\x7F", true, {INT64_MAX}},  // the largest id
      {"\x01" + eightBytesOfSevenBits + "\x7F", false, {}},  // past the largest
      {eightBytesOfSevenBits + "\xFF\x01", false, {}},       // past 64 bits
      {"\x80", false, {}},                                  // cut in a number
      {std::string("\x01\x00", 2), false, {}},              // an id that does not rise
  };
  for (const auto& c : cases) {
    std::vector<std::int64_t> ids;
    EXPECT_EQ(DecodeValueIds(c.stored, &ids), c.read);
    if (c.read) {
      EXPECT_EQ(ids, c.ids);
    }
  }
  MemoryDb m;
  sqlite3_exec(m.db, "INSERT INTO search_terms VALUES(x'61', x'80')", nullptr, nullptr, nullptr);
  std::vector<std::int64_t> ids;
  EXPECT_EQ(ValuesWithTokens(m.db, {"a"}, false, &ids), TermLookup::Damaged);
  EXPECT_EQ(ValuesWithTokens(m.db, {""}, true, &ids), TermLookup::Damaged);
}

}  // namespace
}  // namespace tanavo
