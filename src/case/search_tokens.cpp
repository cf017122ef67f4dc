#include "case/search_tokens.h"

#include <algorithm>
#include <array>
#include <cstring>

#include "platform/console/utf8.h"

namespace tanavo {

namespace {

constexpr char32_t kReplacement = 0xFFFD;

// Half-width katakana U+FF61..U+FF9F as their full-width characters.
constexpr std::array<char16_t, 0x3F> kHalfWidthKana = {
    0x3002, 0x300C, 0x300D, 0x3001, 0x30FB, 0x30F2, 0x30A1, 0x30A3, 0x30A5, 0x30A7, 0x30A9, 0x30E3, 0x30E5,
    0x30E7, 0x30C3, 0x30FC, 0x30A2, 0x30A4, 0x30A6, 0x30A8, 0x30AA, 0x30AB, 0x30AD, 0x30AF, 0x30B1, 0x30B3,
    0x30B5, 0x30B7, 0x30B9, 0x30BB, 0x30BD, 0x30BF, 0x30C1, 0x30C4, 0x30C6, 0x30C8, 0x30CA, 0x30CB, 0x30CC,
    0x30CD, 0x30CE, 0x30CF, 0x30D2, 0x30D5, 0x30D8, 0x30DB, 0x30DE, 0x30DF, 0x30E0, 0x30E1, 0x30E2, 0x30E4,
    0x30E6, 0x30E8, 0x30E9, 0x30EA, 0x30EB, 0x30EC, 0x30ED, 0x30EF, 0x30F3, 0x309B, 0x309C};
constexpr char32_t kHalfVoiced = 0xFF9E;
constexpr char32_t kHalfSemiVoiced = 0xFF9F;

// The voiced (or semi-voiced) form of a full-width katakana, 0 when it has none.
char32_t Voiced(char32_t kana, bool semi) {
  if (kana == 0x30CF || kana == 0x30D2 || kana == 0x30D5 || kana == 0x30D8 || kana == 0x30DB) {
    return kana + (semi ? 2 : 1);
  }
  if (semi) return 0;
  if (kana == 0x30A6) return 0x30F4;  // ヴ
  if ((kana >= 0x30AB && kana <= 0x30C2 && (kana - 0x30AB) % 2 == 0) || kana == 0x30C4 || kana == 0x30C6 ||
      kana == 0x30C8) {
    return kana + 1;
  }
  return 0;
}

char32_t FoldCase(char32_t c) {
  if (c >= 'A' && c <= 'Z') return c + 0x20;
  if (c >= 0xC0 && c <= 0xDE && c != 0xD7) return c + 0x20;
  if (c >= 0x391 && c <= 0x3A9 && c != 0x3A2) return c + 0x20;  // Greek
  if (c >= 0x410 && c <= 0x42F) return c + 0x20;                 // Cyrillic
  return c;
}

enum class CharClass { Separator, Word, Cjk };

CharClass ClassOf(char32_t c) {
  if ((c >= '0' && c <= '9') || (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z')) return CharClass::Word;
  if (c < 0xC0) return CharClass::Separator;
  if (c <= 0x24F && c != 0xD7 && c != 0xF7) return CharClass::Word;  // Latin letters with marks
  if ((c >= 0x370 && c <= 0x3FF) || (c >= 0x400 && c <= 0x4FF)) return CharClass::Word;
  if ((c >= 0x3005 && c <= 0x3007) || (c >= 0x3041 && c <= 0x30FA) || (c >= 0x30FC && c <= 0x30FF) ||
      (c >= 0x31F0 && c <= 0x31FF) || (c >= 0x3400 && c <= 0x4DBF) || (c >= 0x4E00 && c <= 0x9FFF) ||
      (c >= 0xAC00 && c <= 0xD7AF) || (c >= 0xF900 && c <= 0xFAFF) || (c >= 0x20000 && c <= 0x3FFFF)) {
    return CharClass::Cjk;
  }
  return CharClass::Separator;
}

// One character after folding, with where it was in the text.
struct FoldedChar {
  char32_t c;
  std::size_t start;
  std::size_t end;
};

// A character's UTF-8 bytes, made once for the tokens it is in.
struct Utf8Char {
  char bytes[kMaxUtf8Bytes];
  std::size_t size;
  explicit Utf8Char(char32_t c) : size(EncodeUtf8(c, bytes)) {}
};

// The next character folded: full-width ASCII to ASCII, half-width katakana
// to full-width with a following voiced mark joined to it, case folded.
FoldedChar NextFolded(std::string_view text, std::size_t* pos) {
  FoldedChar f{0, *pos, 0};
  char32_t c = NextCodePoint(text, pos);
  if (c >= 0xFF01 && c <= 0xFF5E) c -= 0xFEE0;
  if (c == 0x3000) c = ' ';
  if (c >= 0xFF61 && c <= 0xFF9F) {
    c = kHalfWidthKana[c - 0xFF61];
    std::size_t next = *pos;
    const char32_t mark = next < text.size() ? NextCodePoint(text, &next) : 0;
    if (mark == kHalfVoiced || mark == kHalfSemiVoiced) {
      const char32_t voiced = Voiced(c, mark == kHalfSemiVoiced);
      if (voiced != 0) {
        c = voiced;
        *pos = next;
      }
    }
  }
  f.c = FoldCase(c);
  f.end = *pos;
  return f;
}

}  // namespace

char32_t NextCodePoint(std::string_view s, std::size_t* pos) {
  const std::size_t i = *pos;
  const unsigned char b0 = static_cast<unsigned char>(s[i]);
  *pos = i + 1;
  if (b0 < 0x80) return b0;
  int extra = 0;
  char32_t c = 0, min = 0;
  if (b0 >= 0xC2 && b0 <= 0xDF) {
    extra = 1, c = b0 & 0x1F, min = 0x80;
  } else if (b0 >= 0xE0 && b0 <= 0xEF) {
    extra = 2, c = b0 & 0x0F, min = 0x800;
  } else if (b0 >= 0xF0 && b0 <= 0xF4) {
    extra = 3, c = b0 & 0x07, min = 0x10000;
  } else {
    return kReplacement;
  }
  if (i + static_cast<std::size_t>(extra) >= s.size()) return kReplacement;
  for (int k = 1; k <= extra; ++k) {
    const unsigned char b = static_cast<unsigned char>(s[i + static_cast<std::size_t>(k)]);
    if ((b & 0xC0) != 0x80) return kReplacement;
    c = (c << 6) | (b & 0x3F);
  }
  if (c < min || c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF)) return kReplacement;
  *pos = i + 1 + static_cast<std::size_t>(extra);
  return c;
}

std::size_t EncodeUtf8(char32_t c, char* out) {
  if (c < 0x80) {
    out[0] = static_cast<char>(c);
    return 1;
  }
  if (c < 0x800) {
    out[0] = static_cast<char>(0xC0 | (c >> 6));
    out[1] = static_cast<char>(0x80 | (c & 0x3F));
    return 2;
  }
  if (c < 0x10000) {
    out[0] = static_cast<char>(0xE0 | (c >> 12));
    out[1] = static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    out[2] = static_cast<char>(0x80 | (c & 0x3F));
    return 3;
  }
  out[0] = static_cast<char>(0xF0 | (c >> 18));
  out[1] = static_cast<char>(0x80 | ((c >> 12) & 0x3F));
  out[2] = static_cast<char>(0x80 | ((c >> 6) & 0x3F));
  out[3] = static_cast<char>(0x80 | (c & 0x3F));
  return 4;
}

void AppendUtf8(std::string* out, char32_t c) {
  char bytes[kMaxUtf8Bytes];
  out->append(bytes, EncodeUtf8(c, bytes));
}

std::string ValidUtf8(std::string_view bytes) {
  std::string out;
  out.reserve(bytes.size());
  std::size_t pos = 0;
  while (pos < bytes.size()) {
    const std::size_t start = pos;
    const char32_t c = NextCodePoint(bytes, &pos);
    if (c == kReplacement && !(pos - start == 3 && bytes.substr(start, 3) == "\xEF\xBF\xBD")) {
      AppendUtf8(&out, kReplacement);
    } else {
      out.append(bytes.substr(start, pos - start));
    }
  }
  return out;
}

namespace {

// What the platform's conversion makes of each character of code page 932,
// asked once: a build converts every value, and the system's converter is
// costly to open for each. A byte that starts no character is kept, as that
// conversion keeps it, and ValidUtf8 makes the rest.
class ShiftJisTable {
 public:
  ShiftJisTable() : pair_(0x10000), single_(0x100) {
    // One conversion of every code, each on a line of its own ('\n' is no
    // byte of a character and passes unchanged).
    std::string all;
    for (int b = 0; b < 0x100; ++b) {
      if (b == '\n') continue;
      all += static_cast<char>(b);
      all += '\n';
    }
    Fill(all, 1, [this](const std::string& code) -> std::string& { return single_[Byte(code[0])]; });
    all.clear();
    for (int lead = 0x80; lead < 0x100; ++lead) {
      if (!single_[static_cast<std::size_t>(lead)].empty()) continue;  // a character alone: no pair starts with it
      for (int trail = 0x40; trail < 0x100; ++trail) {
        all += static_cast<char>(lead);
        all += static_cast<char>(trail);
        all += '\n';
      }
    }
    Fill(all, 2, [this](const std::string& code) -> std::string& {
      return pair_[Byte(code[0]) * 0x100u + Byte(code[1])];
    });
    single_['\n'] = "\n";
  }

