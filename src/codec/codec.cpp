// Placeholder until the codecs land.
#include "codec/codec.h"

namespace tanavo {
void BuildBase64Alphabet(Base64Alphabet&) {}
const Base64Alphabet& TheBase64Alphabet() { static Base64Alphabet a{}; return a; }
std::string DecodeBase64(std::string_view) { return {}; }
std::string EncodeBase64(std::string_view) { return {}; }
std::string DecodeQuotedPrintable(std::string_view) { return {}; }
std::string JisToShiftJis(std::string_view) { return {}; }
std::string HexByte(int) { return {}; }
std::string HexDump(std::string_view) { return {}; }
double ParseNumber(std::string_view) { return 0; }
}  // namespace tanavo
