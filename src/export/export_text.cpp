#include "export/export_text.h"

#include <array>
#include <cstdint>
#include <cstring>
#include <vector>

#include "platform/console/utf8.h"
#include "text/bytes.h"

namespace tanavo {

namespace {

constexpr char kHex[] = "0123456789ABCDEF";
constexpr std::size_t kMaxUtf8Bytes = 3;  // code page 932 maps into the Basic Multilingual Plane

bool IsHalfWidthKana(unsigned char b) { return b >= 0xA1 && b <= 0xDF; }

// The length of the one UTF-8 character that is all of s, 0 when s is not one.
std::size_t OneUtf8Character(std::string_view s) {
  if (s.empty()) return 0;
  const unsigned char b = static_cast<unsigned char>(s[0]);
  std::size_t n = b < 0x80 ? 1 : b >= 0xC2 && b <= 0xDF ? 2 : b >= 0xE0 && b <= 0xEF ? 3 : b >= 0xF0 && b <= 0xF4 ? 4 : 0;
  if (n == 0 || n > s.size()) return 0;
  for (std::size_t i = 1; i < n; ++i) {
    if ((static_cast<unsigned char>(s[i]) & 0xC0) != 0x80) return 0;
  }
  const unsigned char c = n > 1 ? static_cast<unsigned char>(s[1]) : 0;
  // Overlong forms, UTF-16 surrogates and code points past U+10FFFF.
  if ((b == 0xE0 && c < 0xA0) || (b == 0xED && c >= 0xA0) || (b == 0xF0 && c < 0x90) || (b == 0xF4 && c >= 0x90)) {
    return 0;
  }
  return n;
}

// The UTF-8 of every Shift_JIS character above ASCII that the platform's
// code page 932 converts: half-width katakana and the double-byte characters.
// Built with one conversion of all of them, each followed by a line feed.
class ShiftJisCharacters {
 public:
  ShiftJisCharacters() : utf8_(256 * 256) {
    std::string all;
    std::vector<unsigned> codes;
    for (unsigned lead = 0x80; lead <= 0xFF; ++lead) {
      if (IsHalfWidthKana(static_cast<unsigned char>(lead))) {
        codes.push_back(lead);
        all.push_back(static_cast<char>(lead));
        all.push_back('\n');
      }
      if (!IsShiftJisLead(static_cast<unsigned char>(lead))) continue;
      for (unsigned trail = 0x40; trail <= 0xFC; ++trail) {
        if (!IsShiftJisTrail(static_cast<unsigned char>(trail))) continue;
        codes.push_back(lead << 8 | trail);
        all.push_back(static_cast<char>(lead));
        all.push_back(static_cast<char>(trail));
        all.push_back('\n');
      }
    }
    // What does not convert is kept as it was, which never reads as one
    // UTF-8 character: its first byte is a UTF-8 continuation byte or a lead
    // without its continuation bytes.
    const std::string converted = Cp932ToUtf8(all);
    std::size_t at = 0;
    for (unsigned code : codes) {
      const std::size_t end = converted.find('\n', at);
      if (end == std::string::npos) break;
      const std::string_view one(converted.data() + at, end - at);
      const std::size_t n = OneUtf8Character(one);
      if (n == one.size() && n >= 2 && n <= kMaxUtf8Bytes) {
        Entry& e = utf8_[code];
        e.size = static_cast<unsigned char>(n);
        for (std::size_t i = 0; i < n; ++i) e.bytes[i] = one[i];
      }
      at = end + 1;
    }
  }
  struct Entry {
    std::array<char, kMaxUtf8Bytes> bytes{};
    unsigned char size = 0;  // 0: the code has no character
  };
  const Entry& Of(unsigned code) const { return utf8_[code]; }

