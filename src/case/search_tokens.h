// The search's words: UTF-8 text split into tokens as the case file indexes
// it. Japanese and other unspaced scripts become overlapping two-character
// tokens plus one per character, so that a word of one or two characters is
// found inside a sentence; Latin words and digit runs stay whole. Half-width
// katakana, full-width ASCII and case are folded, so ｶﾞ finds ガ and ＡＢＣ
// finds abc.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace tanavo {

// A word longer than this is cut to it: a token is a key of the search index,
// and text from a phone may hold a word of any length.
constexpr std::size_t kMaxWordTokenBytes = 128;

enum class TokenizeFor {
  Document,  // every character alone and every pair of neighbours
  Query,     // pairs only, in order, so that a phrase of them follows the text
};

struct SearchToken {
  std::string text;        // folded, UTF-8
  std::size_t start = 0;   // byte range in the text tokenized
  std::size_t end = 0;
  bool colocated = false;  // at the position of the token before it
};

// Told of each token; returning false stops the split.
using TokenSink = std::function<bool(const SearchToken&)>;

// Splits utf8; bytes that are no UTF-8 character separate tokens. False when
// the sink stopped it.
bool TokenizeSearchText(std::string_view utf8, TokenizeFor mode, const TokenSink& sink);
std::vector<SearchToken> SearchTokens(std::string_view utf8, TokenizeFor mode);

// A token of up to this many bytes (every character and pair of Japanese
// text, most words) is also one number: its bytes, zero padded. A token
// holds no NUL byte, so the padding tells lengths apart.
constexpr std::size_t kMaxTokenKeyBytes = 8;
std::uint64_t TokenKey(std::string_view token);  // of its first kMaxTokenKeyBytes
std::string TokenOfKey(std::uint64_t key);
// A document's tokens as TokenizeSearchText gives them, without where:
// those of up to kMaxTokenKeyBytes as numbers into keys, longer ones into
// words; for an index made of many texts, with nothing made per token.
void DocumentTokenKeys(std::string_view utf8, std::vector<std::uint64_t>* keys, std::vector<std::string>* words);

// Valid UTF-8 in any case: each byte that is no UTF-8 character becomes
// U+FFFD, so that what reaches the index and a JSON answer is text.
std::string ValidUtf8(std::string_view bytes);
// Shift_JIS text (the program's) as UTF-8 for search: characters converted,
// bytes that are no character U+FFFD.
std::string SearchTextFromShiftJis(const std::string& sjis);

// One code point of utf8 at *pos, advancing it; U+FFFD for a byte that
// starts no valid character (one byte is taken).
char32_t NextCodePoint(std::string_view utf8, std::size_t* pos);
// The UTF-8 bytes of cp (below 0x110000) at out, which has room for
// kMaxUtf8Bytes; how many were written.
constexpr std::size_t kMaxUtf8Bytes = 4;
std::size_t EncodeUtf8(char32_t cp, char* out);
void AppendUtf8(std::string* out, char32_t cp);

}  // namespace tanavo
