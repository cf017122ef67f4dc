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
std::string DecodeQuotedPrintable(std::string_view text);
std::string JisToShiftJis(std::string_view text);
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
