#include "case/case_search.h"

#include <sqlite3.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <memory>
#include <unordered_map>

#include "case/case_build.h"
#include "case/leb128.h"
#include "case/search_index.h"
#include "case/search_tokens.h"
#include "platform/console/utf8.h"
#include "text/bytes.h"

namespace tanavo {

namespace {

struct Node {
  enum Kind { And, Or, Not, Term } kind = Term;
  std::vector<std::unique_ptr<Node>> children;
  std::string field;  // folded field key; empty for the whole text
  std::string text;   // UTF-8
  bool prefix = false;
};

struct Lexeme {
  enum Kind { Word, Phrase, Open, Close, End } kind = End;
  std::string text;
  std::string field;  // a phrase's field: subject:"..."
};

bool IsSpaceAt(const std::string& s, std::size_t i, std::size_t* width) {
  if (s[i] == ' ' || s[i] == '\t' || s[i] == '\r' || s[i] == '\n') {
    *width = 1;
    return true;
  }
  if (s.compare(i, 3, "\xE3\x80\x80") == 0) {  // the ideographic space
    *width = 3;
    return true;
  }
  return false;
}

class Parser {
 public:
  explicit Parser(const std::string& q) : q_(q) { Advance(); }

  std::unique_ptr<Node> Parse(std::string* error) {
    std::unique_ptr<Node> n = OrExpr();
    if (error_.empty() && next_.kind != Lexeme::End) error_ = "unexpected )";
    if (error_.empty() && terms_ == 0) error_ = "no search term";
    *error = error_;
    return error_.empty() ? std::move(n) : nullptr;
  }

 private:
  void Advance() {
    next_ = Lexeme();
    std::size_t w = 0;
    while (pos_ < q_.size() && IsSpaceAt(q_, pos_, &w)) pos_ += w;
    if (pos_ >= q_.size()) return;
    const char c = q_[pos_];
    if (c == '(' || c == ')') {
      next_.kind = c == '(' ? Lexeme::Open : Lexeme::Close;
      ++pos_;
      return;
    }
    if (c == '"') {
      next_.kind = Lexeme::Phrase;
      ReadPhrase();
      return;
    }
    const std::size_t start = pos_;
    while (pos_ < q_.size() && !IsSpaceAt(q_, pos_, &w) && q_[pos_] != '(' && q_[pos_] != ')' && q_[pos_] != '"') ++pos_;
    next_.kind = Lexeme::Word;
    next_.text = q_.substr(start, pos_ - start);
    // field:"phrase"
    if (pos_ < q_.size() && q_[pos_] == '"' && next_.text.size() > 1 && next_.text.back() == ':') {
      next_.field = next_.text.substr(0, next_.text.size() - 1);
      next_.kind = Lexeme::Phrase;
      ReadPhrase();
    }
  }

  void ReadPhrase() {
    ++pos_;  // the opening quote
    const std::size_t close = q_.find('"', pos_);
    const std::size_t end = close == std::string::npos ? q_.size() : close;
    next_.text = q_.substr(pos_, end - pos_);
    pos_ = close == std::string::npos ? q_.size() : close + 1;
  }

  std::unique_ptr<Node> Combine(Node::Kind kind, std::unique_ptr<Node> a, std::unique_ptr<Node> b) {
    auto n = std::make_unique<Node>();
    n->kind = kind;
    n->children.push_back(std::move(a));
    n->children.push_back(std::move(b));
    return n;
  }

  std::unique_ptr<Node> OrExpr() {
    std::unique_ptr<Node> left = AndExpr();
    while (error_.empty() && next_.kind == Lexeme::Word && next_.text == "OR") {
      Advance();
      left = Combine(Node::Or, std::move(left), AndExpr());
    }
    return left;
  }

  std::unique_ptr<Node> AndExpr() {
    std::unique_ptr<Node> left = Unary();
    for (;;) {
      if (!error_.empty() || next_.kind == Lexeme::End || next_.kind == Lexeme::Close) return left;
      if (next_.kind == Lexeme::Word && next_.text == "OR") return left;
      if (next_.kind == Lexeme::Word && next_.text == "AND") Advance();
      left = Combine(Node::And, std::move(left), Unary());
    }
  }

  std::unique_ptr<Node> Unary() {
    if (++depth_ > kMaxQueryTerms) {
      error_ = "the query is nested too deeply";
      return nullptr;
    }
    std::unique_ptr<Node> n;
    if (next_.kind == Lexeme::Word && (next_.text == "NOT" || (next_.text == "-"))) {
      Advance();
      n = std::make_unique<Node>();
      n->kind = Node::Not;
      n->children.push_back(Unary());
    } else if (next_.kind == Lexeme::Word && next_.text.size() > 1 && next_.text[0] == '-') {
      next_.text.erase(0, 1);
      n = std::make_unique<Node>();
      n->kind = Node::Not;
      n->children.push_back(Primary());
    } else {
      n = Primary();
    }
    --depth_;
    return n;
  }

