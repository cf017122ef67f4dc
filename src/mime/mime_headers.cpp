// Header block, parameters (RFC 2045 and 2231) and encoded words (RFC 2047).
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "codec/charset_names.h"
#include "codec/codec.h"
#include "codec/hex.h"
#include "mime/mime_parts.h"
#include "text/bytes.h"
#include "platform/charset.h"

namespace tanavo {

namespace {

bool IsSpace(char c) { return c == ' ' || c == '\t'; }
bool IsLineEnd(char c) { return c == '\r' || c == '\n'; }

// A name that may go into a mark: printable ASCII only, cut short.
std::string Printable(std::string_view s) {
  std::string out;
  for (char c : s.substr(0, kMaxCharsetNameBytes)) {
    if (c > 0x20 && c < 0x7F) out.push_back(c);
  }
  return out;
}

// One line of the block, without its CR LF or LF; *next is where the next
// line begins.
std::string_view LineAt(std::string_view text, std::size_t at, std::size_t* next) {
  const std::size_t lf = text.find('\n', at);
  std::size_t end = lf == std::string_view::npos ? text.size() : lf;
  *next = lf == std::string_view::npos ? text.size() : lf + 1;
  if (end > at && text[end - 1] == '\r') --end;
  return text.substr(at, end - at);
}

// "Name:" with a name of printable ASCII and no white space.
std::size_t HeaderNameEnd(std::string_view line) {
  const std::size_t colon = line.find(':');
  if (colon == std::string_view::npos || colon == 0) return std::string_view::npos;
  for (std::size_t i = 0; i < colon; ++i) {
    const unsigned char c = static_cast<unsigned char>(line[i]);
    if (c <= 0x20 || c >= 0x7F) return std::string_view::npos;
  }
  return colon;
}

}  // namespace

bool IsUtf8WithHighBytes(std::string_view s) {
  bool high = false;
  for (std::size_t i = 0; i < s.size();) {
    const unsigned char c = static_cast<unsigned char>(s[i]);
    if (c < 0x80) {
      ++i;
      continue;
    }
    high = true;
    std::size_t n = c >= 0xF0 && c <= 0xF4 ? 4 : c >= 0xE0 ? 3 : c >= 0xC2 && c <= 0xDF ? 2 : 0;
    if (n == 0 || c > 0xF4 || i + n > s.size()) return false;
    for (std::size_t k = 1; k < n; ++k) {
      if ((static_cast<unsigned char>(s[i + k]) & 0xC0) != 0x80) return false;
    }
    i += n;
  }
  return high;
}

namespace {

struct EncodedWord {
  std::size_t end = 0;  // one past "?="
  std::string charset;
  std::string bytes;
};

// An encoded word beginning at text[at] ("=?"): charset, B or Q, text, "?=".
// The charset may carry an RFC 2231 language ("utf-8*ja"), which is dropped.
// On failure *resume is where the next word may begin: a text between "?"s
// that reached white space or the end without "?=" holds no word either, so
// the search never reads the same bytes twice.
bool ReadEncodedWord(std::string_view text, std::size_t at, EncodedWord* w, std::size_t* resume) {
  *resume = at + 2;
  std::size_t q1 = at + 2;
  while (q1 < text.size() && q1 - at - 2 <= kMaxCharsetNameBytes && text[q1] != '?' && !IsSpace(text[q1]) &&
         !IsLineEnd(text[q1])) {
    ++q1;
  }
  // No charset, no word: known before its text is read, which a run of
  // "=??B?" starts before one "?=" would otherwise read again for each start.
  if (q1 == at + 2 || q1 + 3 > text.size() || text[q1] != '?' || text[q1 + 2] != '?') return false;
  const char kind = text[q1 + 1];
  if (kind != 'B' && kind != 'b' && kind != 'Q' && kind != 'q') return false;
  std::size_t close = q1 + 3;
  while (close < text.size() && !(text[close] == '?' && close + 1 < text.size() && text[close + 1] == '=')) {
    if (IsSpace(text[close]) || IsLineEnd(text[close])) break;  // a word never holds white space
    ++close;
  }
  if (close + 1 >= text.size() || text[close] != '?') {
    *resume = close;
    return false;
  }
  std::string_view charset = text.substr(at + 2, q1 - at - 2);
  const std::string_view payload = text.substr(q1 + 3, close - q1 - 3);
  charset = charset.substr(0, charset.find('*'));
  w->charset = std::string(charset);
  if (kind == 'B' || kind == 'b') {
    w->bytes = DecodeBase64(payload);
  } else {
    w->bytes.clear();
    for (std::size_t i = 0; i < payload.size(); ++i) {
      const char c = payload[i];
      if (c == '_') {
        w->bytes.push_back(' ');
      } else if (c == '=' && i + 2 < payload.size() && HexDigitValue(payload[i + 1]) >= 0 && HexDigitValue(payload[i + 2]) >= 0) {
        w->bytes.push_back(static_cast<char>(HexDigitValue(payload[i + 1]) * 16 + HexDigitValue(payload[i + 2])));
        i += 2;
      } else {
        w->bytes.push_back(c);
      }
    }
  }
  w->end = close + 2;
  return true;
}

// Raw header text (no encoded words) to Shift_JIS.
void AppendRawText(MimeContext& ctx, std::string& out, std::string_view raw) {
  if (IsUtf8WithHighBytes(raw)) {
    out += ctx.ToShiftJis("utf-8", raw);
  } else {
    out.append(raw);
  }
}

}  // namespace

std::string UnknownCharsetMark(std::string_view charset) {
  return "〓[文字コード不明:" + Printable(charset) + "]";
}

std::string UnknownEncodingMark(std::string_view encoding) {
  return "〓[エンコード不明:" + Printable(encoding) + "]";
}

std::string UnclosedHtmlMark(std::string_view name) {
  return "〓[HTML終わりなし:" + Printable(name) + "]";
}

std::string UnsplitMark(std::string_view type) {
  return "〓[未分割:" + Printable(type) + "]";
}

std::string MimeContext::ToShiftJis(std::string_view charset, std::string_view bytes) {
  CharsetResult r;
  if (!charsets.ToShiftJis(charset, bytes, &r)) {
    ++undecoded;
    Warn(MimeWarning::UnknownCharset, charset);
    return UnknownCharsetMark(charset) + std::string(bytes);
  }
  if (r.replaced > 0) {
    replaced += r.replaced;
    Warn(MimeWarning::UnmappedCharacters, charset);
  }
  return std::move(r.text);
}

HeaderBlock SplitHeaderBlock(std::string_view entity) {
  HeaderBlock block;
  std::size_t at = 0;
  while (at < entity.size()) {
    std::size_t next = 0;
    const std::string_view line = LineAt(entity, at, &next);
    if (line.empty()) {
      block.body = entity.substr(next);
      return block;
    }
    if (IsSpace(line.front()) && !block.fields.empty()) {
      block.fields.back().value.append(line);  // folded: the line break goes, the white space stays
      at = next;
      continue;
    }
    const std::size_t colon = HeaderNameEnd(line);
    if (colon == std::string_view::npos) {
      block.body = entity.substr(at);  // no header: the body begins here
      return block;
    }
    block.fields.push_back({AsciiLowered(line.substr(0, colon)), std::string(line.substr(colon + 1))});
    at = next;
  }
  return block;
}

const std::string* FindField(const HeaderBlock& block, std::string_view lowerName) {
  for (const HeaderField& f : block.fields) {
    if (f.name == lowerName) return &f.value;
  }
  return nullptr;
}

const std::string* ParameterizedValue::Param(std::string_view lowerName) const {
  for (const auto& p : params) {
    if (p.first == lowerName) return &p.second;
  }
  return nullptr;
}

namespace {

struct RawParam {
  std::string name;  // lower case, with any "*N" or "*" suffix
  std::string value;
  bool quoted = false;
};

// Splits "value; a=b; c="d;e"" into the main value and raw parameters.
std::string SplitParameters(std::string_view raw, std::vector<RawParam>* params) {
  std::size_t i = raw.find(';');
  std::string value = AsciiLowered(TrimSpaceAndLineEnds(raw.substr(0, i)));
  while (i != std::string_view::npos && i < raw.size()) {
    ++i;  // past ';'
    while (i < raw.size() && (IsSpace(raw[i]) || IsLineEnd(raw[i]))) ++i;
    const std::size_t nameStart = i;
    while (i < raw.size() && raw[i] != '=' && raw[i] != ';') ++i;
    RawParam p;
    p.name = AsciiLowered(TrimSpaceAndLineEnds(raw.substr(nameStart, i - nameStart)));
    if (i >= raw.size() || raw[i] == ';') continue;  // a name without a value
    ++i;  // past '='
    while (i < raw.size() && (IsSpace(raw[i]) || IsLineEnd(raw[i]))) ++i;
    if (i < raw.size() && raw[i] == '"') {
      p.quoted = true;
      ++i;
      while (i < raw.size() && raw[i] != '"') {
        if (raw[i] == '\\' && i + 1 < raw.size()) ++i;
        p.value.push_back(raw[i]);
        ++i;
      }
      i = raw.find(';', i);
    } else {
      const std::size_t end = raw.find(';', i);
      p.value = std::string(TrimSpaceAndLineEnds(raw.substr(i, end == std::string_view::npos ? std::string_view::npos : end - i)));
      i = end;
    }
    if (!p.name.empty()) params->push_back(std::move(p));
  }
  return value;
}

std::string PercentDecoded(std::string_view s) {
  std::string out;
  for (std::size_t i = 0; i < s.size(); ++i) {
    if (s[i] == '%' && i + 2 < s.size() && HexDigitValue(s[i + 1]) >= 0 && HexDigitValue(s[i + 2]) >= 0) {
      out.push_back(static_cast<char>(HexDigitValue(s[i + 1]) * 16 + HexDigitValue(s[i + 2])));
      i += 2;
    } else {
      out.push_back(s[i]);
    }
  }
  return out;
}

}  // namespace

ParameterizedValue ParseParameterized(MimeContext& ctx, std::string_view raw) {
  std::vector<RawParam> rawParams;
  ParameterizedValue out;
  out.value = SplitParameters(raw, &rawParams);

  // RFC 2231: name*=charset'lang'%XX, name*0=..., name*1*=%XX...; sections
  // are joined in number order, then the whole is converted once.
  struct Sections {
    std::map<int, std::pair<std::string, bool>> parts;  // number -> value, extended
  };
  // Looked up by name, never by a walk over the parameters seen: a header may
  // hold tens of thousands of them.
  std::map<std::string, std::size_t, std::less<>> plainAt;  // name -> index in out.params
  std::vector<std::pair<std::string, Sections>> extended;   // in the order first seen
  std::map<std::string, std::size_t, std::less<>> extendedAt;
  auto sectionsOf = [&](const std::string& base) -> Sections& {
    const auto [at, added] = extendedAt.emplace(base, extended.size());
    if (added) extended.push_back({base, Sections{}});
    return extended[at->second].second;
  };
  for (const RawParam& p : rawParams) {
    const std::size_t star = p.name.find('*');
    if (star == std::string::npos) {
      // The first of a repeated parameter counts.
      if (!plainAt.emplace(p.name, out.params.size()).second) continue;
      // Encoded words in a quoted value (against the RFC, but how many mail
      // programs write a Japanese file name) are decoded; raw text as well.
      out.params.push_back({p.name, DecodeHeaderText(ctx, p.value)});
      continue;
    }
    const std::string base = p.name.substr(0, star);
    std::string_view rest = std::string_view(p.name).substr(star + 1);
    bool isExtended = false;
    int number = 0;
    if (rest.empty()) {
      isExtended = true;  // name*=
    } else {
      if (rest.back() == '*') {
        isExtended = true;
        rest.remove_suffix(1);
      }
      if (rest.empty() || rest.size() > 3) continue;
      for (char c : rest) {
        if (c < '0' || c > '9') number = -1;
        if (number >= 0) number = number * 10 + (c - '0');
      }
      if (number < 0 || number >= kMaxParameterSections) continue;
    }
    Sections& s = sectionsOf(base);
    s.parts.emplace(number, std::make_pair(p.value, isExtended));
  }
  for (auto& e : extended) {
    std::string charset;
    std::string bytes;
    int expect = 0;
    for (auto& part : e.second.parts) {
      if (part.first != expect) break;  // a gap ends the value
      ++expect;
      std::string_view v = part.second.first;
      if (part.second.second) {
        if (part.first == 0) {
          const std::size_t q1 = v.find('\'');
          const std::size_t q2 = q1 == std::string_view::npos ? q1 : v.find('\'', q1 + 1);
          if (q2 != std::string_view::npos) {
            charset = std::string(v.substr(0, q1));
            v = v.substr(q2 + 1);
          }
        }
        bytes += PercentDecoded(v);
      } else {
        bytes.append(v);
      }
    }
    std::string value;
    if (charset.empty()) {
      value = DecodeHeaderText(ctx, bytes);
    } else {
      value = ctx.ToShiftJis(charset, bytes);
    }
    // The RFC 2231 form wins over a plain parameter of the same name.
    const auto plain = plainAt.find(e.first);
    if (plain != plainAt.end()) {
      out.params[plain->second].second = std::move(value);
    } else {
      out.params.push_back({e.first, std::move(value)});
    }
  }
  return out;
}

std::string DecodeHeaderText(MimeContext& ctx, std::string_view raw) {
  std::string out;
  std::string runCharset;  // encoded words waiting to be converted together
  std::string runBytes;
  auto flush = [&]() {
    if (runCharset.empty()) return;
    out += ctx.ToShiftJis(runCharset, runBytes);
    runCharset.clear();
    runBytes.clear();
  };
  std::size_t at = 0;      // start of the raw text not yet written
  bool afterWord = false;  // the last thing written was an encoded word
  for (std::size_t i = raw.find("=?"); i != std::string_view::npos; i = raw.find("=?", i)) {
    EncodedWord w;
    std::size_t resume = 0;
    if (!ReadEncodedWord(raw, i, &w, &resume)) {
      i = resume;
      continue;
    }
    const std::string_view between = raw.substr(at, i - at);
    bool onlySpace = true;
    for (char c : between) onlySpace = onlySpace && (IsSpace(c) || IsLineEnd(c));
    if (!(afterWord && onlySpace)) {
      flush();
      AppendRawText(ctx, out, between);
    }
    // Adjacent words of one charset are joined before conversion, so that a
    // character split across two words comes out whole.
    if (!runCharset.empty() && AsciiLowered(runCharset) != AsciiLowered(w.charset)) flush();
    if (LookupCharset(w.charset).route == CharsetRoute::Unknown) {
      flush();
      ++ctx.undecoded;
      ctx.Warn(MimeWarning::UnknownCharset, w.charset);
      out += UnknownCharsetMark(w.charset);
      out.append(raw.substr(i, w.end - i));  // the word as it came
    } else {
      runCharset = w.charset;
      runBytes += w.bytes;
    }
    at = w.end;
    i = w.end;
    afterWord = true;
  }
  flush();
  AppendRawText(ctx, out, raw.substr(at));
  return out;
}

}  // namespace tanavo