  std::string Convert(const std::string& sjis) const {
    std::string out;
    out.reserve(sjis.size() * 3 / 2 + 8);
    bool raw = false;
    for (std::size_t i = 0; i < sjis.size();) {
      const unsigned char b = Byte(sjis[i]);
      if (b < 0x80) {
        out += static_cast<char>(b);
        ++i;
      } else if (!single_[b].empty()) {
        out += single_[b];
        ++i;
      } else if (i + 1 < sjis.size() && !pair_[b * 0x100u + Byte(sjis[i + 1])].empty()) {
        out += pair_[b * 0x100u + Byte(sjis[i + 1])];
        i += 2;
      } else {
        out += static_cast<char>(b);  // kept, as the conversion keeps it
        raw = true;
        ++i;
      }
    }
    // Kept bytes next to each other may make a character of UTF-8, as they
    // did when converted whole: the same text either way.
    return raw ? ValidUtf8(out) : out;
  }

 private:
  static unsigned char Byte(char c) { return static_cast<unsigned char>(c); }

  // Each line of the conversion of codes (each width bytes and a '\n') that
  // is one character is kept as that code's UTF-8.
  template <typename Slot>
  static void Fill(const std::string& codes, std::size_t width, Slot slot) {
    const std::string utf8 = Cp932ToUtf8(codes);
    std::size_t u = 0;
    for (std::size_t i = 0; i + width < codes.size() + 1; i += width + 1) {
      const std::size_t end = utf8.find('\n', u);
      if (end == std::string::npos) return;
      const std::string one = utf8.substr(u, end - u);
      u = end + 1;
      std::size_t pos = 0;
      const char32_t c = one.empty() ? kReplacement : NextCodePoint(one, &pos);
      if (pos == one.size() && c != kReplacement) slot(codes.substr(i, width)) = one;
    }
  }

