// The number parser: decimal with sign and fraction, "&H" hexadecimal and
// "&O" octal, as numbers are written in settings and mail.
#include <charconv>
#include <cmath>
#include <cstdint>

#include "codec/codec.h"
#include "codec/hex.h"
#include "text/bytes.h"

namespace tanavo {

namespace {

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// The value of c as a digit in the given base, or -1. The run read is
// upper-cased before, so either case of the hexadecimal digits gives the same.
int DigitValue(char c, int base) {
  const int d = HexDigitValue(c);
  return d < base ? d : -1;
}

// Reads "&H..." / "&O..." once the text after "&" has been upper-cased.
double ParseRadix(std::string_view rest) {
  if (rest.empty()) return 0;
  int base = rest[0] == 'H' ? 16 : rest[0] == 'O' ? 8 : 0;
  if (base == 0) return 0;
  double v = 0;
  for (std::size_t i = 1; i < rest.size(); ++i) {
    int d = DigitValue(rest[i], base);
    if (d < 0) break;
    v = v * base + d;
  }
  return v;
}

double ParseDecimal(std::string_view s) {
  bool negative = false;
  std::size_t i = 0;
  if (i < s.size() && (s[i] == '-' || s[i] == '+')) {
    negative = s[i] == '-';
    ++i;
  }
  // Only digits or a point may follow the one sign; from_chars would take a
  // second sign, "inf" or "nan".
  if (i >= s.size() || !(IsDigit(s[i]) || s[i] == '.')) return 0;
  double v = 0;
  std::from_chars_result r = std::from_chars(s.data() + i, s.data() + s.size(), v, std::chars_format::fixed);
  if (r.ec == std::errc::invalid_argument) return 0;  // a point without digits
  if (r.ec == std::errc::result_out_of_range) {
    // Too many digits for a double: a non-zero integer part overflows to
    // infinity, anything else underflows to zero.
    bool wholeNonZero = false;
    for (std::size_t k = i; k < s.size() && IsDigit(s[k]); ++k) wholeNonZero = wholeNonZero || s[k] != '0';
    v = wholeNonZero ? HUGE_VAL : 0.0;
  }
  return negative ? -v : v;
}

}  // namespace

std::string UpperCaseAscii(std::string_view text) {
  std::string out(text);
  for (std::size_t i = 0; i < out.size(); ++i) {
    unsigned char b = static_cast<unsigned char>(out[i]);
    if (IsShiftJisLead(b)) {
      ++i;  // a double-byte character is left as it is, trail byte included
    } else if (b >= 'a' && b <= 'z') {
      out[i] = static_cast<char>(b - 'a' + 'A');
    }
  }
  return out;
}

double ParseNumber(std::string_view text) {
  std::size_t i = text.find_first_not_of(" \t");
  if (i == std::string_view::npos) return 0;
  text.remove_prefix(i);
  if (text[0] != '&') return ParseDecimal(text);
  // Only the run of ASCII letters and digits after "&" can be read as the
  // radix letter and its digits, so only that run needs upper-casing.
  std::string_view rest = text.substr(1);
  std::size_t run = 0;
  while (run < rest.size() && ((rest[run] >= '0' && rest[run] <= '9') || (rest[run] >= 'a' && rest[run] <= 'z') ||
                               (rest[run] >= 'A' && rest[run] <= 'Z'))) {
    ++run;
  }
  return ParseRadix(UpperCaseAscii(rest.substr(0, run)));
}

}  // namespace tanavo
