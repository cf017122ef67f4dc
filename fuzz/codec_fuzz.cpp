// Every codec on outside bytes; the first byte chooses the codec.
#include <cmath>

#include "codec/carrier_emoji.h"
#include "codec/codec.h"
#include "display/attachment.h"
#include "fuzz_support.h"

using namespace tanavo;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size == 0) return 0;
  const std::string_view in = AsText(data + 1, size - 1);
  switch (data[0] % 6) {
    case 0: {
      FUZZ_CHECK(DecodeBase64(EncodeBase64(in)) == in);
      const std::string decoded = DecodeBase64(in);
      FUZZ_CHECK(decoded.size() <= in.size() / 4 * 3);
      FUZZ_CHECK(DecodeAttachment(in, [](int, size_t, size_t) {}) == decoded);
      break;
    }
    case 1:
      FUZZ_CHECK(DecodeQuotedPrintableLoose(in).size() <= in.size());
      break;
    case 2: {
      const std::string sjis = JisToShiftJisLoose(in);
      // Text without ESC is copied up to its first 0x00 byte.
      if (in.find('\x1b') == std::string_view::npos) FUZZ_CHECK(sjis == in.substr(0, in.find('\0')));
      break;
    }
    case 3: {
      const std::string dump = HexDump(in);
      // A cell "XX " per byte, with a real line break after each "0D 0A ".
      std::string cells;
      for (size_t i = 0; i < in.size(); ++i) cells += HexByte(static_cast<unsigned char>(in[i])) + " ";
      std::string expected;
      for (size_t i = 0; i < cells.size(); i += 3) {
        expected.append(cells, i, 3);
        if (cells.compare(i, 6, "0D 0A ") == 0 && i % 3 == 0) {
          expected.append(cells, i + 3, 3);
          expected += "\r\n";
          i += 3;
        }
      }
      FUZZ_CHECK(dump == expected);
      break;
    }
    case 4: {
      const double v = ParseNumber(in);
      FUZZ_CHECK(!std::isnan(v));
      break;
    }
    case 5: {
      FUZZ_CHECK(UpperCaseAscii(in).size() == in.size());
      // Carrier emoji marks: no carrier keeps every byte; text without an
      // emoji of the carrier is given back as it is.
      FUZZ_CHECK(MarkCarrierEmoji(in, Carrier::None) == in);
      for (Carrier c : {Carrier::Docomo, Carrier::Au, Carrier::SoftBank}) {
        std::size_t count = 0;
        const std::string marked = MarkCarrierEmoji(in, c, &count);
        FUZZ_CHECK(count > 0 || marked == in);
        FUZZ_CHECK(count <= in.size() / 2);
      }
      break;
    }
  }
  return 0;
}
