#include "display/mime_header.h"

#include <cstdint>
#include <cstring>

#include "codec/codec.h"
#include "text/bytes.h"
#include "engine/tag_match.h"
#include "platform/platform.h"

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

// The byte that frames a header value in a warning.
constexpr char kValueFrame = 0x16;

TagMatch Between(std::string_view text, std::string_view startTag, std::string_view endTag, int32_t from) {
  return ExtractBetweenTags(text, startTag, endTag, from, "", "", ExtractMode::ContentOnly);
}

std::string JisToShiftJisJoined(std::string_view jis) {
  if (FindIn(jis, kJisLineJoin, 0) == std::string_view::npos) return JisToShiftJis(jis);
  return JisToShiftJis(ReplaceAll(jis, kJisLineJoin, ""));
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

// The value as a warning shows it: whole, or cut on a character boundary.
std::string ShownValue(std::string_view value) {
  if (value.size() <= kWarningValueBytes) return std::string(value);
  return std::string(CutOnCharBoundary(value, kWarningValueBytes)) + "...";
}

void WarnUndetermined(Platform& platform, const std::string& label, std::string_view value) {
  std::string text = label;
  text += '=';
  text += kValueFrame;
  text += ShownValue(value);
  text += kValueFrame;
  text += "は判定できませんでした";
  ShowWarning(platform, text);
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
    TagMatch m = ExtractBetweenTags(text, startTag, endTag, 1, "", "", ExtractMode::PositionsOnly);
    if (m.status == MatchStatus::Found) return HeaderTags{std::string(startTag), std::string(endTag)};
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
  return RemoveByte(Between(text, startTag, endTag, 1).text, ' ');
}

std::string_view ReadContentView(std::string_view text, std::string_view startTag, std::string_view endTag) {
  if (startTag.empty() || endTag.empty()) return {};
  TagMatch m = ExtractBetweenTags(text, startTag, endTag, 1, "", "", ExtractMode::PositionsOnly);
  if (m.status != MatchStatus::Found) return {};
  const int32_t contentFrom = m.start + static_cast<int32_t>(startTag.size());  // 1-based
  const int32_t endTagAt = m.end - static_cast<int32_t>(endTag.size()) + 1;
  if (contentFrom >= endTagAt) return {};
  return text.substr(static_cast<std::size_t>(contentFrom - 1), static_cast<std::size_t>(endTagAt - contentFrom));
}

TransferEncoding ParseEncodingName(std::string_view value) {
  if (value.empty()) return TransferEncoding::Unknown;
  int32_t p = FindBytes(1, kEncodingNameTable, value);
  if (p == 0) return TransferEncoding::Unknown;
  if (p >= kQuotedPrintableFrom) return TransferEncoding::QuotedPrintable;
  if (p >= kBase64From) return TransferEncoding::Base64;
  return TransferEncoding::SevenBit;
}

JapaneseCode ParseCharsetName(std::string_view value) {
  if (value.empty()) return JapaneseCode::Unknown;
  int32_t p = FindBytes(1, kCharsetNameTable, value);
  if (p == 0) return JapaneseCode::Unknown;
  if (p < kIso2022JpFrom) return JapaneseCode::ShiftJis;
  return JapaneseCode::Iso2022Jp;
}

std::string NormaliseEncodingName(std::string_view value) {
  switch (ParseEncodingName(value)) {
    case TransferEncoding::SevenBit: return std::string(kEncoding7Bit);
    case TransferEncoding::Base64: return std::string(kEncodingBase64);
    case TransferEncoding::QuotedPrintable: return std::string(kEncodingQuotedPrintable);
    case TransferEncoding::Unknown: break;
  }
  return {};
}

std::string NormaliseCharsetName(std::string_view value) {
  switch (ParseCharsetName(value)) {
    case JapaneseCode::ShiftJis: return std::string(kCharsetShiftJis);
    case JapaneseCode::Iso2022Jp: return std::string(kCharsetIso2022Jp);
    case JapaneseCode::Unknown: break;
  }
  return {};
}

std::string DecodeEncodedWords(std::string_view input) {
  std::string text(input);
  for (const EncodedWordPattern& pattern : kEncodedWordPatterns) {
    TagMatch m = Between(text, pattern.startTag, kEncodedWordEnd, 1);
    if (m.status != MatchStatus::Found) continue;
    std::string out;
    out.reserve(text.size());
    int32_t cursor = 1;
    for (;;) {
      if (cursor < m.start) out.append(text, static_cast<std::size_t>(cursor - 1), static_cast<std::size_t>(m.start - cursor));
      std::string decoded = DecodeBase64(m.text);
      out += pattern.iso2022jp ? JisToShiftJisJoined(decoded) : decoded;
      cursor = m.end + 1;
      m = Between(text, pattern.startTag, kEncodedWordEnd, cursor);
      if (m.status != MatchStatus::Found) {
        if (static_cast<std::size_t>(cursor) <= text.size()) out.append(text, static_cast<std::size_t>(cursor - 1));
        break;
      }
    }
    text = std::move(out);
  }
  return RemoveByte(text, '\0');
}

std::string DecodeBody(Platform& platform, std::string_view body, std::string_view encodingValue,
                       std::string_view charsetValue) {
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
    switch (ParseEncodingName(encodingValue)) {
      case TransferEncoding::Unknown: WarnUndetermined(platform, "エンコード", encodingValue); break;
      case TransferEncoding::QuotedPrintable: take(DecodeQuotedPrintable(current)); break;
      case TransferEncoding::Base64: take(DecodeBase64(current)); break;
      case TransferEncoding::SevenBit: break;
    }
  }
  if (!charsetValue.empty()) {
    switch (ParseCharsetName(charsetValue)) {
      case JapaneseCode::Unknown: WarnUndetermined(platform, "日本語コード", charsetValue); break;
      case JapaneseCode::Iso2022Jp: take(JisToShiftJisJoined(current)); break;
      case JapaneseCode::ShiftJis: break;
    }
  }
  if (encodingValue.empty() && charsetValue.empty()) take(DecodeEncodedWords(current));
  if (!owned) out.assign(current.data(), current.size());
  RemoveTabsInPlace(out);
  return out;
}

}  // namespace tanavo
