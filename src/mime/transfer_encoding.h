// The transfer encoding of a body, one enum for both rule sets: the tag
// decoding recognises a name by where it lies in its table
// (ParseEncodingNameLoose, tag_decoding.h), the full decoding by RFC 2045
// with the misspellings mail programs send (ParseEncodingNameRfc2045).
#pragma once

#include <string_view>

namespace tanavo {

enum class TransferEncoding {
  Unknown,          // a name neither rule set knows
  Identity,         // 7bit (and for full mail 8bit, binary and their misspellings)
  Base64,
  QuotedPrintable,
};

// RFC 2045 names by their letters and digits alone, any case ("7-bit",
// "8bits", "plain", "quotedprintable" included); an empty name is Identity.
TransferEncoding ParseEncodingNameRfc2045(std::string_view name);

}  // namespace tanavo