 private:
  std::vector<Entry> utf8_;  // by code: the byte, or lead * 256 + trail
};

const ShiftJisCharacters& TheShiftJisCharacters() {
  static const ShiftJisCharacters table;
  return table;
}

void AppendHexEscape(std::string& out, unsigned char b) {
  out += "\\x";
  out.push_back(kHex[b >> 4]);
  out.push_back(kHex[b & 0x0F]);
}

// Converted characters are gathered here and appended in blocks: one append
// per character costs more than the conversion itself.
constexpr std::size_t kConvertedBlockBytes = 4096;

// Converted text given to a sink is handed on in pieces of about this size:
// an escaped text may be many times its input.
constexpr std::size_t kSpillBytes = 256 * 1024;

// UTF-8 of a Shift_JIS text appended to out: each character that converts
// is appended, an ASCII byte through ascii(out, byte) unless plain(byte) lets
// it through as it is (runs of those go in one append), any other byte
// through bad(out, byte). spill(out) may take what out holds on the way.
template <typename Plain, typename Ascii, typename Bad, typename Spill>
void ConvertShiftJisInto(std::string& out, std::string_view s, Carrier carrier, Plain plain, Ascii ascii, Bad bad,
                         Spill spill) {
  const ShiftJisCharacters& table = TheShiftJisCharacters();
  char block[kConvertedBlockBytes];
  std::size_t used = 0;
  auto flush = [&] {
    out.append(block, used);
    used = 0;
  };
  auto put = [&](const ShiftJisCharacters::Entry& e) {
    if (used + kMaxUtf8Bytes > kConvertedBlockBytes) flush();
    std::memcpy(block + used, e.bytes.data(), kMaxUtf8Bytes);  // a fixed size: no call
    used += e.size;
  };
  for (std::size_t i = 0; i < s.size();) {
    if (out.size() >= kSpillBytes) spill(out);
    const unsigned char b = static_cast<unsigned char>(s[i]);
    if (b >= 0x80 && IsShiftJisLead(b) && i + 1 < s.size() && IsShiftJisTrail(static_cast<unsigned char>(s[i + 1]))) {
      const unsigned char t = static_cast<unsigned char>(s[i + 1]);
      const ShiftJisCharacters::Entry& e = table.Of(static_cast<unsigned>(b) << 8 | t);
      if (const CarrierEmoji* emoji = CarrierEmojiAt(carrier, s.substr(i, 2))) {
        flush();
        out += emoji->utf8;
      } else if (e.size > 0) {
        put(e);
      } else {
        flush();
        bad(out, b);  // a pair without a character goes whole
        bad(out, t);
      }
      i += 2;
      continue;
    }
    if (b >= 0x80) {
      // A lead without a trail is bad alone: what follows is read afresh.
      const ShiftJisCharacters::Entry& e = table.Of(b);
      if (e.size > 0) {
        put(e);
      } else {
        flush();
        bad(out, b);
      }
      ++i;
      continue;
    }
    flush();
    std::size_t end = i;
    while (end < s.size() && static_cast<unsigned char>(s[end]) < 0x80 && plain(static_cast<unsigned char>(s[end]))) {
      ++end;
    }
    if (end > i) {
      out.append(s, i, end - i);
      i = end;
    } else {
      ascii(out, b);
      ++i;
    }
  }
  flush();
}

template <typename Plain, typename Ascii, typename Bad>
std::string ConvertShiftJis(std::string_view s, Carrier carrier, Plain plain, Ascii ascii, Bad bad) {
  std::string out;
  out.reserve(s.size() + s.size() / 2);
  ConvertShiftJisInto(out, s, carrier, plain, ascii, bad, [](std::string&) {});
  return out;
}

template <typename Plain, typename Ascii, typename Bad>
void ConvertShiftJisTo(const TextSink& sink, std::string_view s, Carrier carrier, Plain plain, Ascii ascii, Bad bad) {
  std::string out;
  out.reserve(kSpillBytes + kConvertedBlockBytes);
  auto spill = [&](std::string& o) {
    sink(o);
    o.clear();
  };
  ConvertShiftJisInto(out, s, carrier, plain, ascii, bad, spill);
  if (!out.empty()) sink(out);
}

bool IsControl(unsigned char b) { return b < 0x20 || b == 0x7F; }

// ASCII bytes each format writes as they are.
bool PlainInTsv(unsigned char b) { return !IsControl(b) && b != '\\'; }
bool PlainInHtml(unsigned char b) {
  return (!IsControl(b) || b == '\t' || b == '\r' || b == '\n') && b != '&' && b != '<' && b != '>' && b != '"' &&
         b != '\'';
}

void AppendTsvAscii(std::string& out, unsigned char b) {
  switch (b) {
    case '\t': out += "\\t"; break;
    case '\r': out += "\\r"; break;
    case '\n': out += "\\n"; break;
    case '\\': out += "\\\\"; break;
    default:
      if (IsControl(b)) {
        AppendHexEscape(out, b);
      } else {
        out.push_back(static_cast<char>(b));
      }
  }
}

void AppendHtmlEscape(std::string& out, unsigned char b) {
  out += "<span class=\"x\">";
  AppendHexEscape(out, b);
  out += "</span>";
}

void AppendHtmlAscii(std::string& out, unsigned char b) {
  switch (b) {
    case '&': out += "&amp;"; break;
    case '<': out += "&lt;"; break;
    case '>': out += "&gt;"; break;
    case '"': out += "&quot;"; break;
    case '\'': out += "&#39;"; break;
    case '\t':
    case '\r':
    case '\n': out.push_back(static_cast<char>(b)); break;
    default:
      if (IsControl(b)) {
        AppendHtmlEscape(out, b);
      } else {
        out.push_back(static_cast<char>(b));
      }
  }
}

}  // namespace

std::string Utf8Text(std::string_view shiftJis, Carrier carrier) {
  return ConvertShiftJis(
      shiftJis, carrier, [](unsigned char) { return true; },
      [](std::string& out, unsigned char b) { out.push_back(static_cast<char>(b)); }, AppendHexEscape);
}

std::string TsvField(std::string_view shiftJis) { return TsvField(shiftJis, Carrier::None); }
void TsvFieldTo(const TextSink& sink, std::string_view shiftJis) { TsvFieldTo(sink, shiftJis, Carrier::None); }
std::string HtmlText(std::string_view shiftJis) { return HtmlText(shiftJis, Carrier::None); }
void HtmlTextTo(const TextSink& sink, std::string_view shiftJis) { HtmlTextTo(sink, shiftJis, Carrier::None); }

std::string TsvField(std::string_view shiftJis, Carrier carrier) {
  return ConvertShiftJis(shiftJis, carrier, PlainInTsv, AppendTsvAscii, AppendHexEscape);
}

void TsvFieldTo(const TextSink& sink, std::string_view shiftJis, Carrier carrier) {
  ConvertShiftJisTo(sink, shiftJis, carrier, PlainInTsv, AppendTsvAscii, AppendHexEscape);
}

void HtmlTextTo(const TextSink& sink, std::string_view shiftJis, Carrier carrier) {
  ConvertShiftJisTo(sink, shiftJis, carrier, PlainInHtml, AppendHtmlAscii, AppendHtmlEscape);
}

bool TsvCellNeedsApostrophe(char first) { return std::string_view("=+-@\"'").find(first) != std::string_view::npos; }

std::string TsvCell(std::string cell) {
  if (!cell.empty() && TsvCellNeedsApostrophe(cell[0])) cell.insert(cell.begin(), '\'');
  return cell;
}

std::string HtmlText(std::string_view shiftJis, Carrier carrier) {
  return ConvertShiftJis(shiftJis, carrier, PlainInHtml, AppendHtmlAscii, AppendHtmlEscape);
}

std::string HtmlUtf8(std::string_view utf8) {
  std::string out;
  out.reserve(utf8.size());
  for (std::size_t i = 0; i < utf8.size();) {
    const unsigned char b = static_cast<unsigned char>(utf8[i]);
    if (b < 0x80) {
      AppendHtmlAscii(out, b);
      ++i;
      continue;
    }
    std::size_t n = 0;
    for (std::size_t len = 2; len <= 4 && n == 0 && i + len <= utf8.size(); ++len) {
      if (OneUtf8Character(utf8.substr(i, len)) == len) n = len;
    }
    if (n == 0) {
      AppendHtmlEscape(out, b);
      ++i;
    } else {
      out.append(utf8, i, n);
      i += n;
    }
  }
  return out;
}

std::string UrlPathSegment(std::string_view utf8) {
  std::string out;
  out.reserve(utf8.size() * 3);
  for (char c : utf8) {
    const unsigned char b = static_cast<unsigned char>(c);
    if ((b >= 'A' && b <= 'Z') || (b >= 'a' && b <= 'z') || (b >= '0' && b <= '9') || b == '-' || b == '.' ||
        b == '_' || b == '~') {
      out.push_back(c);
    } else {
      out.push_back('%');
      out.push_back(kHex[b >> 4]);
      out.push_back(kHex[b & 0x0F]);
    }
  }
  return out;
}

std::string Sha256SumsLine(const std::string& hexDigest, std::string_view name) {
  const bool escaped = name.find_first_of("\\\n") != std::string_view::npos;
  std::string line = escaped ? "\\" + hexDigest + "  " : hexDigest + "  ";
  for (char c : name) {
    if (escaped && c == '\\') {
      line += "\\\\";
    } else if (c == '\n') {
      line += "\\n";
    } else {
      line.push_back(c);
    }
  }
  return line + "\n";
}

}  // namespace tanavo
