// Hexadecimal digits as every decoder reads them: either case.
#pragma once

namespace tanavo {

namespace hex_detail {
struct HexDigitTable {
  signed char value[256];
  constexpr HexDigitTable() : value{} {
    for (int b = 0; b < 256; ++b) value[b] = -1;
    for (int d = 0; d < 10; ++d) value['0' + d] = static_cast<signed char>(d);
    for (int d = 0; d < 6; ++d) {
      value['A' + d] = static_cast<signed char>(10 + d);
      value['a' + d] = static_cast<signed char>(10 + d);
    }
  }
};
inline constexpr HexDigitTable kHexDigits{};
}  // namespace hex_detail

// The digit's value (0 to 15), or -1 for any byte that is no hexadecimal digit.
inline int HexDigitValue(char c) { return hex_detail::kHexDigits.value[static_cast<unsigned char>(c)]; }
// The table itself, for loops that read it per byte.
inline const signed char* HexDigitValues() { return hex_detail::kHexDigits.value; }

}  // namespace tanavo
