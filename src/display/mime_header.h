// MIME header tools shared by the item decoder and the multipart decoder:
// finding a header's tags with pattern lists, reading header values, mapping
// them to canonical names, encoded words and the body decoding pipeline.
// Every search is byte-exact and case-sensitive; the accepted case variants
// are spelled out in the lists and tables.
#pragma once

#include <string>
#include <string_view>

namespace tanavo {

class Platform;

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

inline constexpr std::string_view kEncoding7Bit = "7BIT";
inline constexpr std::string_view kEncodingBase64 = "BASE64";
inline constexpr std::string_view kEncodingQuotedPrintable = "QUOTED-PRINTABLE";
inline constexpr std::string_view kCharsetShiftJis = "SHIFT_JIS";
inline constexpr std::string_view kCharsetIso2022Jp = "ISO-2022-JP";

// A warning box shows at most this many bytes of a header value (a broken
// header can run over megabytes); longer values are cut and marked "...".
constexpr std::size_t kWarningValueBytes = 200;

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
// where it lies in the name tables; Unknown for any other (or empty) value.
enum class TransferEncoding { Unknown, SevenBit, Base64, QuotedPrintable };
enum class JapaneseCode { Unknown, ShiftJis, Iso2022Jp };
TransferEncoding ParseEncodingName(std::string_view value);
JapaneseCode ParseCharsetName(std::string_view value);

// The canonical names: "7BIT", "BASE64", "QUOTED-PRINTABLE", or "" when not
// recognised.
std::string NormaliseEncodingName(std::string_view value);
// "SHIFT_JIS", "ISO-2022-JP", or "" when not recognised.
std::string NormaliseCharsetName(std::string_view value);

// Replaces every "B" encoded word (Shift_JIS or ISO-2022-JP) by its Shift_JIS
// bytes, each word by itself; NUL bytes are removed from the result.
std::string DecodeEncodedWords(std::string_view text);

// Applies the transfer encoding and the charset (raw header values) to a body;
// with neither, decodes its encoded words. Unrecognised values are reported
// with one warning box each and skip their step. TAB bytes are removed.
std::string DecodeBody(Platform& platform, std::string_view body, std::string_view encodingValue,
                       std::string_view charsetValue);

}  // namespace tanavo