  std::unique_ptr<Node> Primary() {
    if (!error_.empty()) return nullptr;
    if (next_.kind == Lexeme::Open) {
      Advance();
      std::unique_ptr<Node> n = OrExpr();
      if (error_.empty() && next_.kind != Lexeme::Close) error_ = "missing )";
      Advance();
      return n;
    }
    if (next_.kind != Lexeme::Word && next_.kind != Lexeme::Phrase) {
      error_ = next_.kind == Lexeme::End ? "a term is missing at the end" : "unexpected )";
      return nullptr;
    }
    if (++terms_ > kMaxQueryTerms) {
      error_ = "more than " + std::to_string(kMaxQueryTerms) + " terms";
      return nullptr;
    }
    auto n = std::make_unique<Node>();
    n->text = next_.text;
    n->field = next_.field;
    if (next_.kind == Lexeme::Word) {
      const std::size_t colon = n->text.find(':');
      if (colon != std::string::npos && colon > 0 && colon + 1 < n->text.size()) {
        n->field = n->text.substr(0, colon);
        n->text.erase(0, colon + 1);
      }
      if (n->text.size() > 1 && n->text.back() == '*') {
        n->prefix = true;
        n->text.pop_back();
      }
    }
    n->field = FieldKey(n->field);
    Advance();
    return n;
  }

  const std::string& q_;
  std::size_t pos_ = 0;
  Lexeme next_;
  std::string error_;
  int terms_ = 0;
  int depth_ = 0;
};

// Hits are read in one pass over the records between the first and the last
// when at least one in this many of those is a hit.
constexpr std::int64_t kReadAllBeyondOneIn = 8;

// The values checked for a field or a phrase in one statement: their ids
// are handed to it as one array.
constexpr std::size_t kValuesCheckedAtOnce = 1 << 16;

// LIKE pattern of text anywhere, its wildcards taken literally.
std::string LikeAnywhere(const std::string& text) {
  std::string p = "%";
  for (char c : text) {
    if (c == '%' || c == '_' || c == '\\') p += '\\';
    p += c;
  }
  return p + "%";
}

bool TimeBound(const std::string& s) {
  if (s.size() > 19) return false;
  for (char c : s) {
    if (!(c >= '0' && c <= '9') && c != '-' && c != ':' && c != 'T') return false;
  }
  return true;
}

// Where each record's values begin among the value ids: entry k holds the
// first id of record k + 1, the last entry the id after the last value.
// Empty for a case without its count of values per record, or whose count
// cannot be read: its values' records are read from the values.
std::vector<std::int64_t> ValueStarts(CaseFile& c) {
  std::vector<std::int64_t> first;
  Statement s(c.db(), "SELECT value FROM case_info WHERE key = ?1");
  s.Bind(1, std::string(kValuesPerRecordKey));
  if (s.Step() != SQLITE_ROW) return first;
  const std::string counts = s.Text(0);
  first.reserve(counts.size() + 1);
  std::int64_t at = 1;
  first.push_back(at);
  std::uint64_t v = 0;
  for (std::size_t pos = 0; pos < counts.size();) {
    if (!ReadLeb128(counts, &pos, &v) || v > static_cast<std::uint64_t>(INT64_MAX - at)) return {};
    at += static_cast<std::int64_t>(v);
    first.push_back(at);
  }
  return first;
}

// A text term of the query and the values it was found in, ascending.
struct TermValues {
  const Node* term;
  std::vector<std::int64_t> ids;
};

std::vector<std::int64_t> Intersection(const std::vector<std::int64_t>& a, const std::vector<std::int64_t>& b) {
  std::vector<std::int64_t> out;
  std::set_intersection(a.begin(), a.end(), b.begin(), b.end(), std::back_inserter(out));
  return out;
}

// A query run term by term, each giving its records ascending, each once,
// and combined as sets.
class Evaluator {
 public:
  explicit Evaluator(CaseFile& c) : c_(c), starts_(ValueStarts(c)) {}

