// An HTML body made plain text, for mail that has no text/plain part: what a
// reader sees, not a renderer. The text is Shift_JIS already; the bytes that
// matter here ("<", ">", "&", ";") never occur as a trail byte.
#include <string>

#include "mime/mime_parts.h"
#include "text/bytes.h"

namespace tanavo {

namespace {

bool IsHtmlSpace(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\f'; }

// Tags after which the text goes on on a new line.
bool BreaksLine(const std::string& tag) {
  static const char* const kBlocks[] = {"br", "p", "/p", "div", "/div", "tr", "/tr", "li", "/li", "h1", "/h1",
                                        "h2", "/h2", "h3", "/h3", "h4", "/h4", "/table", "blockquote",
                                        "/blockquote", "hr", "/ul", "/ol", "pre", "/pre"};
  for (const char* b : kBlocks) {
    if (tag == b) return true;
  }
  return false;
}

std::string Utf8Of(unsigned long cp) {
  std::string s;
  if (cp < 0x80) {
    s.push_back(static_cast<char>(cp));
  } else if (cp < 0x800) {
    s.push_back(static_cast<char>(0xC0 | (cp >> 6)));
    s.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
  } else if (cp < 0x10000) {
    s.push_back(static_cast<char>(0xE0 | (cp >> 12)));
    s.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
    s.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
  } else {
    s.push_back(static_cast<char>(0xF0 | (cp >> 18)));
    s.push_back(static_cast<char>(0x80 | ((cp >> 12) & 0x3F)));
    s.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
    s.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
  }
  return s;
}

// The named references mail programs write beyond the ASCII ones: symbols,
// typography and the Latin-1 letters of European mail. Names are case-sensitive.
const struct {
  const char* name;
  unsigned long codePoint;
} kNamedCharacters[] = {
    {"copy", 0xA9},    {"reg", 0xAE},      {"trade", 0x2122},  {"hellip", 0x2026}, {"mdash", 0x2014},
    {"ndash", 0x2013}, {"laquo", 0xAB},    {"raquo", 0xBB},    {"yen", 0xA5},      {"middot", 0xB7},
    {"times", 0xD7},   {"divide", 0xF7},   {"deg", 0xB0},      {"plusmn", 0xB1},   {"para", 0xB6},
    {"sect", 0xA7},    {"bull", 0x2022},   {"lsquo", 0x2018},  {"rsquo", 0x2019},  {"ldquo", 0x201C},
    {"rdquo", 0x201D}, {"sbquo", 0x201A},  {"bdquo", 0x201E},  {"euro", 0x20AC},   {"cent", 0xA2},
    {"pound", 0xA3},   {"iexcl", 0xA1},    {"iquest", 0xBF},   {"acute", 0xB4},    {"uml", 0xA8},
    {"micro", 0xB5},   {"frac12", 0xBD},   {"frac14", 0xBC},   {"frac34", 0xBE},   {"sup1", 0xB9},
    {"sup2", 0xB2},    {"sup3", 0xB3},     {"shy", 0xAD},      {"not", 0xAC},      {"ordf", 0xAA},
    {"ordm", 0xBA},    {"ensp", 0x2002},   {"emsp", 0x2003},   {"thinsp", 0x2009}, {"larr", 0x2190},
    {"rarr", 0x2192},  {"uarr", 0x2191},   {"darr", 0x2193},   {"hearts", 0x2665}, {"dagger", 0x2020},
    {"Dagger", 0x2021}, {"permil", 0x2030}, {"prime", 0x2032},  {"Prime", 0x2033},  {"agrave", 0xE0},
    {"aacute", 0xE1},  {"acirc", 0xE2},    {"atilde", 0xE3},   {"auml", 0xE4},     {"aring", 0xE5},
    {"aelig", 0xE6},   {"ccedil", 0xE7},   {"egrave", 0xE8},   {"eacute", 0xE9},   {"ecirc", 0xEA},
    {"euml", 0xEB},    {"igrave", 0xEC},   {"iacute", 0xED},   {"icirc", 0xEE},    {"iuml", 0xEF},
    {"ntilde", 0xF1},  {"ograve", 0xF2},   {"oacute", 0xF3},   {"ocirc", 0xF4},    {"otilde", 0xF5},
    {"ouml", 0xF6},    {"oslash", 0xF8},   {"ugrave", 0xF9},   {"uacute", 0xFA},   {"ucirc", 0xFB},
    {"uuml", 0xFC},    {"yacute", 0xFD},   {"yuml", 0xFF},     {"szlig", 0xDF},    {"Agrave", 0xC0},
    {"Aacute", 0xC1},  {"Auml", 0xC4},     {"Aring", 0xC5},    {"Ccedil", 0xC7},   {"Egrave", 0xC8},
    {"Eacute", 0xC9},  {"Ntilde", 0xD1},   {"Ouml", 0xD6},     {"Oslash", 0xD8},   {"Uuml", 0xDC},
};

// The character a reference stands for, in Shift_JIS; empty when it is none.
std::string Reference(MimeContext& ctx, std::string_view name) {
  static const struct {
    const char* name;
    const char* text;
  } kNamed[] = {{"amp", "&"}, {"lt", "<"}, {"gt", ">"}, {"quot", "\""}, {"apos", "'"}, {"nbsp", " "}};
  if (name.size() > 1 && name[0] == '#') {
    unsigned long cp = 0;
    const bool hexadecimal = name[1] == 'x' || name[1] == 'X';
    const std::string_view digits = name.substr(hexadecimal ? 2 : 1);
    if (digits.empty() || digits.size() > 7) return {};
    for (char c : digits) {
      int d = -1;
      if (c >= '0' && c <= '9') d = c - '0';
      if (hexadecimal && c >= 'a' && c <= 'f') d = c - 'a' + 10;
      if (hexadecimal && c >= 'A' && c <= 'F') d = c - 'A' + 10;
      if (d < 0) return {};
      cp = cp * (hexadecimal ? 16 : 10) + static_cast<unsigned long>(d);
    }
    if (cp == 0 || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) return {};
    return ctx.ToShiftJis("utf-8", Utf8Of(cp));
  }
  for (const auto& n : kNamed) {
    if (name == n.name) return n.text;
  }
  for (const auto& n : kNamedCharacters) {
    if (name == n.name) return ctx.ToShiftJis("utf-8", Utf8Of(n.codePoint));
  }
  return {};
}

}  // namespace

std::string HtmlToText(MimeContext& ctx, std::string_view html) {
  constexpr std::size_t kMaxReferenceBytes = 10;
  std::string out;
  out.reserve(html.size());
  bool pendingSpace = false;
  auto newline = [&]() {
    while (!out.empty() && out.back() == ' ') out.pop_back();
    out += "\r\n";
    pendingSpace = false;
  };
  auto put = [&](std::string_view s) {
    if (pendingSpace && !out.empty() && out.back() != '\n') out.push_back(' ');
    pendingSpace = false;
    out.append(s);
  };
  for (std::size_t i = 0; i < html.size();) {
    const char c = html[i];
    if (c == '<') {
      if (html.compare(i, 4, "<!--") == 0) {
        const std::size_t end = html.find("-->", i + 4);
        i = end == std::string_view::npos ? html.size() : end + 3;
        continue;
      }
      const std::size_t end = html.find('>', i + 1);
      if (end == std::string_view::npos) break;  // an unclosed tag ends the text
      std::size_t n = i + 1;
      while (n < end && !IsHtmlSpace(html[n]) && html[n] != '>') ++n;
      std::string tag = AsciiLowered(html.substr(i + 1, n - i - 1));
      if (!tag.empty() && tag.back() == '/') tag.pop_back();
      i = end + 1;
      if (tag == "script" || tag == "style" || tag == "head" || tag == "title") {
        // Their content is no text; skip to the matching end tag.
        const std::string closing = "</" + tag;
        std::size_t close = html.find("</", i);
        while (close != std::string_view::npos && AsciiLowered(html.substr(close, closing.size())) != closing) {
          close = html.find("</", close + 2);
        }
        const std::size_t closeEnd = close == std::string_view::npos ? close : html.find('>', close);
        i = closeEnd == std::string_view::npos ? html.size() : closeEnd + 1;
        continue;
      }
      if (BreaksLine(tag)) newline();
      continue;
    }
    if (c == '&') {
      const std::size_t semi = html.substr(0, i + 2 + kMaxReferenceBytes).find(';', i + 1);
      if (semi != std::string_view::npos) {
        const std::string text = Reference(ctx, html.substr(i + 1, semi - i - 1));
        if (!text.empty()) {
          put(text);
          i = semi + 1;
          continue;
        }
      }
      put("&");
      ++i;
      continue;
    }
    if (IsHtmlSpace(c)) {
      pendingSpace = true;
      ++i;
      continue;
    }
    const std::size_t n = (static_cast<unsigned char>(c) >= 0x81 && static_cast<unsigned char>(c) <= 0x9F) ||
                                  (static_cast<unsigned char>(c) >= 0xE0 && static_cast<unsigned char>(c) <= 0xFC)
                              ? 2
                              : 1;
    put(html.substr(i, n));
    i += n;
  }
  while (!out.empty() && (out.back() == ' ' || out.back() == '\n' || out.back() == '\r')) out.pop_back();
  std::size_t lead = 0;  // a block tag at the start leaves an empty first line
  while (lead < out.size() && (out[lead] == '\r' || out[lead] == '\n')) ++lead;
  return out.substr(lead);
}

}  // namespace tanavo