  std::vector<std::string> pair_;    // lead * 256 + trail
  std::vector<std::string> single_;  // by byte, from 0x80 (below, ASCII)
};

}  // namespace

std::string SearchTextFromShiftJis(const std::string& sjis) {
  bool ascii = true;
  for (char b : sjis) ascii = ascii && static_cast<unsigned char>(b) < 0x80;
  if (ascii) return sjis;
  static const ShiftJisTable table;
  return table.Convert(sjis);
}

namespace {

// Splits text, telling emit(token text, start, end, colocated) of each
// token; emit returning false stops it. One split for every caller, so that
// a document's tokens are those its queries look for.
template <typename Emit>
bool Split(std::string_view text, TokenizeFor mode, Emit&& emit) {
  std::size_t pos = 0;
  char pair[2 * kMaxUtf8Bytes];
  std::string word;
  // The unspaced run being split: the character before the current one.
  bool havePrevious = false;
  FoldedChar previous{0, 0, 0};
  Utf8Char previousBytes(0);
  bool previousAlone = false;  // a query run of one character so far
  const auto joined = [&](const Utf8Char& first, const Utf8Char& second) {
    std::memcpy(pair, first.bytes, first.size);
    std::memcpy(pair + first.size, second.bytes, second.size);
    return std::string_view(pair, first.size + second.size);
  };
  while (pos < text.size()) {
    const FoldedChar f = NextFolded(text, &pos);
    const CharClass cls = ClassOf(f.c);
    if (cls == CharClass::Cjk) {
      const Utf8Char bytes(f.c);
      if (mode == TokenizeFor::Document) {
        if (havePrevious && !emit(joined(previousBytes, bytes), previous.start, f.end, true)) return false;
        if (!emit(std::string_view(bytes.bytes, bytes.size), f.start, f.end, false)) return false;
      } else if (havePrevious) {
        if (!emit(joined(previousBytes, bytes), previous.start, f.end, false)) return false;
        previousAlone = false;
      } else {
        previousAlone = true;
      }
      previous = f;
      previousBytes = bytes;
      havePrevious = true;
      continue;
    }
    // The end of an unspaced run: a query's run of one character is that
    // character alone.
    if (havePrevious && previousAlone &&
        !emit(std::string_view(previousBytes.bytes, previousBytes.size), previous.start, previous.end, false)) {
      return false;
    }
    havePrevious = previousAlone = false;
    if (cls != CharClass::Word) continue;
    word.clear();
    const std::size_t start = f.start;
    std::size_t end = f.end;
    FoldedChar w = f;
    for (;;) {
      if (word.size() + kMaxUtf8Bytes <= kMaxWordTokenBytes) AppendUtf8(&word, w.c);
      end = w.end;
      if (pos >= text.size()) break;
      std::size_t next = pos;
      const FoldedChar n = NextFolded(text, &next);
      if (ClassOf(n.c) != CharClass::Word) break;
      pos = next;
      w = n;
    }
    if (!emit(std::string_view(word), start, end, false)) return false;
  }
  return !(havePrevious && previousAlone) ||
         emit(std::string_view(previousBytes.bytes, previousBytes.size), previous.start, previous.end, false);
}

}  // namespace

bool TokenizeSearchText(std::string_view text, TokenizeFor mode, const TokenSink& sink) {
  SearchToken token;
  return Split(text, mode, [&](std::string_view t, std::size_t start, std::size_t end, bool colocated) {
    token.text.assign(t.data(), t.size());
    token.start = start;
    token.end = end;
    token.colocated = colocated;
    return sink(token);
  });
}

void DocumentTokenKeys(std::string_view utf8, std::vector<std::uint64_t>* keys, std::vector<std::string>* words) {
  Split(utf8, TokenizeFor::Document, [&](std::string_view t, std::size_t, std::size_t, bool) {
    if (t.size() <= kMaxTokenKeyBytes) keys->push_back(TokenKey(t));
    else words->emplace_back(t);
    return true;
  });
}

std::uint64_t TokenKey(std::string_view token) {
  std::uint64_t key = 0;
  std::memcpy(&key, token.data(), std::min(token.size(), kMaxTokenKeyBytes));
  return key;
}

std::string TokenOfKey(std::uint64_t key) {
  char bytes[kMaxTokenKeyBytes];
  std::memcpy(bytes, &key, sizeof bytes);
  std::size_t n = 0;
  while (n < sizeof bytes && bytes[n] != '\0') ++n;
  return std::string(bytes, n);
}

std::vector<SearchToken> SearchTokens(std::string_view utf8, TokenizeFor mode) {
  std::vector<SearchToken> tokens;
  TokenizeSearchText(utf8, mode, [&](const SearchToken& t) {
    tokens.push_back(t);
    return true;
  });
  return tokens;
}

}  // namespace tanavo
