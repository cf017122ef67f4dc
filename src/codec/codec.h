// Text codecs: Base64, Quoted-Printable, ISO-2022-JP to Shift_JIS, hex dump,
// and the number parser. Pure functions from bytes to bytes.
#pragma once

#include <array>
#include <string>
#include <string_view>

namespace tanavo {

struct Base64Alphabet {
  std::array<int, 256> value;            // -1 outside the alphabet; "=" is 0
  std::array<std::string, 64> character;  // the standard alphabet
};

// Fills the alphabet (done once when the main window is created).
void BuildBase64Alphabet(Base64Alphabet& a);
// The alphabet every codec reads; built on first use as well, so that the
// codecs are usable before start-up (tests, the command-line companion).
const Base64Alphabet& TheBase64Alphabet();

std::string DecodeBase64(std::string_view text);
std::string EncodeBase64(std::string_view bytes);
// Quoted-Printable by the tag decoding's loose rules, kept byte for byte: an
// "=" takes the two bytes after it whatever they are ("=4G" gives 0x04, "=ZZ"
// 0x00), only "=" CR LF is a soft break, and a 0x00 byte ends the text.
std::string DecodeQuotedPrintableLoose(std::string_view text);
// RFC 2045 Quoted-Printable (full mail): soft breaks before CR LF or a bare
// LF (trailing white space allowed), "=" not followed by two hex digits kept
// as it is.
std::string DecodeQuotedPrintableRfc2045(std::string_view text);
// ISO-2022-JP by the tag decoding's loose rules: ESC $ B / $ @ to double
// bytes, ESC ( B / ( J back; every other byte taken as it comes, a 0x00 byte
// ending the text. Never refuses.
std::string JisToShiftJisLoose(std::string_view text);
// ISO-2022-JP (JIS X 0208 in both editions, JIS X 0201 Roman and katakana by
// escape or SO/SI, JIS X 0212) rewritten as EUC-JP, the form every system
// converts with the vendor extensions (NEC and IBM rows) that phones send.
// False when the text holds an escape of another set (ISO-2022-JP-2 and -3),
// which then goes to the system converter whole.
bool Iso2022JpToEucJp(std::string_view text, std::string* out);
// ISO-2022-JP of JIS X 0208 and JIS X 0201 only, straight to Shift_JIS by the
// strict rules of full mail: the two are the same code moved by arithmetic
// (the NEC and IBM rows included), so no converter is needed. False when the
// text holds any other set or a broken pair, which then takes the way above.
bool Iso2022JpToShiftJisStrict(std::string_view text, std::string* out);
std::string HexByte(int value);
std::string HexDump(std::string_view bytes);
// Decimal ("-12.5"), "&H" hexadecimal or "&O" octal after spaces and TABs;
// 0 when no digits are read. Very long digit runs give huge values (or
// infinity): convert to an integer type only after a range check.
double ParseNumber(std::string_view text);
// ASCII letters upper-cased; double-byte Shift_JIS characters (lead byte
// 0x81-0x9F or 0xE0-0xFC and its trail byte) are left as they are.
std::string UpperCaseAscii(std::string_view text);

}  // namespace tanavo
