// The case file: built from a loaded index, searched, tagged; a file that is
// no case of ours is refused and left as it was.
#include <gtest/gtest.h>
#include <sqlite3.h>

#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "case/case_build.h"
#include "case/case_file.h"
#include "case/case_search.h"
#include "case/case_tags.h"
#include "case/case_view.h"
#include "case/fts_tokenizer.h"
#include "mail_records.h"
#include "platform/digest.h"

namespace tanavo {
namespace {

namespace fs = std::filesystem;
using namespace std::string_literals;

void WriteBytes(const fs::path& p, const std::string& bytes) {
  std::ofstream out(p, std::ios::binary | std::ios::trunc);
  out << bytes;
}

const std::string kPng = "\x89PNG\r\n\x1A\n\0\0\0\rIHDR"s;

// Literals here are the program's Shift_JIS (the mobile file); queries are UTF-8 (u8).
const std::vector<Mail> kCaseMails = {
    {"taro@example.jp", "明日の会議について", "会議室は三階です。\r\nMeeting at 10:30", {}},
    {"hanako@example.jp", "ｶﾞｽ料金", "ＡＢＣ社の請求書", {{"invoice.png", kPng}}},
    {"jiro@example.jp", "Re: lunch", "Let's meet for lunch tomorrow", {}},
};

struct BuiltCase {
  explicit BuiltCase(const std::vector<Mail>& mails = kCaseMails)
      : folder(FreshTestFolder("case_file")), path((folder / "mails.tcase").string()) {
    LoadMails(f, mails, "??Subject??");
    WriteBytes(folder / "mails.idx", "abcd");  // stands for the index file
    std::uint64_t size = 0;
    EXPECT_TRUE(HashFile((folder / "mails.idx").string(), &indexSum, &size));
    Build(CaseBuildStatus::Built);
  }
  void Build(CaseBuildStatus expected) { Build(expected, indexSum); }
  void Build(CaseBuildStatus expected, const std::string& sum) {
    std::unique_ptr<CaseFile> c;
    ASSERT_EQ(CaseFile::Open(path, true, &c), CaseOpenStatus::Ok);
    CaseBuildInput input;
    input.evidence = {{"index", (folder / "mails.idx").string(), 4, sum}};
    EXPECT_EQ(BuildCase(*c, f.app, input).status, expected);
  }
  std::unique_ptr<CaseFile> Open() {
    std::unique_ptr<CaseFile> c;
    EXPECT_EQ(CaseFile::Open(path, false, &c), CaseOpenStatus::Ok);
    return c;
  }
  std::vector<int> Numbers(const std::string& query) {
    std::unique_ptr<CaseFile> c = Open();
    const SearchResult r = SearchCase(*c, query, false);
    EXPECT_EQ(r.status, SearchStatus::Ok) << query << ": " << r.error;
    std::vector<int> n;
    for (const SearchHit& h : r.hits) n.push_back(h.number);
    return n;
  }
  // The data display's list of the hits, in number order.
  std::vector<int> Listed(const std::string& query) {
    std::unique_ptr<CaseFile> c = Open();
    RecordView view;
    view.queryUtf8 = query;
    const RecordOrder r = OrderRecords(*c, view);
    EXPECT_EQ(r.status, OrderStatus::Ok) << query << ": " << r.error;
    return std::vector<int>(r.numbers.begin(), r.numbers.end());
  }
  FakeApp f;
  fs::path folder;
  std::string path;
  std::string indexSum;
};

TEST(CaseFileTest, QueriesFindTheirRecords) {
  BuiltCase b;
  const struct {
    const char* query;
    std::vector<int> hits;
  } cases[] = {
      {u8"会議", {1}},            // two characters inside a sentence
      {u8"会", {1}},              // one character
      {u8"会議室", {1}},          // a phrase of bigrams
      {u8"議会", {}},             // the same characters in another order
      {u8"ガス", {2}},            // ｶﾞｽ in the record
      {u8"ｶﾞｽ", {2}},             // and in the query
      {"abc", {2}},              // ＡＢＣ in the record
      {"LUNCH", {3}},
      {"lun*", {3}},
      {"lun", {}},               // a word is whole without *
      {u8"\"meeting at 10\"", {1}},
      {u8"会議 OR lunch", {1, 3}},
      {u8"請求 AND abc", {2}},
      {u8"NOT 会議", {2, 3}},
      {u8"-会議 -lunch", {2}},
      {u8"(会議 OR ガス) NOT 請求", {1}},
      // A phrase or a field beside a plain word is checked only in the
      // records the word found.
      {u8"会議室 example", {1}},
      {u8"example (会議室 OR subject:lunch)", {1, 3}},
      {u8"example -会議室", {2, 3}},
      {u8"subject:lunch subject:re", {3}},
      {u8"subject:会議", {1}},
      {u8"body:会議", {1}},
      {"from:hanako", {2}},
      {"attachment:invoice", {2}},
      {"type:image/png", {2}},
      {"has:attachment", {2}},
      {"time:none", {1, 2, 3}},  // these mails carry no date
      {u8"。、", {}},             // punctuation alone
  };
  for (const auto& c : cases) {
    EXPECT_EQ(b.Numbers(c.query), c.hits) << c.query;
    EXPECT_EQ(b.Listed(c.query), c.hits) << c.query;
  }
}

TEST(CaseFileTest, WrongQueriesAreRefused) {
  BuiltCase b;
  std::unique_ptr<CaseFile> c = b.Open();
  for (const std::string& q : std::vector<std::string>{"", "(lunch", "lunch OR", "nosuchfield:x", "time:yesterday", "has:everything",
                              std::string(kMaxQueryBytes + 1, 'a')}) {
    EXPECT_EQ(SearchCase(*c, q, false).status, SearchStatus::BadQuery) << q;
  }
  std::string deep;
  for (int i = 0; i < 1000; ++i) deep += "(";
  EXPECT_EQ(SearchCase(*c, deep + "a", false).status, SearchStatus::BadQuery);
}

TEST(CaseFileTest, AHitSaysWhereInTheRecordItWasFound) {
  BuiltCase b;
  std::unique_ptr<CaseFile> c = b.Open();
  const SearchResult r = SearchCase(*c, u8"会議室", true);
  ASSERT_EQ(r.hits.size(), 1u);
  const SearchHit& h = r.hits[0];
  EXPECT_EQ(h.listLine, "明日の会議について");
  EXPECT_EQ(h.offset, 0);
  EXPECT_GT(h.length, 0);
  ASSERT_EQ(h.places.size(), 1u);
  EXPECT_EQ(h.places[0].entry, "Body");
  EXPECT_EQ(h.places[0].occurrence, 1);
  EXPECT_EQ(h.places[0].position, 1);  // the body's first character, Shift_JIS bytes counted from 1
  EXPECT_EQ(h.places[0].excerpt.substr(0, 11), u8"[会議室]");
  // Offset and length are the record's bytes in the mobile file.
  const std::string& mobile = b.f.app.state.mobileFile;
  EXPECT_EQ(mobile.substr(static_cast<std::size_t>(h.length) - 7, 7), "</MAIL>");
  const SearchResult second = SearchCase(*c, u8"ガス", true);
  ASSERT_EQ(second.hits.size(), 1u);
  EXPECT_EQ(mobile.substr(static_cast<std::size_t>(second.hits[0].offset), 6), "<MAIL>");
  EXPECT_GT(second.hits[0].offset, h.length);
  ASSERT_EQ(second.hits[0].places.size(), 1u);
  EXPECT_EQ(second.hits[0].places[0].entry, "Subject");
}

// The index knows only which values hold a token: a phrase is its tokens in
// order, found again in the text of the values that hold them all.
TEST(CaseFileTest, APhraseIsItsTokensInOrderNotJustAllOfThem) {
  BuiltCase b({{"a@example.jp", "one", "あいう、いうえ。ｶﾞｽ会社", {}},
               {"b@example.jp", "two", "あいうえ", {}},
               // the bytes of いうえ one byte after ｂ, then うえ and いう
               {"c@example.jp", "three", "ｂ" "\xA2" "うえ、いう", {}},
               {"d@example.jp", "four", "\x80" "いうえ", {}}});  // a byte that is no character
  const struct {
    const char* query;
    std::vector<int> hits;
  } cases[] = {
      {u8"あいうえ", {2}},        // record 1 holds every pair, not in a row
      {u8"いうえ", {1, 2, 4}},
      {u8"う、い", {1}},          // characters alone on both sides of a mark
      {u8"ガス会社", {1}},        // half-width in the record: its bytes differ
      {u8"subject:あいう", {}},
  };
  for (const auto& c : cases) EXPECT_EQ(b.Numbers(c.query), c.hits) << c.query;
  std::unique_ptr<CaseFile> c = b.Open();
  const SearchResult r = SearchCase(*c, u8"いうえ", true);
  ASSERT_EQ(r.hits.size(), 3u);
  ASSERT_EQ(r.hits[0].places.size(), 1u);
  EXPECT_EQ(r.hits[0].places[0].position, 9);  // after あいう、 (four characters of two bytes)
  EXPECT_EQ(r.hits[0].places[0].excerpt, u8"あいう、[いうえ]。ｶﾞｽ会社");
}

TEST(CaseFileTest, AttachmentsAreHashedAndTypedByContent) {
  BuiltCase b;
  std::unique_ptr<CaseFile> c = b.Open();
  Statement s(c->db(), "SELECT record, name, size, sha256, type FROM attachments");
  ASSERT_EQ(s.Step(), SQLITE_ROW);
  EXPECT_EQ(s.Int(0), 2);
  EXPECT_EQ(s.Text(1), "invoice.png");
  EXPECT_EQ(s.Int(2), static_cast<std::int64_t>(kPng.size()));
  Sha256Digest d;
  ASSERT_TRUE(Sha256OfBytes(kPng, &d));
  EXPECT_EQ(s.Text(3), HexDigest(d));
  EXPECT_EQ(s.Text(4), "image/png");
  EXPECT_EQ(s.Step(), SQLITE_DONE);
}

TEST(CaseFileTest, TypesByContent) {
  const struct {
    std::string bytes;
    const char* type;
  } cases[] = {
      {"\xFF\xD8\xFF\xE0", "image/jpeg"}, {kPng, "image/png"},         {"GIF89a..", "image/gif"},
      {"%PDF-1.4", "application/pdf"},    {"\0\0\0\x14" "ftyp3gp4"s, "video/3gpp"},
      {"BEGIN:VCARD\r\n", "text/vcard"},  {"hello\r\n", "text/plain"}, {"a\0b"s, "application/octet-stream"},
      {"", "application/octet-stream"},
  };
  for (const auto& c : cases) EXPECT_EQ(TypeByContent(c.bytes), c.type) << c.bytes;
}

TEST(CaseFileTest, TagsOutliveARebuildAndAnotherIndexIsRefused) {
  BuiltCase b;
  {
    std::unique_ptr<CaseFile> c = b.Open();
    EXPECT_EQ(AddTag(*c, 2, u8"請求", u8"要確認"), TagStatus::Saved);
    EXPECT_EQ(AddTag(*c, 99, "x", ""), TagStatus::NoRecord);
    EXPECT_EQ(AddTag(*c, 1, std::string(kMaxTagLabelBytes + 1, 'x'), ""), TagStatus::TooLong);
  }
  b.Build(CaseBuildStatus::Built);
  b.Build(CaseBuildStatus::OtherEvidence, "2222");
  std::unique_ptr<CaseFile> c = b.Open();
  std::vector<CaseTag> tags;
  ASSERT_TRUE(ListTags(*c, &tags));
  ASSERT_EQ(tags.size(), 1u);
  EXPECT_EQ(tags[0].record, 2);
  EXPECT_EQ(tags[0].label, u8"請求");
  EXPECT_EQ(tags[0].note, u8"要確認");
  EXPECT_EQ(tags[0].listLine, "ｶﾞｽ料金");
  EXPECT_EQ(b.Numbers(u8"tag:請求"), std::vector<int>{2});
  // Still the first build's evidence.
  ASSERT_EQ(c->Evidence().size(), 1u);
  EXPECT_EQ(c->Evidence()[0].sha256, b.indexSum);
}

// A case made when the search index was SQLite's full-text table: opened,
// it loses that index and is made again on its next build, its tags kept. A
// damaged one is refused and left as it was.
TEST(CaseFileTest, ACaseOfTheFormerIndexIsUpgradedKeepingItsTags) {
  BuiltCase b;
  auto makeFormer = [&] {
    sqlite3* db = nullptr;
    ASSERT_EQ(sqlite3_open(b.path.c_str(), &db), SQLITE_OK);
    ASSERT_TRUE(RegisterSearchTokenizer(db));
    ASSERT_EQ(sqlite3_exec(db,
                           "DROP TABLE search_terms; "
                           "CREATE VIEW entry_texts AS SELECT id, tanavo_utf8(value) AS text FROM entry_values; "
                           "CREATE VIRTUAL TABLE entry_search USING fts5(text, content='entry_texts', "
                           "content_rowid='id', tokenize='tanavo', detail='none', columnsize=0); "
                           "INSERT INTO tags(record, label, note, made) VALUES(2, 'a', 'b', 'c'); "
                           "PRAGMA user_version=1; PRAGMA wal_checkpoint(TRUNCATE);",
                           nullptr, nullptr, nullptr),
              SQLITE_OK)
        << sqlite3_errmsg(db);
    sqlite3_close(db);
  };
  makeFormer();
  {
    std::unique_ptr<CaseFile> c = b.Open();
    EXPECT_FALSE(c->Built());
    EXPECT_EQ(c->Info("state"), "");
    Statement former(c->db(), "SELECT count(*) FROM sqlite_schema WHERE name LIKE 'entry_search%' OR name = 'entry_texts'");
    ASSERT_EQ(former.Step(), SQLITE_ROW);
    EXPECT_EQ(former.Int(0), 0);
  }
  b.Build(CaseBuildStatus::Built);
  EXPECT_EQ(b.Numbers(u8"会議"), std::vector<int>{1});
  EXPECT_EQ(b.Numbers("tag:a"), std::vector<int>{2});

  // Damaged past its first pages: refused, not written.
  makeFormer();
  std::string bytes = ReadBytes(b.path);
  ASSERT_GT(bytes.size(), 8192u);
  for (std::size_t i = 4096; i < bytes.size(); i += 7) bytes[i] = '\x5A';
  WriteBytes(b.path, bytes);
  std::unique_ptr<CaseFile> c;
  EXPECT_EQ(CaseFile::Open(b.path, false, &c), CaseOpenStatus::Damaged);
  c.reset();
  EXPECT_EQ(ReadBytes(b.path), bytes);
}

// A list of the search index that cannot be read fails the search, not
// the program, and says so.
TEST(CaseFileTest, ADamagedSearchIndexFailsTheSearch) {
  BuiltCase b;
  {
    std::unique_ptr<CaseFile> c = b.Open();
    ASSERT_TRUE(c->Exec("UPDATE search_terms SET value_ids = x'80'"));
  }
  std::unique_ptr<CaseFile> c = b.Open();
  const SearchResult r = SearchCase(*c, u8"会議", false);
  EXPECT_EQ(r.status, SearchStatus::Failed);
  EXPECT_EQ(r.error, "the search index of the case is damaged");
}

TEST(CaseFileTest, EvidenceThatChangedIsSeen) {
  BuiltCase b;
  const fs::path evidence = b.folder / "mails.idx";
  std::unique_ptr<CaseFile> c = b.Open();
  ASSERT_EQ(c->CheckEvidence().size(), 1u);
  EXPECT_EQ(c->CheckEvidence()[0].state, EvidenceState::Same);
  WriteBytes(evidence, "abce");
  EXPECT_EQ(c->CheckEvidence()[0].state, EvidenceState::Changed);
  fs::remove(evidence);
  EXPECT_EQ(c->CheckEvidence()[0].state, EvidenceState::Missing);
}

TEST(CaseFileTest, AFileThatIsNoCaseIsRefusedAndKept) {
  const fs::path folder = FreshTestFolder("case_foreign");
  // Another program's SQLite database.
  const fs::path other = folder / "other.tcase";
  {
    sqlite3* db = nullptr;
    ASSERT_EQ(sqlite3_open(other.string().c_str(), &db), SQLITE_OK);
    ASSERT_EQ(sqlite3_exec(db, "CREATE TABLE t(x); INSERT INTO t VALUES(1);", nullptr, nullptr, nullptr), SQLITE_OK);
    sqlite3_close(db);
  }
  // A case of ours whose pages were overwritten in the middle.
  BuiltCase b;
  std::string damaged = ReadBytes(b.path);
  ASSERT_GT(damaged.size(), 8192u);
  for (std::size_t i = 4096; i < damaged.size(); i += 7) damaged[i] = '\x5A';
  const fs::path broken = folder / "broken.tcase";
  WriteBytes(broken, damaged);
  const struct {
    fs::path path;
    std::string bytes;
  } cases[] = {
      {folder / "text.tcase", "not a database\n"},
      {folder / "half.tcase", ReadBytes(b.path).substr(0, 100)},
      {other, ReadBytes(other)},
      {broken, damaged},
  };
  for (const auto& c : cases) {
    if (c.path != other && c.path != broken) WriteBytes(c.path, c.bytes);
    for (bool create : {false, true}) {
      std::unique_ptr<CaseFile> cf;
      const CaseOpenStatus s = CaseFile::Open(c.path.string(), create, &cf);
      if (s == CaseOpenStatus::Ok) {
        // Opened (its first page is sound): it is never made fit to write.
        EXPECT_FALSE(cf->Intact()) << c.path;
      } else {
        EXPECT_TRUE(s == CaseOpenStatus::NotACase || s == CaseOpenStatus::Damaged) << c.path;
      }
      cf.reset();
      EXPECT_EQ(ReadBytes(c.path), c.bytes) << c.path;
      EXPECT_FALSE(fs::exists(c.path.string() + "-wal") && fs::file_size(c.path.string() + "-wal") > 0) << c.path;
    }
  }
}

TEST(CaseFileTest, TwoOpenersShareOneCase) {
  BuiltCase b;
  std::unique_ptr<CaseFile> first = b.Open();
  std::unique_ptr<CaseFile> second = b.Open();
  // One reads while the other writes; each sees the other's saved tags.
  {
    Statement reading(first->db(), "SELECT number FROM records");
    ASSERT_EQ(reading.Step(), SQLITE_ROW);
    EXPECT_EQ(AddTag(*second, 1, "a", ""), TagStatus::Saved);
  }
  EXPECT_EQ(AddTag(*first, 3, "b", ""), TagStatus::Saved);
  std::vector<CaseTag> tags;
  ASSERT_TRUE(ListTags(*second, &tags));
  EXPECT_EQ(tags.size(), 2u);
  EXPECT_TRUE(first->Intact());
}

// A hit of the index names its record through the count of values of each
// record; a case without the count (altered by hand), or with one that
// cannot be read, is searched through its values and finds the same.
TEST(CaseFileTest, ACaseWithoutItsCountOfValuesIsSearchedAlike) {
  BuiltCase b;
  const std::vector<std::string> queries = {u8"会議", u8"会議室", u8"会議 OR lunch", u8"NOT 会議", "subject:lunch",
                                            u8"ｶﾞｽ", "lun*", u8"請求 AND abc", "example"};
  auto search = [&] {
    std::unique_ptr<CaseFile> c = b.Open();
    std::vector<std::string> found;
    for (const std::string& q : queries) {
      const SearchResult r = SearchCase(*c, q, true);
      std::string line = q + ":";
      for (const SearchHit& h : r.hits) {
        line += " " + std::to_string(h.number) + "/" + h.listLine;
        for (const HitPlace& p : h.places) line += "@" + p.entry + std::to_string(p.position);
      }
      found.push_back(line);
    }
    return found;
  };
  const std::vector<std::string> counted = search();
  EXPECT_EQ(counted[0], std::string(u8"会議") + ": 1/明日の会議について@Subject7");
  EXPECT_EQ(counted.back(), "example: 1/明日の会議について@From6 2/ｶﾞｽ料金@From8 3/Re: lunch@From6");
  {
    std::unique_ptr<CaseFile> c = b.Open();
    EXPECT_EQ(c->Info(kValuesPerRecordKey).size(), 3u);  // three records of few values, one byte each
    ASSERT_TRUE(c->Exec("UPDATE case_info SET value = x'85' WHERE key = 'values_per_record'"));
  }
  EXPECT_EQ(search(), counted);  // cut short
  {
    std::unique_ptr<CaseFile> c = b.Open();
    ASSERT_TRUE(c->Exec("DELETE FROM case_info WHERE key = 'values_per_record'"));
  }
  EXPECT_EQ(search(), counted);  // without it
}

// The sort by sender is made outside the database: it must give the order
// ORDER BY gives, ties in record order, empty and missing keys, bytes of
// Shift_JIS above 0x7F, keys that begin others, and values that are no blob.
TEST(CaseFileTest, SortingBySenderGivesTheDatabasesOrder) {
  const fs::path folder = FreshTestFolder("case_sort");
  std::unique_ptr<CaseFile> c;
  ASSERT_EQ(CaseFile::Open((folder / "sort.tcase").string(), true, &c), CaseOpenStatus::Ok);
  const std::vector<std::string> keys = {
      "b", "a", "", "\x82\xA0", "a", "\xB1", "ab", "a\0b"s, "b", "\x82\x9F", "", "a\x01", "\xFF", "a",
      "\x82\xA0", "ab", "B", "a ", "z", "\x81\x40"};
  ASSERT_TRUE(c->Exec("BEGIN"));
  Statement rec(c->db(), "INSERT INTO records(number, offset, length, found, list_line) VALUES(?1, 0, 1, 1, 'x')");
  Statement val(c->db(), "INSERT INTO entry_values(record, entry, occurrence, name, name_key, value) "
                         "VALUES(?1, ?2, ?3, 'From', 'from', ?4)");
  auto value = [&](int n, int entry, int occurrence, const std::string& v) {
    val.Bind(1, static_cast<std::int64_t>(n));
    val.Bind(2, static_cast<std::int64_t>(entry));
    val.Bind(3, static_cast<std::int64_t>(occurrence));
    val.BindBlob(4, v);
    ASSERT_EQ(val.Step(), SQLITE_DONE);
    val.Reset();
  };
  const int count = 3 * static_cast<int>(keys.size());
  for (int n = 1; n <= count; ++n) {
    rec.Bind(1, static_cast<std::int64_t>(n));
    ASSERT_EQ(rec.Step(), SQLITE_DONE);
    rec.Reset();
    const std::size_t k = static_cast<std::size_t>(n - 1) % (keys.size() + 3);
    if (k < keys.size()) value(n, 2, 1, keys[k]);  // the others have none
    if (n % 5 == 0) value(n, 2, 2, "0");           // a second value is not sorted by
    if (n % 7 == 0) value(n, 3, 1, "0");           // nor another entry's
  }
  ASSERT_TRUE(c->Exec("UPDATE entry_values SET value = CAST(value AS TEXT) WHERE record = 9;"
                      "UPDATE entry_values SET value = 12 WHERE record = 10 AND entry = 2 AND occurrence = 1;"
                      "UPDATE entry_values SET value = 3.5 WHERE record = 11 AND entry = 2 AND occurrence = 1;"
                      "INSERT INTO entry_values(record, entry, occurrence, name, name_key, value) "
                      "VALUES(12, 2, 1, 'From', 'from', x'00');"  // a record with two first values
                      "INSERT INTO tags(record, label, note, made) VALUES(4, 'x', '', ''), (40, 'x', '', ''),"
                      "(13, 'x', '', ''), (2, 'x', '', '');"
                      "COMMIT"));
  ASSERT_EQ(SortEntry(*c, RecordSort::Sender), 2);
  auto database = [&](const std::string& where) {
    Statement s(c->db(), "SELECT r.number FROM records r LEFT JOIN entry_values k ON k.record = r.number AND "
                         "k.entry = 2 AND k.occurrence = 1" + where + " ORDER BY k.value IS NULL, k.value, r.number");
    std::vector<std::int32_t> order;
    while (s.Step() == SQLITE_ROW) order.push_back(static_cast<std::int32_t>(s.Int(0)));
    return order;
  };
  RecordView view;
  view.sort = RecordSort::Sender;
  const RecordOrder all = OrderRecords(*c, view);
  EXPECT_EQ(all.status, OrderStatus::Ok);
  EXPECT_EQ(all.numbers.size(), static_cast<std::size_t>(count) + 1);  // record 12 twice, as the join has it
  EXPECT_EQ(all.numbers, database(""));
  view.taggedOnly = true;  // few records: their keys looked up one by one
  EXPECT_EQ(OrderRecords(*c, view).numbers, database(" WHERE r.number IN (SELECT record FROM tags)"));
}

}  // namespace
}  // namespace tanavo
