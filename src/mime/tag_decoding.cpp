#include "mime/tag_decoding.h"

#include <cstdint>
#include <cstring>

#include "codec/codec.h"
#include "text/bytes.h"

namespace tanavo {

namespace {

constexpr std::string_view kCrLf = "\r\n";
// Decoded ISO-2022-JP text loses these three bytes before conversion.
constexpr std::string_view kJisLineJoin = "!\r\n";

// Where each canonical name's part of a name table begins (1-based).
constexpr int32_t kBase64From = static_cast<int32_t>(kEncodingNameTable.find("[BASE64]")) + 1;
constexpr int32_t kQuotedPrintableFrom =
    static_cast<int32_t>(kEncodingNameTable.find("[QUOTED-PRINTABLE]")) + 1;
constexpr int32_t kIso2022JpFrom = static_cast<int32_t>(kCharsetNameTable.find("[ISO-2022-JP]")) + 1;
static_assert(kBase64From == 15 && kQuotedPrintableFrom == 35 && kIso2022JpFrom == 21);

struct EncodedWordPattern {
  std::string_view startTag;
  bool iso2022jp;  // convert to Shift_JIS after decoding
};

constexpr EncodedWordPattern kEncodedWordPatterns[] = {
    {"=?SHIFT_JIS?B?", false},
    {"=?ISO-2022-JP?B?", true},
    {"=?iso-2022-jp?B?", true},
    {"=?Shift_JIS?B?", false},
};
constexpr std::string_view kEncodedWordEnd = "?=";

// A start tag from the 1-based position from and the first end tag after it,
// as the record walk finds a tag pair without continuation lines: an empty
// start tag stands where the search begins (1 to the end + 1), an empty end
// tag right after the start tag.
struct TagPair {
  bool found = false;
  int32_t start = 0;  // 1-based first byte of the start tag
  int32_t end = 0;    // 1-based last byte of the end tag
  std::string_view content;
};

TagPair FindTagPair(std::string_view text, std::string_view startTag, std::string_view endTag, int32_t from) {
  TagPair m;
  std::size_t s;
  if (startTag.empty()) {
    if (from < 1 || static_cast<std::size_t>(from) > text.size() + 1) return m;
    s = static_cast<std::size_t>(from) - 1;
  } else {
    const int32_t at = FindBytes(from, text, startTag);
    if (at == 0) return m;
    s = static_cast<std::size_t>(at) - 1;
  }
  const std::size_t b = s + startTag.size();
  std::size_t e = b;
  if (!endTag.empty()) {
    e = FindIn(text, endTag, b);
    if (e == std::string_view::npos) return m;
  }
  m.found = true;
  m.start = static_cast<int32_t>(s + 1);
  m.end = static_cast<int32_t>(e + endTag.size());
  m.content = text.substr(b, e - b);
  return m;
}

std::string JisToShiftJisJoined(std::string_view jis) {
  if (FindIn(jis, kJisLineJoin, 0) == std::string_view::npos) return JisToShiftJisLoose(jis);
  return JisToShiftJisLoose(ReplaceAll(jis, kJisLineJoin, ""));
}

// Drops every TAB byte without a second buffer: the runs between TABs move
// down over them.
void RemoveTabsInPlace(std::string& s) {
  std::size_t write = s.find('\t');
  if (write == std::string::npos) return;
  std::size_t read = write;
  while (read < s.size()) {
    ++read;  // over the TAB
    std::size_t next = s.find('\t', read);
    if (next == std::string::npos) next = s.size();
    std::memmove(s.data() + write, s.data() + read, next - read);
    write += next - read;
    read = next;
  }
  s.resize(write);
}

std::string_view PatternListOf(HeaderKind kind) {
  switch (kind) {
    case HeaderKind::ContentType:
      return kContentTypePatterns;
    case HeaderKind::TransferEncoding:
      return kTransferEncodingPatterns;
    case HeaderKind::Charset:
      return kCharsetPatterns;
    case HeaderKind::Content:
      break;
  }
  return {};
}

}  // namespace

HeaderTags FindHeaderTags(std::string_view text, std::string_view patternList) {
  std::size_t lineStart = 0;
  std::size_t star = patternList.find('*', lineStart);
  while (star != std::string_view::npos) {
    std::string_view startTag = patternList.substr(lineStart, star - lineStart);
    std::size_t runEnd = patternList.find_first_not_of('*', star);
    if (runEnd == std::string_view::npos) runEnd = patternList.size();
    std::string_view endTag;
    std::size_t lineEnd;
    if (patternList.substr(runEnd, kCrLf.size()) == kCrLf) {
      endTag = kCrLf;
      lineEnd = runEnd;
    } else {
      lineEnd = patternList.find(kCrLf, runEnd);
      if (lineEnd == std::string_view::npos) lineEnd = patternList.size();
      endTag = patternList.substr(runEnd, lineEnd - runEnd);
    }
    if (FindTagPair(text, startTag, endTag, 1).found) return HeaderTags{std::string(startTag), std::string(endTag)};
    lineStart = lineEnd + kCrLf.size();
    if (lineStart >= patternList.size()) break;
    star = patternList.find('*', lineStart);
  }
  return HeaderTags{};
}

std::string ReadHeaderValue(std::string_view text, std::string_view startTag, std::string_view endTag,
                            HeaderKind kind) {
  HeaderTags found;
  if (kind != HeaderKind::Content && startTag == "*" && endTag == "*") {
    found = FindHeaderTags(text, PatternListOf(kind));
    startTag = found.startTag;
    endTag = found.endTag;
  }
  switch (kind) {
    case HeaderKind::ContentType:
    case HeaderKind::TransferEncoding:
      if (startTag.empty() && endTag.empty()) return {};
      break;
    case HeaderKind::Charset:
      if (startTag.empty() || endTag.empty()) return {};
      break;
    case HeaderKind::Content:
      return std::string(ReadContentView(text, startTag, endTag));
  }
  return RemoveByte(FindTagPair(text, startTag, endTag, 1).content, ' ');
}

std::string_view ReadContentView(std::string_view text, std::string_view startTag, std::string_view endTag) {
  if (startTag.empty() || endTag.empty()) return {};
  const TagPair m = FindTagPair(text, startTag, endTag, 1);
  if (!m.found) return {};
  const int32_t contentFrom = m.start + static_cast<int32_t>(startTag.size());  // 1-based
  const int32_t endTagAt = m.end - static_cast<int32_t>(endTag.size()) + 1;
  if (contentFrom >= endTagAt) return {};
  return text.substr(static_cast<std::size_t>(contentFrom - 1), static_cast<std::size_t>(endTagAt - contentFrom));
}

TransferEncoding ParseEncodingNameLoose(std::string_view value) {
  if (value.empty()) return TransferEncoding::Unknown;
  int32_t p = FindBytes(1, kEncodingNameTable, value);
  if (p == 0) return TransferEncoding::Unknown;
  if (p >= kQuotedPrintableFrom) return TransferEncoding::QuotedPrintable;
  if (p >= kBase64From) return TransferEncoding::Base64;
  return TransferEncoding::Identity;
}

JapaneseCode ParseCharsetNameLoose(std::string_view value) {
  if (value.empty()) return JapaneseCode::Unknown;
  int32_t p = FindBytes(1, kCharsetNameTable, value);
  if (p == 0) return JapaneseCode::Unknown;
  if (p < kIso2022JpFrom) return JapaneseCode::ShiftJis;
  return JapaneseCode::Iso2022Jp;
}

std::string DecodeEncodedWordsLoose(std::string_view input) {
  std::string text(input);
  for (const EncodedWordPattern& pattern : kEncodedWordPatterns) {
    TagPair m = FindTagPair(text, pattern.startTag, kEncodedWordEnd, 1);
    if (!m.found) continue;
    std::string out;
    out.reserve(text.size());
    int32_t cursor = 1;
    for (;;) {
      if (cursor < m.start) out.append(text, static_cast<std::size_t>(cursor - 1), static_cast<std::size_t>(m.start - cursor));
      std::string decoded = DecodeBase64(m.content);
      out += pattern.iso2022jp ? JisToShiftJisJoined(decoded) : decoded;
      cursor = m.end + 1;
      m = FindTagPair(text, pattern.startTag, kEncodedWordEnd, cursor);
      if (!m.found) {
        if (static_cast<std::size_t>(cursor) <= text.size()) out.append(text, static_cast<std::size_t>(cursor - 1));
        break;
      }
    }
    text = std::move(out);
  }
  return RemoveByte(text, '\0');
}

std::string DecodeTagBody(std::string_view body, std::string_view encodingValue, std::string_view charsetValue,
                          MimeReporter* reporter) {
  // Each step reads the current text whole before its result replaces it;
  // steps that change nothing copy nothing.
  std::string out;
  std::string_view current = body;
  bool owned = false;
  auto take = [&](std::string next) {
    out = std::move(next);
    current = out;
    owned = true;
  };
  if (!encodingValue.empty()) {
    switch (ParseEncodingNameLoose(encodingValue)) {
      case TransferEncoding::Unknown:
        if (reporter) reporter->Warn(MimeWarning::UnknownTransferEncoding, 0, encodingValue);
        break;
      case TransferEncoding::QuotedPrintable: take(DecodeQuotedPrintableLoose(current)); break;
      case TransferEncoding::Base64: take(DecodeBase64(current)); break;
      case TransferEncoding::Identity: break;
    }
  }
  if (!charsetValue.empty()) {
    switch (ParseCharsetNameLoose(charsetValue)) {
      case JapaneseCode::Unknown:
        if (reporter) reporter->Warn(MimeWarning::UnknownCharset, 0, charsetValue);
        break;
      case JapaneseCode::Iso2022Jp: take(JisToShiftJisJoined(current)); break;
      case JapaneseCode::ShiftJis: break;
    }
  }
  if (encodingValue.empty() && charsetValue.empty()) take(DecodeEncodedWordsLoose(current));
  if (!owned) out.assign(current.data(), current.size());
  RemoveTabsInPlace(out);
  return out;
}

}  // namespace tanavo