  // The records n finds; within, when given, the only records the caller
  // keeps of them (ascending): a term checked in its values' text need
  // only check the values of those.
  bool Records(const Node& n, std::vector<std::int64_t>* out, const std::vector<std::int64_t>* within = nullptr) {
    out->clear();
    switch (n.kind) {
      case Node::And: {
        // The side with fewer checks in text first; the other only within
        // what it found.
        const bool swap = Checks(*n.children[1]) < Checks(*n.children[0]);
        const Node& first = *n.children[swap ? 1 : 0];
        const Node& second = *n.children[swap ? 0 : 1];
        std::vector<std::int64_t> a, b;
        if (!Records(first, &a, within)) return false;
        if (within) a = Intersection(a, *within);
        if (!Records(second, &b, &a)) return false;
        *out = Intersection(a, b);
        return true;
      }
      case Node::Or: {
        std::vector<std::int64_t> a, b;
        if (!Records(*n.children[0], &a, within) || !Records(*n.children[1], &b, within)) return false;
        std::set_union(a.begin(), a.end(), b.begin(), b.end(), std::back_inserter(*out));
        return true;
      }
      case Node::Not: {
        std::vector<std::int64_t> a;
        if (!Records(*n.children[0], &a)) return false;
        // Every record, read once for all the NOTs of the query.
        if (!allRead_ && !SqlRecords("SELECT number FROM records", {}, &all_)) return false;
        allRead_ = true;
        std::set_difference(all_.begin(), all_.end(), a.begin(), a.end(), std::back_inserter(*out));
        return true;
      }
      case Node::Term: return Term(n, out, within);
    }
    return false;
  }

  SearchStatus status = SearchStatus::Ok;
  std::string error;  // UTF-8
  std::vector<TermValues> textTerms;  // for the places of a hit
  const std::vector<std::int64_t>& starts() const { return starts_; }
  void Keep(std::unique_ptr<Node> root) { root_ = std::move(root); }

 private:
  // How many terms of n are checked in their values' text (a field or more
  // than one token).
  static int Checks(const Node& n) {
    if (n.kind != Node::Term) {
      int sum = 0;
      for (const auto& c : n.children) sum += Checks(*c);
      return sum;
    }
    static const char* const kNotText[] = {"time", "attachment", "type", "tag", "has"};
    for (const char* f : kNotText) {
      if (n.field == f) return 0;
    }
    return !n.field.empty() || SearchTokens(n.text, TokenizeFor::Query).size() > 1 ? 1 : 0;
  }

  bool Term(const Node& n, std::vector<std::int64_t>* out, const std::vector<std::int64_t>* within) {
    const std::string& f = n.field;
    if (f == "time") return Time(n.text, out);
    if (f == "attachment" || f == "type") {
      return SqlRecords(std::string("SELECT record FROM attachments WHERE ") + (f == "type" ? "type" : "name_utf8") +
                            " LIKE ?1 ESCAPE '\\'",
                        {LikeAnywhere(n.text)}, out);
    }
    if (f == "tag") return SqlRecords("SELECT record FROM tags WHERE label = ?1", {n.text}, out);
    if (f == "has") {
      if (n.text == "attachment") return SqlRecords("SELECT record FROM attachments", {}, out);
      if (n.text == "time") return SqlRecords("SELECT number FROM records WHERE time_utc IS NOT NULL", {}, out);
      if (n.text == "tag") return SqlRecords("SELECT record FROM tags", {}, out);
      return Fail("has: takes attachment, time or tag");
    }
    if (!f.empty()) {
      Statement known(c_.db(), "SELECT 1 FROM entry_values WHERE name_key = ?1 LIMIT 1");
      known.Bind(1, f);
      if (known.Step() != SQLITE_ROW) return Fail("no Data entry named " + f + " holds a value in this case");
    }
    std::vector<std::string> tokens;
    for (const SearchToken& t : SearchTokens(n.text, TokenizeFor::Query)) tokens.push_back(t.text);
    if (tokens.empty()) return true;  // punctuation alone: no word to look for
    TermValues found{&n, {}};
    switch (ValuesWithTokens(c_.db(), tokens, n.prefix, &found.ids)) {
      case TermLookup::Ok: break;
      case TermLookup::Damaged: return Failed("the search index of the case is damaged");
      case TermLookup::Failed: return Failed(c_.LastError());
    }
    // The index knows which values hold a token, not where: a term of more
    // than one token is checked in the values' text (tanavo_phrase) for its
    // tokens in order.
    if (!f.empty() || tokens.size() > 1 || starts_.empty()) {
      if (within && !starts_.empty()) KeepValuesOf(*within, &found.ids);
      if (!CheckValues(n, tokens.size() > 1, &found.ids, out)) return false;
    } else {
      RecordsOfValues(found.ids, out);
    }
    textTerms.push_back(std::move(found));
    return true;
  }

  // The records of values (ascending ids) by where the records' values begin.
  void RecordsOfValues(const std::vector<std::int64_t>& ids, std::vector<std::int64_t>* out) const {
    std::size_t r = 0;  // record r + 1 begins at starts_[r]
    for (std::int64_t id : ids) {
      if (id < starts_.front() || id >= starts_.back()) continue;
      while (starts_[r + 1] <= id) ++r;
      const std::int64_t n = static_cast<std::int64_t>(r) + 1;
      if (out->empty() || out->back() != n) out->push_back(n);
    }
  }

