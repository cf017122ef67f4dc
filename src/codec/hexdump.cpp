// The hexadecimal dump of the conversion tool.
#include <algorithm>
#include <cstdint>
#include <cstring>

#include "codec/codec.h"

namespace tanavo {

namespace {

constexpr char kUpperHex[] = "0123456789ABCDEF";
constexpr std::size_t kDumpCellBytes = 3;   // "XX "
constexpr std::size_t kLineBreakExtra = 2;  // the real CR LF after "0D 0A "
constexpr std::size_t kStoreSlack = 8;      // cells are stored eight bytes at a time
constexpr std::size_t kDumpChunkBytes = 2048;  // input bytes dumped per block
constexpr std::size_t kMaxDumpPerByte = 4;     // "0D 0A " and CR LF for two bytes

// Each byte's cell "XX " as the low three bytes of a word (in memory order
// on a little-endian machine), so that cells can be packed and stored whole.
struct DumpTable {
  std::uint64_t cell[256];
};

const DumpTable& TheDumpTable() {
  static const DumpTable t = [] {
    DumpTable d{};
    for (int b = 0; b < 256; ++b) {
      unsigned char text[8] = {static_cast<unsigned char>(kUpperHex[b >> 4]),
                               static_cast<unsigned char>(kUpperHex[b & 0xF]), ' ', 0, 0, 0, 0, 0};
      std::uint64_t v = 0;
      for (int k = 7; k >= 0; --k) v = (v << 8) | text[k];
      d.cell[b] = v;
    }
    return d;
  }();
  return t;
}

// The little-endian memory order of a word; the byte order of the machine
// decides how a packed word must be stored.
void StoreLittleEndian(char* o, std::uint64_t v) {
#if defined(__BYTE_ORDER__) && __BYTE_ORDER__ == __ORDER_LITTLE_ENDIAN__
  std::memcpy(o, &v, sizeof v);
#else
  unsigned char b[8];
  for (int k = 0; k < 8; ++k) b[k] = static_cast<unsigned char>(v >> (8 * k));
  std::memcpy(o, b, sizeof b);
#endif
}

}  // namespace

std::string HexByte(int value) {
  // "%X" prefixed by "0" and cut to its last two characters: the low byte.
  unsigned v = static_cast<unsigned>(value) & 0xFFu;
  return std::string{kUpperHex[v >> 4], kUpperHex[v & 0xF]};
}

std::string HexDump(std::string_view bytes) {
  const DumpTable& t = TheDumpTable();
  const auto* in = reinterpret_cast<const unsigned char*>(bytes.data());
  const std::size_t n = bytes.size();

  std::string out;
  // Room for a line break every eight bytes; pages never written are never
  // touched, and denser breaks cost one reallocation.
  out.reserve(n * kDumpCellBytes + n / 8 * kLineBreakExtra + kStoreSlack);
  // Cells are gathered in a small buffer and appended in blocks, so that
  // nothing is filled twice and no pass counts the line breaks first.
  // A block's bytes give at most four each (CR LF gives eight); a CR LF that
  // straddles the block's end adds its LF's share.
  char chunk[kDumpChunkBytes * kMaxDumpPerByte + kMaxDumpPerByte + kStoreSlack];
  std::size_t i = 0;
  while (i < n) {
    const std::size_t end = std::min(n, i + kDumpChunkBytes);
    char* o = chunk;
    while (i < end) {
      // Two bytes to a store while neither is a CR.
      if (i + 1 < end && in[i] != '\r' && in[i + 1] != '\r') {
        StoreLittleEndian(o, t.cell[in[i]] | (t.cell[in[i + 1]] << 24));
        o += 2 * kDumpCellBytes;
        i += 2;
      } else if (in[i] == '\r' && i + 1 < n && in[i + 1] == '\n') {
        std::memcpy(o, "0D 0A \r\n", 2 * kDumpCellBytes + kLineBreakExtra);
        o += 2 * kDumpCellBytes + kLineBreakExtra;
        i += 2;
      } else {
        StoreLittleEndian(o, t.cell[in[i]]);  // a lone CR, or the block's last byte
        o += kDumpCellBytes;
        ++i;
      }
    }
    out.append(chunk, static_cast<std::size_t>(o - chunk));
  }
  return out;
}

}  // namespace tanavo
