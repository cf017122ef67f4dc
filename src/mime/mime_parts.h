// The pieces the full decoder is built from, declared for its tests: the
// header block, parameters, encoded words, transfer encodings, charsets and
// HTML made plain.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "mime/mime_full.h"

namespace tanavo {

// What every step shares while one item is decoded: the converter, the
// reporter, the counts, and the offset of the entity being read.
struct MimeContext {
  const CharsetConverter& charsets;
  MimeReporter* reporter = nullptr;
  std::size_t undecoded = 0;
  std::size_t replaced = 0;
  std::size_t offset = 0;
  std::size_t work = 0;  // FullMail::work

  void Warn(MimeWarning w, std::string_view detail) {
    if (reporter) reporter->Warn(w, offset, detail);
  }
  // Text in the charset to Shift_JIS; an unknown charset gives the mark and
  // the bytes as they are.
  std::string ToShiftJis(std::string_view charset, std::string_view bytes);
};

struct HeaderField {
  std::string name;   // lower case
  std::string value;  // unfolded: line breaks of folding removed, white space kept
};

struct HeaderBlock {
  std::vector<HeaderField> fields;
  std::string_view body;  // after the empty line; empty when there is none
};

// Header lines up to the first empty line. A line that is no header (no name
// and colon) ends the block and begins the body, as a mail reader takes it.
HeaderBlock SplitHeaderBlock(std::string_view entity);
// The first field of that name (lower case), or nullptr.
const std::string* FindField(const HeaderBlock& block, std::string_view lowerName);

// A header value with parameters: "text/plain; charset=utf-8; name*=...".
struct ParameterizedValue {
  std::string value;                                       // lower case, trimmed
  std::vector<std::pair<std::string, std::string>> params;  // names lower case, values Shift_JIS
  const std::string* Param(std::string_view lowerName) const;
};
// Quoted strings, RFC 2231 sections and charsets joined and decoded; encoded
// words inside a quoted value (as many mail programs write file names) too.
ParameterizedValue ParseParameterized(MimeContext& ctx, std::string_view raw);

// Unstructured header text to Shift_JIS: encoded words (B and Q, any
// charset) decoded, adjacent words joined before conversion, the white space
// between them dropped; raw 8-bit text taken as UTF-8 when it is valid UTF-8,
// else as Shift_JIS.
std::string DecodeHeaderText(MimeContext& ctx, std::string_view raw);

// True when the text holds bytes above 0x7F and all of it is valid UTF-8.
bool IsUtf8WithHighBytes(std::string_view s);

// Text of an HTML part (already Shift_JIS): tags dropped, script and style
// left out, block ends and <br> as line breaks, white space collapsed as a
// browser does, character references resolved.
std::string HtmlToText(MimeContext& ctx, std::string_view html);

}  // namespace tanavo