  // Keeps of ids (ascending) the values of the records numbered (ascending).
  void KeepValuesOf(const std::vector<std::int64_t>& records, std::vector<std::int64_t>* ids) const {
    std::size_t kept = 0, r = 0;
    for (std::int64_t id : *ids) {
      while (r < records.size() && (records[r] < 1 || static_cast<std::size_t>(records[r]) >= starts_.size() ||
                                    starts_[static_cast<std::size_t>(records[r])] <= id)) {
        ++r;
      }
      if (r < records.size() && starts_[static_cast<std::size_t>(records[r]) - 1] <= id) (*ids)[kept++] = id;
    }
    ids->resize(kept);
  }

  // Keeps of ids the values of the term's field that hold it as a phrase
  // (when asked), and gives their records.
  bool CheckValues(const Node& n, bool phrase, std::vector<std::int64_t>* ids, std::vector<std::int64_t>* out) {
    // The ids first, each value looked up by its id (CROSS JOIN keeps that
    // order; the planner would rather read every value of the field).
    std::string sql = "SELECT v.id, v.record FROM carray(?1) AS a CROSS JOIN entry_values v ON v.id = a.value WHERE 1";
    if (!n.field.empty()) sql += " AND v.name_key = ?2";
    if (phrase) sql += " AND tanavo_phrase(v.value, ?3, ?4)";
    Statement s(c_.db(), sql);
    if (!s.ok()) return Failed(c_.LastError());
    std::vector<std::int64_t> kept;
    for (std::size_t from = 0; from < ids->size(); from += kValuesCheckedAtOnce) {
      const std::size_t count = std::min(kValuesCheckedAtOnce, ids->size() - from);
      if (sqlite3_carray_bind(s.get(), 1, ids->data() + from, static_cast<int>(count), SQLITE_CARRAY_INT64,
                              SQLITE_STATIC) != SQLITE_OK) {
        return Failed(c_.LastError());
      }
      if (!n.field.empty()) s.Bind(2, n.field);
      if (phrase) {
        s.Bind(3, n.text);
        s.Bind(4, std::string(n.prefix ? "1" : "0"));
      }
      int rc;
      while ((rc = s.Step()) == SQLITE_ROW) {
        kept.push_back(s.Int(0));
        out->push_back(s.Int(1));
      }
      s.Reset();
      if (rc != SQLITE_DONE) return Failed(c_.LastError());
    }
    ids->swap(kept);
    SortUnique(out);
    return true;
  }

  bool Time(const std::string& range, std::vector<std::int64_t>* out) {
    if (range == "none") return SqlRecords("SELECT number FROM records WHERE time_local IS NULL", {}, out);
    const std::size_t dots = range.find("..");
    const std::string from = dots == std::string::npos ? range : range.substr(0, dots);
    const std::string to = dots == std::string::npos ? range : range.substr(dots + 2);
    if (!TimeBound(from) || !TimeBound(to) || (from.empty() && to.empty())) {
      return Fail("time: takes FROM..TO, each a beginning of yyyy-mm-ddThh:mm:ss");
    }
    std::string sql = "SELECT number FROM records WHERE time_local IS NOT NULL";
    std::vector<std::string> params;
    if (!from.empty()) {
      params.push_back(from);
      sql += " AND time_local >= ?" + std::to_string(params.size());
    }
    if (!to.empty()) {
      params.push_back(to);
      sql += " AND substr(time_local, 1, length(?" + std::to_string(params.size()) + ")) <= ?" +
             std::to_string(params.size());
    }
    return SqlRecords(sql, params, out);
  }

  // The numbers a statement gives in its first column, ascending, each once.
  bool SqlRecords(const std::string& sql, const std::vector<std::string>& params, std::vector<std::int64_t>* out) {
    Statement s(c_.db(), sql);
    if (!s.ok()) return Failed(c_.LastError());
    for (std::size_t i = 0; i < params.size(); ++i) s.Bind(static_cast<int>(i + 1), params[i]);
    int rc;
    while ((rc = s.Step()) == SQLITE_ROW) {
      if (!s.IsNull(0)) out->push_back(s.Int(0));
    }
    if (rc != SQLITE_DONE) return Failed(c_.LastError());
    SortUnique(out);
    return true;
  }

  static void SortUnique(std::vector<std::int64_t>* v) {
    if (!std::is_sorted(v->begin(), v->end())) std::sort(v->begin(), v->end());
    v->erase(std::unique(v->begin(), v->end()), v->end());
  }

