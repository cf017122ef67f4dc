// An HTML body made plain text, for mail that has no text/plain part: what a
// reader sees, not a renderer. Tags, comments and the text-only elements are
// read as a browser's tokenizer reads them, so that no text a browser shows is
// taken for markup. The text is Shift_JIS already; the bytes that matter here
// ("<", ">", "&", ";", quotes, "/", "=", "-", "!" and white space) never occur
// as a trail byte.
#include <string>

#include "mime/mime_parts.h"
#include "text/bytes.h"

namespace tanavo {

namespace {

bool IsHtmlSpace(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\f'; }

bool IsAsciiLetter(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }

// Tags after which the text goes on on a new line.
bool BreaksLine(const std::string& tag) {
  static const char* const kBlocks[] = {"br", "/br", "p", "/p", "div", "/div", "tr", "/tr", "li", "/li", "h1", "/h1",
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

// Elements whose content is text up to their own end tag, markup and all;
// shown: whether a browser displays it.
struct TextElement {
  const char* name;
  bool shown;
  bool references;  // character references resolved in it
};
constexpr TextElement kTextElements[] = {
    {"script", false, false},  {"style", false, false},   {"title", false, true}, {"iframe", false, false},
    {"noembed", false, false}, {"noframes", false, false}, {"textarea", true, true}, {"xmp", true, false},
};

// Where a tag ends: j is just after its name; the attributes are read as the
// tokenizer reads them, so that a ">" in a quoted value does not end the tag.
// npos when the text ends first.
std::size_t TagEnd(std::string_view html, std::size_t j) {
  while (j < html.size()) {
    if (html[j] == '>') return j;
    if (IsHtmlSpace(html[j]) || html[j] == '/') {
      ++j;
      continue;
    }
    ++j;  // an attribute name, which may begin with "="
    while (j < html.size() && !IsHtmlSpace(html[j]) && html[j] != '/' && html[j] != '>' && html[j] != '=') ++j;
    while (j < html.size() && IsHtmlSpace(html[j])) ++j;
    if (j >= html.size() || html[j] != '=') continue;
    ++j;
    while (j < html.size() && IsHtmlSpace(html[j])) ++j;
    if (j < html.size() && (html[j] == '"' || html[j] == '\'')) {
      const std::size_t close = html.find(html[j], j + 1);
      if (close == std::string_view::npos) return close;
      j = close + 1;
    } else {
      while (j < html.size() && !IsHtmlSpace(html[j]) && html[j] != '>') ++j;
    }
  }
  return std::string_view::npos;
}

// The end tag of a text element ("</name" in any case, then white space, "/"
// or ">") at or after j; npos when there is none.
std::size_t EndTagOf(std::string_view html, std::string_view name, std::size_t j) {
  for (std::size_t at = html.find("</", j); at != std::string_view::npos; at = html.find("</", at + 2)) {
    const std::size_t after = at + 2 + name.size();
    if (after < html.size() && AsciiLowered(html.substr(at + 2, name.size())) == name &&
        (IsHtmlSpace(html[after]) || html[after] == '/' || html[after] == '>')) {
      return at;
    }
  }
  return std::string_view::npos;
}

// Just past the comment that opens at i ("<!--"): "<!-->" and "<!--->" are
// empty comments, any other ends at "-->" or "--!>". One pass over the
// comment, so that many comments cost their own length only. npos when the
// text ends first.
std::size_t CommentEnd(std::string_view html, std::size_t i) {
  for (std::size_t at = html.find("--", i + 2); at != std::string_view::npos; at = html.find("--", at + 1)) {
    if (at + 2 < html.size() && html[at + 2] == '>') return at + 3;
    if (at >= i + 4 && html.compare(at + 2, 2, "!>") == 0) return at + 4;
  }
  return std::string_view::npos;
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
  // One character of text at i; text ends where markup or an end tag begins.
  auto textAt = [&](std::string_view text, std::size_t i, bool references) -> std::size_t {
    const char c = text[i];
    if (c == '&' && references) {
      const std::size_t semi = text.substr(0, i + 2 + kMaxReferenceBytes).find(';', i + 1);
      if (semi != std::string_view::npos) {
        const std::string ref = Reference(ctx, text.substr(i + 1, semi - i - 1));
        if (!ref.empty()) {
          put(ref);
          return semi + 1;
        }
      }
      put("&");
      return i + 1;
    }
    if (IsHtmlSpace(c)) {
      pendingSpace = true;
      return i + 1;
    }
    // A lead byte takes its trail byte only when that is one: a broken pair
    // never swallows the "<" of a tag.
    const bool pair = IsShiftJisLead(static_cast<unsigned char>(c)) && i + 1 < text.size() &&
                      static_cast<unsigned char>(text[i + 1]) >= 0x40 && text[i + 1] != 0x7F &&
                      static_cast<unsigned char>(text[i + 1]) <= 0xFC;
    put(text.substr(i, pair ? 2 : 1));
    return i + (pair ? 2 : 1);
  };
  // What never ends (a comment, a tag, a hidden element) would take the rest
  // of the text with it: marked, counted, and the rest kept as it came.
  bool cutShort = false;
  auto unclosed = [&](std::string_view name, std::size_t from) {
    ++ctx.undecoded;
    ctx.Warn(MimeWarning::UnclosedHtml, name);
    put(UnclosedHtmlMark(name));
    out.append(html.substr(from));
    cutShort = true;
  };
  for (std::size_t i = 0; i < html.size() && !cutShort;) {
    if (html[i] != '<') {
      i = textAt(html, i, true);
      continue;
    }
    const char next = i + 1 < html.size() ? html[i + 1] : '\0';
    const char after = i + 2 < html.size() ? html[i + 2] : '\0';
    if (next == '!' && html.compare(i, 4, "<!--") == 0) {
      const std::size_t end = CommentEnd(html, i);
      if (end == std::string_view::npos) {
        unclosed("!--", i);
      } else {
        i = end;
      }
      continue;
    }
    const bool endTag = next == '/' && IsAsciiLetter(after);
    if (next == '!' || next == '?' || (next == '/' && i + 2 < html.size() && !endTag)) {
      // A declaration, a processing instruction, "</>" or "</" and no
      // letter: no text, up to the first ">".
      const std::size_t end = html.find('>', i + 2);
      if (end == std::string_view::npos) {
        unclosed(html.substr(i + 1, 1), i);
      } else {
        i = end + 1;
      }
      continue;
    }
    if (!IsAsciiLetter(next) && !endTag) {
      put("<");  // "5 < 10", "<3", and "<" or "</" at the very end: text
      ++i;
      continue;
    }
    const std::size_t nameStart = i + (endTag ? 2 : 1);
    std::size_t j = nameStart;
    while (j < html.size() && !IsHtmlSpace(html[j]) && html[j] != '/' && html[j] != '>') ++j;
    const std::string name = AsciiLowered(html.substr(nameStart, j - nameStart));
    const std::size_t end = TagEnd(html, j);
    if (end == std::string_view::npos) {
      unclosed(name, i);
      continue;
    }
    i = end + 1;
    if (BreaksLine(endTag ? "/" + name : name)) newline();
    if (endTag) continue;
    if (name == "plaintext") {
      while (i < html.size()) i = textAt(html, i, false);  // the rest is text, markup and all
      continue;
    }
    for (const TextElement& element : kTextElements) {
      if (name != element.name) continue;
      const std::size_t close = EndTagOf(html, name, i);
      if (close == std::string_view::npos && !element.shown) {
        unclosed(name, i);
        break;
      }
      const std::string_view content = html.substr(0, close == std::string_view::npos ? html.size() : close);
      if (element.shown) {
        for (std::size_t k = i; k < content.size();) k = textAt(content, k, element.references);
      }
      i = content.size();
      break;
    }
  }
  while (!out.empty() && (out.back() == ' ' || out.back() == '\n' || out.back() == '\r')) out.pop_back();
  std::size_t lead = 0;  // a block tag at the start leaves an empty first line
  while (lead < out.size() && (out[lead] == '\r' || out[lead] == '\n')) ++lead;
  return out.substr(lead);
}

}  // namespace tanavo
