// The hexadecimal dump of the conversion tool.
#include <cstring>

#include "codec/codec.h"

namespace tanavo {

namespace {

constexpr char kUpperHex[] = "0123456789ABCDEF";
constexpr std::size_t kDumpCellBytes = 3;   // "XX "
constexpr std::size_t kLineBreakExtra = 2;  // the real CR LF after "0D 0A "

// Each byte's cell, padded to four so that it is stored with one copy.
struct DumpTable {
  char cell[256][4];
};

const DumpTable& TheDumpTable() {
  static const DumpTable t = [] {
    DumpTable d{};
    for (int b = 0; b < 256; ++b) {
      d.cell[b][0] = kUpperHex[b >> 4];
      d.cell[b][1] = kUpperHex[b & 0xF];
      d.cell[b][2] = ' ';
      d.cell[b][3] = ' ';
    }
    return d;
  }();
  return t;
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

  std::size_t lineBreaks = 0;
  for (std::size_t p = bytes.find("\r\n"); p != std::string_view::npos; p = bytes.find("\r\n", p + 2)) ++lineBreaks;

  std::string out;
  // One spare byte lets every cell be stored as four.
  out.resize(n * kDumpCellBytes + lineBreaks * kLineBreakExtra + 1);
  char* const base = out.data();
  char* o = base;
  for (std::size_t i = 0; i < n; ++i) {
    std::memcpy(o, t.cell[in[i]], sizeof t.cell[0]);
    o += kDumpCellBytes;
    if (in[i] == '\r' && i + 1 < n && in[i + 1] == '\n') {
      std::memcpy(o, "0A \r\n", 5);
      o += kDumpCellBytes + kLineBreakExtra;
      ++i;
    }
  }
  out.resize(static_cast<std::size_t>(o - base));
  return out;
}

}  // namespace tanavo