  bool Fail(const std::string& why) {
    status = SearchStatus::BadQuery;
    error = why;
    return false;
  }

  bool Failed(const std::string& why) {
    status = SearchStatus::Failed;
    error = why;
    return false;
  }

  CaseFile& c_;
  std::vector<std::int64_t> starts_;
  std::unique_ptr<Node> root_;
  std::vector<std::int64_t> all_;  // every record's number, once a NOT asked
  bool allRead_ = false;
};
// A byte position in Shift_JIS text of its character number k (from 0).
std::int64_t ShiftJisPosition(const std::string& sjis, std::size_t k) {
  std::size_t i = 0;
  for (std::size_t ch = 0; ch < k && i < sjis.size(); ++ch) {
    const unsigned char b = static_cast<unsigned char>(sjis[i]);
    const bool lead = (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC);
    i += lead && i + 1 < sjis.size() ? 2 : 1;
  }
  return static_cast<std::int64_t>(i) + 1;
}

constexpr std::size_t kExcerptChars = 20;  // on each side of the match

// Where a term matches text as the index matches it: the term's tokens at
// consecutive positions of the text's (the last one a prefix for a prefix
// term). The byte range of the first match; false when there is none.
bool LocateTerm(const std::string& text, const Node& term, std::size_t* start, std::size_t* end) {
  const std::vector<SearchToken> want = SearchTokens(term.text, TokenizeFor::Query);
  if (want.empty()) return false;
  // The text's tokens grouped by position.
  std::vector<std::vector<SearchToken>> at;
  // Whether the term's tokens are at positions p, p + 1, ...
  auto matchesAt = [&](std::size_t p) {
    std::size_t first = 0, last = 0;
    for (std::size_t k = 0; k < want.size(); ++k) {
      const bool prefix = term.prefix && k + 1 == want.size();
      bool one = false;
      for (const SearchToken& t : at[p + k]) {
        if (t.text == want[k].text || (prefix && t.text.compare(0, want[k].text.size(), want[k].text) == 0)) {
          if (k == 0) first = t.start;
          last = t.end;
          one = true;
          break;
        }
      }
      if (!one) return false;
    }
    *start = first;
    *end = last;
    return true;
  };
  // Each place is tried once the positions it needs are complete, in order,
  // so the first match stops the split.
  bool found = false;
  TokenizeSearchText(text, TokenizeFor::Document, [&](const SearchToken& t) {
    if (!t.colocated || at.empty()) {
      if (at.size() >= want.size() && matchesAt(at.size() - want.size())) {
        found = true;
        return false;
      }
      at.emplace_back();
    }
    at.back().push_back(t);
    return true;
  });
  return found || (at.size() >= want.size() && matchesAt(at.size() - want.size()));
}

// The characters of utf8 before byte pos.
std::size_t CharactersBefore(const std::string& utf8, std::size_t pos) {
  std::size_t n = 0, i = 0;
  while (i < pos && i < utf8.size()) {
    NextCodePoint(utf8, &i);
    ++n;
  }
  return n;
}

void PlaceInValue(const std::string& sjis, const Node& term, HitPlace* place) {
  const std::string text = SearchTextFromShiftJis(sjis);
  std::size_t start = 0, end = 0;
  if (!LocateTerm(text, term, &start, &end)) return;
  place->position = ShiftJisPosition(sjis, CharactersBefore(text, start));
  // kExcerptChars characters each side.
  std::size_t from = start;
  for (std::size_t n = 0; n < kExcerptChars && from > 0; ++n) {
    do --from;
    while (from > 0 && (static_cast<unsigned char>(text[from]) & 0xC0) == 0x80);
  }
  std::size_t to = end;
  for (std::size_t n = 0; n < kExcerptChars && to < text.size(); ++n) NextCodePoint(text, &to);
  std::string excerpt =
      text.substr(from, start - from) + "[" + text.substr(start, end - start) + "]" + text.substr(end, to - end);
  for (char& ch : excerpt) {
    if (ch == '\r' || ch == '\n' || ch == '\t') ch = ' ';
  }
  place->excerpt = excerpt;
}

bool SingleCodeCharacter(char32_t c) {
  return (c >= 0x3041 && c <= 0x3096) || (c >= 0x3005 && c <= 0x3007) || (c >= 0x4E00 && c <= 0x9FFF);
}

bool LeadByte(unsigned char b) { return (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC); }

// What the table of Shift_JIS makes of its pairs, converted once: which
// pairs are characters, and the bytes of the characters a value's text holds
// only as those bytes (hiragana and the kanji of JIS X 0208 have one code
// each, and no half-width or other form is folded to them).
struct ShiftJisCodes {
  std::vector<bool> pair = std::vector<bool>(0x10000, false);  // lead * 256 + trail converts to one character
  std::unordered_map<char32_t, std::string> single;
};

const ShiftJisCodes& Codes() {
  static const ShiftJisCodes codes = [] {
    std::string all;
    for (int lead = 0x81; lead <= 0xFC; ++lead) {
      if (!LeadByte(static_cast<unsigned char>(lead))) continue;
      for (int trail = 0x40; trail <= 0xFC; ++trail) {
        if (trail == 0x7F) continue;
        all += static_cast<char>(lead);
        all += static_cast<char>(trail);
        all += '\n';
      }
    }
    // Each code is three bytes of `all` and one line of its conversion.
    const std::string utf8 = Cp932ToUtf8(all);
    ShiftJisCodes m;
    std::size_t u = 0;
    for (std::size_t i = 0; i < all.size(); i += 3) {
      const std::size_t end = utf8.find('\n', u);
      if (end == std::string::npos) break;
      const std::string one = utf8.substr(u, end - u);
      std::size_t pos = 0;
      const char32_t c = one.empty() ? 0xFFFD : NextCodePoint(one, &pos);
      if (pos == one.size() && c != 0xFFFD) {
        m.pair[static_cast<unsigned char>(all[i]) * 0x100u + static_cast<unsigned char>(all[i + 1])] = true;
        if (SingleCodeCharacter(c)) m.single.emplace(c, all.substr(i, 2));
      }
      u = end + 1;
    }
    return m;
  }();
  return codes;
}

enum class RunInValue { No, Yes, Unknown };

// Whether the Shift_JIS value holds run at a character's start. Exact for a
// value whose every byte is part of a character (read as the conversion
// reads it); Unknown for another, which must be converted to tell.
RunInValue RunAtCharacter(std::string_view sjis, std::string_view run) {
  const ShiftJisCodes& codes = Codes();
  std::size_t i = 0;
  while (i < sjis.size()) {
    const unsigned char b = static_cast<unsigned char>(sjis[i]);
    if (b == static_cast<unsigned char>(run[0]) && sjis.compare(i, run.size(), run) == 0) return RunInValue::Yes;
    if (b < 0x80 || (b >= 0xA1 && b <= 0xDF)) {
      ++i;
    } else if (LeadByte(b) && i + 1 < sjis.size() &&
               codes.pair[b * 0x100u + static_cast<unsigned char>(sjis[i + 1])]) {
      i += 2;
    } else {
      return RunInValue::Unknown;
    }
  }
  return RunInValue::No;
}

// A term of several tokens, checked in the values that hold all of them.
struct PhraseCheck {
  Node term;
  // Runs of characters the matching value's Shift_JIS bytes must hold as
  // they are: a value without one of them is passed over unconverted.
  std::vector<std::string> needed;
  // The term is one run of such characters, pairs alone: the run at a
  // character's start is the phrase itself.
  bool oneRun = false;
};

std::unique_ptr<PhraseCheck> MakePhraseCheck(const std::string& text, bool prefix) {
  auto check = std::make_unique<PhraseCheck>();
  check->term.text = text;
  check->term.prefix = prefix;
  const std::unordered_map<char32_t, std::string>& codes = Codes().single;
  bool pairsAlone = !prefix;
  std::string run;
  char32_t last = 0;
  auto flush = [&] {
    if (!run.empty()) check->needed.push_back(run);
    run.clear();
    last = 0;
  };
  for (const SearchToken& t : SearchTokens(text, TokenizeFor::Query)) {
    std::vector<char32_t> cps;
    for (std::size_t pos = 0; pos < t.text.size();) cps.push_back(NextCodePoint(t.text, &pos));
    std::vector<const std::string*> bytes;
    for (char32_t c : cps) {
      const auto it = codes.find(c);
      bytes.push_back(it == codes.end() ? nullptr : &it->second);
    }
    if (cps.size() == 2 && bytes[0] && bytes[1]) {
      // A pair goes on from the run when it begins where the run ends.
      if (run.empty() || last != cps[0]) {
        pairsAlone = pairsAlone && run.empty() && check->needed.empty();
        flush();
        run = *bytes[0];
      }
      run += *bytes[1];
      last = cps[1];
    } else {
      pairsAlone = false;
      flush();
      if (cps.size() == 1 && bytes[0]) check->needed.push_back(*bytes[0]);
    }
  }
  flush();
  check->oneRun = pairsAlone && check->needed.size() == 1;
  return check;
}

// tanavo_phrase(value, term, prefix): 1 when the Shift_JIS value holds the
// term's tokens at consecutive places, as a phrase of the index would.
void PhraseFunction(sqlite3_context* context, int, sqlite3_value** argv) {
  std::unique_ptr<PhraseCheck> made;
  auto* check = static_cast<PhraseCheck*>(sqlite3_get_auxdata(context, 1));
  if (!check) {
    const unsigned char* t = sqlite3_value_text(argv[1]);
    made = MakePhraseCheck(t ? reinterpret_cast<const char*>(t) : "", sqlite3_value_int(argv[2]) != 0);
    check = made.get();
  }
  const void* bytes = sqlite3_value_blob(argv[0]);
  const std::string_view sjis(bytes ? static_cast<const char*>(bytes) : "",
                              static_cast<std::size_t>(sqlite3_value_bytes(argv[0])));
  bool found = true;
  for (const std::string& run : check->needed) {
    if (FindIn(sjis, run, 0) == std::string_view::npos) {
      found = false;
      break;
    }
  }
  if (found && check->oneRun) {
    const RunInValue r = RunAtCharacter(sjis, check->needed[0]);
    if (r != RunInValue::Unknown) {
      sqlite3_result_int(context, r == RunInValue::Yes ? 1 : 0);
      if (made) sqlite3_set_auxdata(context, 1, made.release(), [](void* p) { delete static_cast<PhraseCheck*>(p); });
      return;
    }
  }
  std::size_t start = 0, end = 0;
  found = found && LocateTerm(SearchTextFromShiftJis(std::string(sjis)), check->term, &start, &end);
  sqlite3_result_int(context, found ? 1 : 0);
  if (made) sqlite3_set_auxdata(context, 1, made.release(), [](void* p) { delete static_cast<PhraseCheck*>(p); });
}

// Where each text term was found in the hit's record: the first of the
// term's values that is the record's.
bool FindPlaces(CaseFile& c, const Evaluator& found, Statement& value, SearchHit* hit) {
  std::int64_t lo = 0, hi = -1;  // the record's value ids
  const std::vector<std::int64_t>& starts = found.starts();
  const std::size_t n = static_cast<std::size_t>(hit->number);
  if (n >= 1 && n < starts.size()) {
    lo = starts[n - 1];
    hi = starts[n] - 1;
  } else {
    Statement range(c.db(), "SELECT min(id), max(id) FROM entry_values WHERE record = ?1");
    range.Bind(1, static_cast<std::int64_t>(hit->number));
    if (range.Step() != SQLITE_ROW || range.IsNull(0)) return true;
    lo = range.Int(0);
    hi = range.Int(1);
  }
  for (const TermValues& t : found.textTerms) {
    const auto it = std::lower_bound(t.ids.begin(), t.ids.end(), lo);
    if (it == t.ids.end() || *it > hi) continue;
    value.Bind(1, *it);
    const int rc = value.Step();
    if (rc == SQLITE_ROW) {
      const Node& term = *t.term;
      HitPlace p;
      p.term = (term.field.empty() ? "" : term.field + ":") + term.text + (term.prefix ? "*" : "");
      p.entry = value.Text(0);
      p.occurrence = value.Int(1);
      PlaceInValue(value.Text(2), term, &p);
      hit->places.push_back(std::move(p));
    }
    value.Reset();
    if (rc != SQLITE_ROW && rc != SQLITE_DONE) return false;
  }
  return true;
}

// The rows of the records numbered (ascending, each once) in that order; a
// number that is no record is passed over. The time in UTC is read only to
// sort by.
bool ReadHits(CaseFile& c, const std::vector<std::int64_t>& numbers, bool withUtc, std::vector<SearchHit>* hits) {
  if (numbers.empty()) return true;
  const std::string columns = std::string("SELECT number, offset, length, list_line, time_iso, time_zone_assumed") +
                               (withUtc ? ", time_utc" : "");
  auto add = [&](const Statement& s) {
    SearchHit h;
    h.number = static_cast<std::int32_t>(s.Int(0));
    h.offset = s.Int(1);
    h.length = s.Int(2);
    h.listLine = s.Text(3);
    h.time = s.Text(4);
    h.zoneAssumed = s.Int(5) != 0;
    if (withUtc && !s.IsNull(6)) h.utc = s.Text(6);
    hits->push_back(std::move(h));
  };
  hits->reserve(numbers.size());
  // Many hits among the records' range: one pass over it, the others passed
  // over; few: each looked up.
  const std::int64_t span = numbers.back() - numbers.front() + 1;
  if (static_cast<std::int64_t>(numbers.size()) * kReadAllBeyondOneIn >= span) {
    Statement s(c.db(), columns + " FROM records WHERE number BETWEEN ?1 AND ?2 ORDER BY number");
    s.Bind(1, numbers.front());
    s.Bind(2, numbers.back());
    std::size_t k = 0;
    int rc;
    while ((rc = s.Step()) == SQLITE_ROW) {
      const std::int64_t n = s.Int(0);
      while (k < numbers.size() && numbers[k] < n) ++k;
      if (k < numbers.size() && numbers[k] == n) add(s);
    }
    return rc == SQLITE_DONE;
  }
  Statement s(c.db(), columns + " FROM records WHERE number = ?1");
  for (std::int64_t n : numbers) {
    s.Bind(1, n);
    const int rc = s.Step();
    if (rc == SQLITE_ROW) add(s);
    s.Reset();
    if (rc != SQLITE_ROW && rc != SQLITE_DONE) return false;
  }
  return true;
}

}  // namespace

std::string JsonString(const std::string& utf8) {
  std::string out = "\"";
  std::size_t pos = 0;
  while (pos < utf8.size()) {
    const char32_t c = NextCodePoint(utf8, &pos);
    char buf[16];
    if (c == '"' || c == '\\') {
      out += '\\';
      out += static_cast<char>(c);
    } else if (c >= 0x20 && c < 0x7F) {
      out += static_cast<char>(c);
    } else if (c < 0x10000) {
      std::snprintf(buf, sizeof buf, "\\u%04x", static_cast<unsigned>(c));
      out += buf;
    } else {
      const char32_t v = c - 0x10000;
      std::snprintf(buf, sizeof buf, "\\u%04x\\u%04x", static_cast<unsigned>(0xD800 + (v >> 10)),
                    static_cast<unsigned>(0xDC00 + (v & 0x3FF)));
      out += buf;
    }
  }
  return out + "\"";
}

namespace {

// What a search calls on the connection that runs it.
bool RegisterPhraseCheck(CaseFile& c) {
  return sqlite3_create_function(c.db(), "tanavo_phrase", 3, SQLITE_UTF8 | SQLITE_DETERMINISTIC, nullptr,
                                 PhraseFunction, nullptr, nullptr) == SQLITE_OK;
}

// Runs a query; status and error say why when it finds nothing to give.
SearchStatus Run(CaseFile& c, const std::string& queryUtf8, Evaluator* evaluator, std::vector<std::int64_t>* numbers,
                 std::string* error) {
  if (queryUtf8.size() > kMaxQueryBytes) {
    *error = "the query is longer than " + std::to_string(kMaxQueryBytes) + " bytes";
    return SearchStatus::BadQuery;
  }
  if (!RegisterPhraseCheck(c)) {
    *error = c.LastError();
    return SearchStatus::Failed;
  }
  const std::string query = ValidUtf8(queryUtf8);
  Parser parser(query);
  std::unique_ptr<Node> root = parser.Parse(error);
  if (!root) return SearchStatus::BadQuery;
  if (!evaluator->Records(*root, numbers)) {
    *error = evaluator->error;
    return evaluator->status;
  }
  // The nodes stay with the places of the hits, which name their terms.
  evaluator->Keep(std::move(root));
  return SearchStatus::Ok;
}

}  // namespace

SearchResult SearchCase(CaseFile& c, const std::string& queryUtf8, bool withPlaces, SearchOrder order) {
  SearchResult result;
  Evaluator evaluator(c);
  std::vector<std::int64_t> numbers;
  result.status = Run(c, queryUtf8, &evaluator, &numbers, &result.error);
  if (result.status != SearchStatus::Ok) return result;
  result.status = SearchStatus::Failed;
  if (!ReadHits(c, numbers, order == SearchOrder::Time, &result.hits)) {
    result.error = c.LastError();
    return result;
  }
  if (order == SearchOrder::Time) {
    // As ORDER BY time_utc IS NULL, time_utc, number: those without a time
    // last, times compared by their bytes.
    std::stable_sort(result.hits.begin(), result.hits.end(), [](const SearchHit& a, const SearchHit& b) {
      if (a.utc.has_value() != b.utc.has_value()) return a.utc.has_value();
      return a.utc.has_value() && *a.utc < *b.utc;
    });
  }
  if (withPlaces) {
    // A value where a term was found, by its id.
    Statement value(c.db(), "SELECT name, occurrence, value FROM entry_values WHERE id = ?1");
    for (SearchHit& h : result.hits) {
      if (!value.ok() || !FindPlaces(c, evaluator, value, &h)) {
        result.error = c.LastError();
        return result;
      }
    }
  }
  result.status = SearchStatus::Ok;
  return result;
}

SearchStatus FindRecords(CaseFile& c, const std::string& queryUtf8, std::vector<std::int64_t>* numbers,
                         std::string* error) {
  Evaluator evaluator(c);
  return Run(c, queryUtf8, &evaluator, numbers, error);
}

}  // namespace tanavo
