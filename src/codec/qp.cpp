// Quoted-Printable decoding by two rule sets: the loose one of the tag
// decoding, byte for byte as it always was, and RFC 2045 for full mail.
#include <algorithm>

#include "codec/codec.h"
#include "codec/hex.h"

namespace tanavo {

namespace {

// Output is gathered in a small buffer and appended in blocks: the result
// is often much shorter than the input, so no input-sized block is filled.
constexpr std::size_t kOutputChunk = 4096;

}  // namespace

std::string DecodeQuotedPrintableLoose(std::string_view text) {
  const signed char* hex = HexDigitValues();
  const std::size_t n = text.size();
  const auto* in = reinterpret_cast<const unsigned char*>(text.data());
  std::string out;
  out.reserve(n);  // never longer than the input
  char chunk[kOutputChunk];

  // A 0x00 byte ends the text where the walk reaches it; one among the two
  // bytes after "=" belongs to that escape and does not.
  std::size_t nul = std::min(text.find('\0'), n);
  std::size_t pos = 0;
  while (pos < n) {
    // A 0x00 consumed by an escape ended the last block early: find the next.
    if (nul < pos) nul = std::min(text.find('\0', pos), n);
    if (pos >= nul) break;
    // Each step reads at least one byte and writes at most one, so a block
    // of input never overfills the chunk.
    const std::size_t blockEnd = std::min(nul, pos + kOutputChunk);
    char* o = chunk;
    // While two bytes follow every "=", no bounds checks.
    const std::size_t fastEnd = n >= 2 ? std::min(blockEnd, n - 2) : 0;
    while (pos < fastEnd) {
      unsigned char c = in[pos];
      if (c != '=') {
        *o++ = static_cast<char>(c);
        ++pos;
        continue;
      }
      unsigned char b1 = in[pos + 1], b2 = in[pos + 2];
      pos += 3;
      int d1 = hex[b1], d2 = hex[b2];
      if (d1 >= 0) {
        *o++ = static_cast<char>(d2 < 0 ? d1 : d1 * 16 + d2);
        continue;
      }
      if (b1 == '\r' && b2 == '\n') continue;  // soft line break
      *o++ = '\0';
    }
    // The last bytes, where fewer than two follow an "=".
    while (pos < blockEnd) {
      unsigned char c = in[pos];
      if (c != '=') {
        *o++ = static_cast<char>(c);
        ++pos;
        continue;
      }
      // The two bytes after "=", 0x00 standing in for those past the end.
      unsigned char b1 = 0, b2 = 0;
      if (pos + 2 < n) {
        b1 = in[pos + 1];
        b2 = in[pos + 2];
      } else if (pos + 1 < n) {
        b1 = in[pos + 1];
      }
      pos += 3;
      if (b1 == '\r' && b2 == '\n') continue;  // CR LF after "=" is a soft line break
      // The leading hexadecimal digits give the byte; none give 0x00. This
      // is what ParseNumber makes of "&h" and the two bytes.
      int d1 = hex[b1], d2 = hex[b2];
      *o++ = static_cast<char>(d1 < 0 ? 0 : d2 < 0 ? d1 : d1 * 16 + d2);
    }
    out.append(chunk, static_cast<std::size_t>(o - chunk));
  }
  return out;
}

std::string DecodeQuotedPrintableRfc2045(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (std::size_t i = 0; i < text.size(); ++i) {
    const char c = text[i];
    if (c != '=') {
      out.push_back(c);
      continue;
    }
    if (i + 2 < text.size() && HexDigitValue(text[i + 1]) >= 0 && HexDigitValue(text[i + 2]) >= 0) {
      out.push_back(static_cast<char>(HexDigitValue(text[i + 1]) * 16 + HexDigitValue(text[i + 2])));
      i += 2;
      continue;
    }
    // A soft line break: "=", perhaps white space, then CR LF, LF or the end.
    std::size_t j = i + 1;
    while (j < text.size() && (text[j] == ' ' || text[j] == '\t')) ++j;
    if (j == text.size()) {
      i = j;
      continue;
    }
    if (text[j] == '\n' || (text[j] == '\r' && j + 1 < text.size() && text[j + 1] == '\n')) {
      i = text[j] == '\r' ? j + 1 : j;
      continue;
    }
    out.push_back(c);  // a lone "=" stays itself
  }
  return out;
}

}  // namespace tanavo
