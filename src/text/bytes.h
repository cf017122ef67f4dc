// Byte-string primitives shared by every scanner. Positions are 1-based byte
// positions, 0 for "not found"; matching is exact and blind to double-byte
// character boundaries.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace tanavo {

// 0-based search used by every scanner: the first occurrence of pattern at or
// after start, npos when none. Uses the C library's memmem where there is one,
// which does not restart at every occurrence of the pattern's first byte.
std::size_t FindIn(std::string_view text, std::string_view pattern, std::size_t start);
// The search FindIn makes for long patterns where there is no memmem: linear
// in the text and the pattern whatever their bytes. Declared so that every
// system tests it.
std::size_t FindWithPrefixTable(std::string_view text, std::string_view pattern, std::size_t start);

// First occurrence of pattern in text at or after position from. An empty
// pattern gives from itself; from below 1 gives 0.
int32_t FindBytes(int32_t from, std::string_view text, std::string_view pattern);

// Replace non-overlapping occurrences, left to right; replacements are never
// searched again. pattern must not be empty (an empty one changes nothing).
std::string ReplaceAll(std::string_view text, std::string_view pattern, std::string_view replacement);
// ReplaceAll written onto the end of out, for callers that build a text from
// several parts without an intermediate copy.
void AppendReplacingAll(std::string& out, std::string_view text, std::string_view pattern,
                        std::string_view replacement);
std::string ReplaceFirst(std::string_view text, std::string_view pattern, std::string_view replacement);

// Removes every occurrence of one byte.
std::string RemoveByte(std::string_view text, char byte);

std::string Spaces(int32_t n);

// The number in decimal, padded on the left with spaces and cut to its last
// width characters, as progress counters show it ("   7").
std::string RightAligned(int64_t n, std::size_t width);

// The first byte of a double-byte Shift_JIS character.
inline bool IsShiftJisLead(unsigned char b) { return (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC); }
// A byte that may follow a lead byte as the second byte of its character.
inline bool IsShiftJisTrail(unsigned char b) { return b >= 0x40 && b <= 0xFC && b != 0x7F; }
// The longest start of text of at most maxBytes that does not split a
// double-byte character.
std::string_view CutOnCharBoundary(std::string_view text, std::size_t maxBytes);

// The text with ASCII letters lower-cased, other bytes as they are: keywords
// of mail headers and HTML are compared this way.
std::string AsciiLowered(std::string_view text);
// The text without spaces, tabs, CR and LF at either end.
std::string_view TrimSpaceAndLineEnds(std::string_view text);

}  // namespace tanavo
