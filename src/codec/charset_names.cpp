// Charset names as mail writes them, and the conversions that need no
// system converter, shared by every converter back end.
#include <string>

#include "codec/charset_names.h"
#include "codec/codec.h"
#include "platform/charset.h"

namespace tanavo {

namespace {

struct NamedCharset {
  std::string_view name;  // lower case
  CharsetRoute route;
  const char* iconvName;
  unsigned codePage;
};

constexpr CharsetRoute kId = CharsetRoute::Identity;
constexpr CharsetRoute kJis = CharsetRoute::Iso2022Jp;
constexpr CharsetRoute kSys = CharsetRoute::System;

// The Shift_JIS family keeps its bytes: carrier pictograms (lead bytes 0xF0 to
// 0xFC) have no standard Unicode form and must reach the display as sent.
// EUC-JP goes through the vendor variant, which holds the NEC and IBM rows of
// code page 932.
constexpr NamedCharset kCharsets[] = {
    {"shift_jis", kId, "CP932", 932},       {"shift-jis", kId, "CP932", 932},
    {"shiftjis", kId, "CP932", 932},        {"sjis", kId, "CP932", 932},
    {"x-sjis", kId, "CP932", 932},          {"s-jis", kId, "CP932", 932},
    {"ms_kanji", kId, "CP932", 932},        {"csshiftjis", kId, "CP932", 932},
    {"cp932", kId, "CP932", 932},           {"ms932", kId, "CP932", 932},
    {"windows-932", kId, "CP932", 932},     {"windows-31j", kId, "CP932", 932},
    {"cswindows31j", kId, "CP932", 932},    {"x-ms-cp932", kId, "CP932", 932},
    {"us-ascii", kId, "CP932", 932},        {"ascii", kId, "CP932", 932},
    {"us", kId, "CP932", 932},              {"ansi_x3.4-1968", kId, "CP932", 932},
    {"iso646-us", kId, "CP932", 932},       {"csascii", kId, "CP932", 932},
    {"iso-2022-jp", kJis, "ISO-2022-JP-2", 50221},
    {"csiso2022jp", kJis, "ISO-2022-JP-2", 50221},
    {"iso-2022-jp-1", kJis, "ISO-2022-JP-2", 50221},
    {"iso-2022-jp-2", kJis, "ISO-2022-JP-2", 50221},
    {"csiso2022jp2", kJis, "ISO-2022-JP-2", 50221},
    {"iso-2022-jp-ms", kJis, "ISO-2022-JP-2", 50221},
    {"cp50220", kJis, "ISO-2022-JP-2", 50220},
    {"cp50221", kJis, "ISO-2022-JP-2", 50221},
    {"cp50222", kJis, "ISO-2022-JP-2", 50222},
    {"iso-2022-jp-3", kJis, "ISO-2022-JP-3", 50221},
    {"iso-2022-jp-2004", kJis, "ISO-2022-JP-3", 50221},
    {"utf-8", kSys, "UTF-8", 65001},        {"utf8", kSys, "UTF-8", 65001},
    {"x-utf-8", kSys, "UTF-8", 65001},
    // The byte order named: a text without a mark reads alike on every system.
    {"utf-16le", kSys, "UTF-16LE", 1200},  {"utf-16be", kSys, "UTF-16BE", 1201},
    {"utf-7", kSys, "UTF-7", 65000},        {"utf7", kSys, "UTF-7", 65000},
    {"unicode-1-1-utf-7", kSys, "UTF-7", 65000},
    {"csunicode11utf7", kSys, "UTF-7", 65000},
    {"euc-jp", kSys, "EUCJP-MS", 20932},    {"eucjp", kSys, "EUCJP-MS", 20932},
    {"x-euc-jp", kSys, "EUCJP-MS", 20932},  {"x-euc", kSys, "EUCJP-MS", 20932},
    {"eucjp-ms", kSys, "EUCJP-MS", 20932},  {"eucjp-win", kSys, "EUCJP-MS", 20932},
    {"cp51932", kSys, "EUCJP-MS", 20932},   {"cseucpkdfmtjapanese", kSys, "EUCJP-MS", 20932},
    {"iso-8859-1", kSys, "ISO-8859-1", 28591},   {"iso8859-1", kSys, "ISO-8859-1", 28591},
    {"iso_8859-1", kSys, "ISO-8859-1", 28591},   {"latin1", kSys, "ISO-8859-1", 28591},
    {"l1", kSys, "ISO-8859-1", 28591},           {"cp819", kSys, "ISO-8859-1", 28591},
    {"iso-8859-2", kSys, "ISO-8859-2", 28592},   {"latin2", kSys, "ISO-8859-2", 28592},
    {"iso-8859-3", kSys, "ISO-8859-3", 28593},   {"iso-8859-4", kSys, "ISO-8859-4", 28594},
    {"iso-8859-5", kSys, "ISO-8859-5", 28595},   {"iso-8859-6", kSys, "ISO-8859-6", 28596},
    {"iso-8859-7", kSys, "ISO-8859-7", 28597},   {"iso-8859-8", kSys, "ISO-8859-8", 28598},
    {"iso-8859-9", kSys, "ISO-8859-9", 28599},   {"iso-8859-13", kSys, "ISO-8859-13", 28603},
    {"iso-8859-15", kSys, "ISO-8859-15", 28605}, {"iso8859-15", kSys, "ISO-8859-15", 28605},
    {"iso_8859-15", kSys, "ISO-8859-15", 28605}, {"latin-9", kSys, "ISO-8859-15", 28605},
    {"latin9", kSys, "ISO-8859-15", 28605},
    {"windows-1250", kSys, "CP1250", 1250},      {"cp1250", kSys, "CP1250", 1250},
    {"windows-1251", kSys, "CP1251", 1251},      {"cp1251", kSys, "CP1251", 1251},
    {"windows-1252", kSys, "CP1252", 1252},      {"cp1252", kSys, "CP1252", 1252},
    {"windows-1253", kSys, "CP1253", 1253},      {"cp1253", kSys, "CP1253", 1253},
    {"windows-1254", kSys, "CP1254", 1254},      {"cp1254", kSys, "CP1254", 1254},
    {"windows-1255", kSys, "CP1255", 1255},      {"cp1255", kSys, "CP1255", 1255},
    {"windows-1256", kSys, "CP1256", 1256},      {"cp1256", kSys, "CP1256", 1256},
    {"windows-1257", kSys, "CP1257", 1257},      {"cp1257", kSys, "CP1257", 1257},
    {"windows-1258", kSys, "CP1258", 1258},      {"cp1258", kSys, "CP1258", 1258},
    // EUC-KR and GB2312 are read by their supersets (UHC, GBK), as mail
    // programs label the wider sets with the narrower names.
    {"euc-kr", kSys, "CP949", 949},         {"euckr", kSys, "CP949", 949},
    {"cseuckr", kSys, "CP949", 949},        {"ks_c_5601-1987", kSys, "CP949", 949},
    {"ks_c_5601", kSys, "CP949", 949},      {"korean", kSys, "CP949", 949},
    {"cp949", kSys, "CP949", 949},          {"uhc", kSys, "CP949", 949},
    {"gb2312", kSys, "GBK", 936},           {"csgb2312", kSys, "GBK", 936},
    {"euc-cn", kSys, "GBK", 936},           {"gbk", kSys, "GBK", 936},
    {"x-gbk", kSys, "GBK", 936},            {"cp936", kSys, "GBK", 936},
    {"gb18030", kSys, "GB18030", 54936},
    {"big5", kSys, "BIG5", 950},            {"big-5", kSys, "BIG5", 950},
    {"cn-big5", kSys, "BIG5", 950},         {"csbig5", kSys, "BIG5", 950},
    {"x-x-big5", kSys, "BIG5", 950},        {"cp950", kSys, "BIG5", 950},
    {"big5-hkscs", kSys, "BIG5-HKSCS", 950},
    {"koi8-r", kSys, "KOI8-R", 20866},      {"koi8-u", kSys, "KOI8-U", 21866},
};

}  // namespace

CharsetInfo LookupCharset(std::string_view name) {
  while (!name.empty() && (name.front() == ' ' || name.front() == '\t' || name.front() == '"')) name.remove_prefix(1);
  while (!name.empty() && (name.back() == ' ' || name.back() == '\t' || name.back() == '"')) name.remove_suffix(1);
  if (name.empty() || name.size() > kMaxCharsetNameBytes) return {};
  // Case and the choice between "_" and "-" do not matter ("ANSI_X3.4-1968",
  // "ansi-x3.4-1968", "Shift-JIS").
  auto fold = [](char c) {
    if (c >= 'A' && c <= 'Z') return static_cast<char>(c - 'A' + 'a');
    return c == '_' ? '-' : c;
  };
  std::string folded(name);
  for (char& c : folded) c = fold(c);
  for (const NamedCharset& c : kCharsets) {
    if (c.name.size() != folded.size()) continue;
    bool same = true;
    for (std::size_t i = 0; i < folded.size() && same; ++i) same = fold(c.name[i]) == folded[i];
    if (same) return {c.route, c.iconvName, c.codePage};
  }
  return {};
}

bool ConvertWithoutSystem(const CharsetInfo& info, std::string_view bytes, CharsetResult* out) {
  if (info.route == CharsetRoute::Identity) {
    out->text.assign(bytes);
  } else if (info.route != CharsetRoute::Iso2022Jp || !Iso2022JpToShiftJisStrict(bytes, &out->text)) {
    return false;
  }
  out->replaced = 0;
  return true;
}

namespace {

class BuiltInConverter : public CharsetConverter {
 public:
  bool ToShiftJis(std::string_view charset, std::string_view bytes, CharsetResult* out) const override {
    return ConvertWithoutSystem(LookupCharset(charset), bytes, out);
  }
};

}  // namespace

const CharsetConverter& BuiltInCharsetConverter() {
  static const BuiltInConverter converter;
  return converter;
}

}  // namespace tanavo
