// Full decoding of one item as Internet mail (RFC 5322, 2045-2049, 2047,
// 2231): a pure function from the item's bytes to a value. It shows nothing
// and touches no window; what it cannot decode is marked in the text, counted
// in the result, and told to a reporter when the caller gives one.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "platform/reporter.h"

namespace tanavo {

class CharsetConverter;

// Multiparts nest at most this deep (the top entity is depth 0); a deeper
// one is kept whole as an attachment, so hostile nesting costs nothing.
constexpr int kMaxMimeDepth = 16;
// Parts made per item, at every depth together; where a multipart would pass
// it, the rest of its body is kept whole, unsplit, in one part.
constexpr std::size_t kMaxMimeParts = 1000;
// A boundary is 1 to 70 characters (RFC 2046); a longer one names no
// delimiter line, and the multipart is read as text like one without it.
constexpr std::size_t kMaxBoundaryBytes = 70;
// RFC 2231 continuation sections joined per parameter (name*0, name*1, ...).
constexpr int kMaxParameterSections = 64;

// Marks written into the text where something could not be decoded; each is
// followed by the bytes as they came, so nothing is hidden from the reader.
//   〓[文字コード不明:NAME]   text in a charset this system cannot convert
//   〓[エンコード不明:NAME]   a part in a transfer encoding it does not know
//   〓[HTML終わりなし:NAME]  HTML whose comment, tag or hidden element (NAME:
//                            "!--", "!", a tag name) never ends: the rest of the part
//   〓[未分割:TYPE]          the rest of a multipart's body past kMaxMimeParts,
//                            delimiters and all (an attachment of its own)
// A single character that Shift_JIS cannot hold becomes 〓 alone.
std::string UnknownCharsetMark(std::string_view charset);
std::string UnknownEncodingMark(std::string_view encoding);
std::string UnclosedHtmlMark(std::string_view name);
std::string UnsplitMark(std::string_view type);

enum class MimeWarning {
  UnknownCharset,         // detail: the charset name
  UnknownTransferEncoding,  // detail: the encoding name
  UnmappedCharacters,     // detail: the charset; characters became 〓
  TooDeep,                // a multipart below kMaxMimeDepth, kept whole
  TooManyParts,           // a body past kMaxMimeParts, kept whole in one part
  NoBoundary,             // a multipart without a usable boundary: read as text
  UnclosedHtml,           // detail: what never ends; the rest of the HTML kept as it came
};

// Told about each problem as it is met, with the byte offset (0-based) of the
// entity concerned in the item.
using MimeReporter = Reporter<MimeWarning, std::size_t, std::string_view>;

struct MailAttachment {
  std::string name;   // Shift_JIS; made up from the part's type when it has none
  std::string bytes;  // decoded by the part's own transfer encoding
};

struct FullMail {
  // The top header's fields, unfolded, encoded words decoded (Shift_JIS).
  std::string date;
  std::string from;
  std::string to;
  std::string subject;
  std::string body;  // Shift_JIS: the first text/plain part, or the first text/html made plain
  std::vector<MailAttachment> attachments;
  std::size_t undecoded = 0;  // marks written, and bodies kept unsplit (nesting or parts cut off)
  std::size_t replaced = 0;   // characters that became 〓
  // Bytes the multipart splits read: at most about twice the item at each
  // depth, never the square of anything.
  std::size_t work = 0;
  std::size_t Problems() const { return undecoded + replaced; }
};

// What a decoding reads: the whole mail, or only the top header's fields (a
// list line or a header entry needs no body; attachments and body stay empty,
// and only the header's problems are counted).
enum class MailParts { All, HeaderOnly };

FullMail DecodeFullMail(std::string_view item, const CharsetConverter& charsets, MimeReporter* reporter = nullptr,
                        MailParts parts = MailParts::All);

}  // namespace tanavo
