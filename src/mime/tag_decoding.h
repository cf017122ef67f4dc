// Mail decoding by the tag table's loose rules (the tag decoding of a Data
// entry and its multipart items), beside the full decoding's RFC rules
// (mime_full.h): finding a header's tags with pattern lists, reading header
// values, recognising names by where they lie in a table, "B" encoded words
// and the body decoding pipeline. Every search is byte-exact and
// case-sensitive; the accepted case variants are spelled out in the lists and
// tables. Kept byte for byte as the tag decoding has always read mail.
#pragma once

#include <string>
#include <string_view>

#include "mime/mime_full.h"
#include "mime/transfer_encoding.h"

namespace tanavo {

// Pattern lists: lines ended by CR LF; in each line the bytes before the
// first "*" are the start tag, the run of "*" stands for the value, and the
// bytes after the run are the end tag (CR LF itself when nothing is between).
// Lines are tried in order.
inline constexpr std::string_view kContentTypePatterns = "Content-Type:***;\r\nContent-type:***;\r\n";
inline constexpr std::string_view kTransferEncodingPatterns =
    "CONTENT-TRANSFER-ENCODING:***\r\n"
    "Content-Transfer-Encoding:***\r\n"
    "Content-transfer-encoding:***\r\n";
// Quoted forms come before the unquoted ones of the same case, so that a
// quoted value is read without its quotation marks.
inline constexpr std::string_view kCharsetPatterns =
    "CHARSET=\"***\"\r\nCHARSET=***\r\ncharset=\"***\"\r\ncharset=***\r\n";

// Name tables, searched as plain byte strings: where a value lies decides its
// canonical name.
inline constexpr std::string_view kEncodingNameTable =
    "[7BIT]7Bit7bit[BASE64]Base64base64[QUOTED-PRINTABLE]Quoted-PrintableQuoted-printablequoted-printable";
inline constexpr std::string_view kCharsetNameTable = "[SHIFT_JIS]Shift_JIS[ISO-2022-JP]iso-2022-jp";

enum class HeaderKind { ContentType, TransferEncoding, Charset, Content };

struct HeaderTags {
  std::string startTag;
  std::string endTag;
};

// The tags of the first pattern line of the list that occurs in the text
// (start tag with an end tag after it); two empty tags when none does.
HeaderTags FindHeaderTags(std::string_view text, std::string_view patternList);

// The value of one header of an item, read with the tag pair of its Data
// entry; "*" "*" asks for the pattern list of the kind (not for Content).
// Header values lose their spaces; the content is returned as found.
std::string ReadHeaderValue(std::string_view text, std::string_view startTag, std::string_view endTag,
                            HeaderKind kind);

// The content value of ReadHeaderValue as a view into the text, so that a
// large body is not copied before it is decoded.
std::string_view ReadContentView(std::string_view text, std::string_view startTag, std::string_view endTag);

// The transfer encodings and charsets a header value is recognised as, by
// where it lies in the name tables (so "BIT" is 7bit and "64" Base64);
// Unknown for any other (or empty) value.
enum class JapaneseCode { Unknown, ShiftJis, Iso2022Jp };
TransferEncoding ParseEncodingNameLoose(std::string_view value);
JapaneseCode ParseCharsetNameLoose(std::string_view value);

// Replaces every "B" encoded word (Shift_JIS or ISO-2022-JP in the four
// spellings the table knows) by its Shift_JIS bytes, each word by itself,
// one spelling after the other; NUL bytes are removed from the result. The
// RFC 2047 reading of full mail is DecodeHeaderText (mime_parts.h).
std::string DecodeEncodedWordsLoose(std::string_view text);

// Applies the transfer encoding and the charset (raw header values) to a body;
// with neither, decodes its encoded words. An unrecognised value is told to
// the reporter (UnknownTransferEncoding or UnknownCharset, the raw value as
// detail, offset 0) and skips its step. TAB bytes are removed.
std::string DecodeTagBody(std::string_view body, std::string_view encodingValue, std::string_view charsetValue,
                          MimeReporter* reporter);

}  // namespace tanavo
