#include "display/item_decoder.h"

#include <algorithm>
#include <cstdint>
#include <string>

#include "codec/codec.h"
#include "state/workspace.h"
#include "display/item_warnings.h"
#include "text/bytes.h"
#include "engine/tag_match.h"
#include "extract/item_charset.h"
#include "extract/settings.h"
#include "mime/full_choice.h"
#include "mime/tag_decoding.h"
#include "platform/charset.h"

namespace tanavo {

namespace {

constexpr std::string_view kEmptyLine = "\r\n\r\n";
constexpr std::string_view kBoundaryStart = "boundary=\"";
constexpr std::string_view kNameStart = "name=\"";
constexpr std::string_view kQuote = "\"";
constexpr std::string_view kHeaderFold = "\r\n ";
constexpr std::string_view kDelimiterLead = "--";
constexpr std::string_view kClosingTail = "--";

// Stands in for an index outside the table: every tag empty, so the item
// decodes to nothing.
const TagDefinition& EntryOf(const Workspace& ws, int tagIndex) {
  static const TagDefinition kNoEntry;
  if (tagIndex < 0 || tagIndex >= kTagEntries) return kNoEntry;
  return ws.extraction.entries[static_cast<std::size_t>(tagIndex)];
}

bool IsTextPlain(std::string_view contentType) {
  return contentType == "text/plain" || contentType == "Text/plain";
}

std::string_view Slice(std::string_view text, int32_t first, int32_t last) {
  return text.substr(static_cast<std::size_t>(first - 1), static_cast<std::size_t>(last - first + 1));
}

constexpr std::string_view kUtf8Bom = "\xEF\xBB\xBF";
constexpr std::string_view kUtf16LeBom = "\xFF\xFE";
constexpr std::string_view kUtf16BeBom = "\xFE\xFF";

bool StartsWith(std::string_view text, std::string_view head) { return text.substr(0, head.size()) == head; }

// The text of an entry that says its charset: the transfer encoding its tags
// find undone, then the text converted to Shift_JIS, what Shift_JIS cannot
// hold (and bytes that are no character) as 〓, counted in replaced. UTF-16
// goes by its byte order mark, little-endian without one, as Windows and
// phones write it; a mark is no text.
std::string BodyInCharset(Workspace& ws, std::string_view body, const std::string& encoding, ItemCharset charset,
                          MimeReporter& warnings, std::size_t* replaced) {
  std::string bytes;
  if (charset == ItemCharset::Utf16) {
    // Whole: a TAB's byte may be half of a UTF-16 character.
    switch (encoding.empty() ? TransferEncoding::Identity : ParseEncodingNameLoose(encoding)) {
      case TransferEncoding::Base64: bytes = DecodeBase64(body); break;
      case TransferEncoding::QuotedPrintable: bytes = DecodeQuotedPrintableLoose(body); break;
      default: bytes.assign(body.data(), body.size()); break;
    }
  } else {
    // The charset stands in for the tags', so that nothing reads the text as
    // Shift_JIS mail words on the way.
    bytes = DecodeTagBody(body, encoding, "Shift_JIS", &warnings);
  }
  std::string_view text = bytes;
  const char* name = ItemCharsetName(charset);
  if (charset == ItemCharset::Utf8 && StartsWith(text, kUtf8Bom)) {
    text.remove_prefix(kUtf8Bom.size());
  } else if (charset == ItemCharset::Utf16) {
    name = StartsWith(text, kUtf16BeBom) ? "UTF-16BE" : "UTF-16LE";
    if (StartsWith(text, kUtf16BeBom) || StartsWith(text, kUtf16LeBom)) text.remove_prefix(kUtf16LeBom.size());
  }
  CharsetResult converted;
  if (!ws.platform.Charsets().ToShiftJis(name, text, &converted)) {
    // No converter for it here: one mark for the whole text, never its bytes
    // read as Shift_JIS.
    converted.text = text.empty() ? "" : std::string(kShiftJisGeta);
    converted.replaced = text.empty() ? 0 : 1;
  }
  converted.text.erase(std::remove(converted.text.begin(), converted.text.end(), '\t'), converted.text.end());
  if (replaced) *replaced += converted.replaced;
  return std::move(converted.text);
}

// The display text of an item that is no multipart item, or the marker.
std::string PlainItemText(Workspace& ws, const TagDefinition& entry, std::string_view item, MimeReporter& warnings,
                          std::size_t* replaced) {
  if (!entry.dataTypeStartTag.empty() || !entry.dataTypeEndTag.empty()) {
    std::string type = ReadHeaderValue(item, entry.dataTypeStartTag, entry.dataTypeEndTag, HeaderKind::ContentType);
    if (!type.empty() && !IsTextPlain(type)) return std::string(kMultipartMarker);
  }
  std::string encoding = ReadHeaderValue(item, entry.encodingStartTag, entry.encodingEndTag, HeaderKind::TransferEncoding);
  const ItemCharset said = EntryItemCharset(entry);
  std::string_view body = ReadContentView(item, entry.contentStartTag, entry.contentEndTag);
  if (said != ItemCharset::Tags) {
    return body.empty() ? std::string() : BodyInCharset(ws, body, encoding, said, warnings, replaced);
  }
  std::string charset = ReadHeaderValue(item, entry.japaneseCodeStartTag, entry.japaneseCodeEndTag, HeaderKind::Charset);
  if (body.empty()) return {};
  // The record's own charset (a vCard 4.0's UTF-8) where the tags find none.
  if (charset.empty() && ws.recordCharset != ItemCharset::Tags) {
    return BodyInCharset(ws, body, encoding, ws.recordCharset, warnings, replaced);
  }
  return DecodeTagBody(body, encoding, charset, &warnings);
}

// The bytes after the first empty line up to the first endTag after it. An
// end tag that is empty or missing (a truncated item) lets the bytes run to
// the end of the text rather than losing them.
std::string_view AfterEmptyLine(std::string_view text, std::string_view endTag) {
  int32_t blank = FindBytes(1, text, kEmptyLine);
  if (blank == 0) return {};
  std::size_t from = static_cast<std::size_t>(blank - 1) + kEmptyLine.size();
  std::string_view rest = text.substr(from);
  if (endTag.empty()) return rest;
  // The end tag may be a boundary as long as the part: the engine's search,
  // never a naive one.
  std::size_t end = FindIn(rest, endTag, 0);
  return end == std::string_view::npos ? rest : rest.substr(0, end);
}

// The first quoted name parameter (it may be the tail of filename=), folded
// lines joined and encoded words decoded.
std::string AttachmentName(std::string_view text) {
  TagMatch m = ExtractBetweenTags(text, kNameStart, kQuote, 1, "", "", ExtractMode::ContentOnly);
  return DecodeEncodedWordsLoose(ReplaceAll(m.text, kHeaderFold, ""));
}

// Counts every attachment, keeps the first kMaxItemAttachments.
void AddAttachment(DecodedItem& item, std::string_view nameSource, std::string_view content) {
  ++item.attachmentCount;
  if (item.attachments.size() < kMaxItemAttachments) {
    item.attachments.push_back({AttachmentName(nameSource), std::string(content)});
  }
}

// The part that an opening delimiter at position at starts when no delimiter
// follows it (a truncated item): up to the end of the item, less the item's
// own closing tag. None when the delimiter is the closing one.
std::string_view TruncatedLastPart(std::string_view item, int32_t at, std::string_view delimiter,
                                   std::string_view rangeEndTag) {
  std::string_view part = item.substr(static_cast<std::size_t>(at - 1));
  if (part.substr(delimiter.size(), kClosingTail.size()) == kClosingTail) return {};
  if (!rangeEndTag.empty() && part.size() >= delimiter.size() + rangeEndTag.size() &&
      part.substr(part.size() - rangeEndTag.size()) == rangeEndTag) {
    part.remove_suffix(rangeEndTag.size());
  }
  return part;
}

// The mail an item of an entry in full mode holds, decoded. A record's Date,
// From, To, Subject and body entries usually read the same mail, one after
// the other: the last mail decoded is kept with the working data, so that the
// record decodes it once rather than five times.
// An entry that shows a header field needs only the header: a list line of
// Date, From and Subject never decodes bodies and attachments.
const FullMail& DecodedFullMail(Workspace& ws, const TagDefinition& entry, std::string_view item) {
  LastFullMail& last = ws.lastFullMail;
  const std::string_view mail = FullMimeItemMail(entry, item);
  const bool whole = ShowsMailBody(entry.name);
  if (last.valid && (last.whole || !whole) && last.bytes == mail) return last.decoded;
  last.valid = false;  // stays so should decoding throw
  last.decoded = DecodeFullMail(mail, ws.platform.Charsets(), nullptr, whole ? MailParts::All : MailParts::HeaderOnly);
  last.bytes.assign(mail);
  last.whole = whole;
  last.valid = true;
  return last.decoded;
}

// Full mode: only the entry that shows the body carries the attachments, so
// a record whose Date, From, To and Subject entries read the same mail lists
// them once.
// The attachments keep their decoded bytes.
DecodedItem DecodeFullItem(Workspace& ws, const TagDefinition& entry, std::string_view item, const ItemDecoding& how) {
  const FullMail& mail = DecodedFullMail(ws, entry, item);
  DecodedItem decoded;
  decoded.text = FullMailField(mail, entry.name);
  decoded.fullMime = true;
  decoded.undecodable = mail.Problems();
  if (how.reading == ItemReading::TextOnly || mail.attachments.empty() || !ShowsMailBody(entry.name)) return decoded;
  decoded.multipart = true;
  decoded.attachmentCount = mail.attachments.size();
  for (const MailAttachment& a : mail.attachments) {
    if (decoded.attachments.size() >= kMaxItemAttachments) break;
    decoded.attachments.push_back({a.name, a.bytes, true});
  }
  if (how.found) how.found(decoded);
  return decoded;
}

// The item split at its boundary: the text part and the attachments.
DecodedItem DecodeMultipart(Workspace& ws, const TagDefinition& entry, std::string_view item, const AttachmentsFound& found,
                            MimeReporter& warnings) {
  DecodedItem decoded;
  decoded.multipart = true;

  // Only the quoted boundary parameter is recognised; an empty one would
  // split the item at every "--".
  TagMatch boundary = ExtractBetweenTags(item, kBoundaryStart, kQuote, 1, "", "", ExtractMode::ContentOnly);
  if (boundary.status != MatchStatus::Found || boundary.text.empty()) {
    AddAttachment(decoded, item, AfterEmptyLine(item, entry.rangeEndTag));
    if (found) found(decoded);
    return decoded;
  }

  const std::string delimiter = std::string(kDelimiterLead) + boundary.text;
  std::string_view textPart;
  int32_t from = 1;
  for (;;) {
    // Each part runs from its delimiter to the next one, both included; the
    // closing delimiter of one part opens the next.
    TagMatch m = ExtractBetweenTags(item, delimiter, delimiter, from, "", "", ExtractMode::PositionsOnly);
    std::string_view part;
    bool last = false;
    if (m.status == MatchStatus::Found) {
      part = Slice(item, m.start, m.end);
      decoded.work += static_cast<std::size_t>(m.end - from + 1);
      // The next part begins at the delimiter that closes this one. An
      // occurrence inside this part's opening delimiter (a boundary of dashes
      // over a line of dashes) is none: starting there would read the same
      // bytes again for every byte of the boundary.
      from = m.end - static_cast<int32_t>(delimiter.size()) + 1;
    } else if (m.status == MatchStatus::StartWithoutEnd) {
      part = TruncatedLastPart(item, FindBytes(from, item, delimiter), delimiter, entry.rangeEndTag);
      decoded.work += item.size() - static_cast<std::size_t>(from - 1);
      last = true;
      if (part.empty()) break;
    } else {
      break;
    }
    std::string type = ReadHeaderValue(part, "*", "*", HeaderKind::ContentType);
    if (IsTextPlain(type)) {
      textPart = part;  // a later text part replaces an earlier one
    } else {
      AddAttachment(decoded, part, AfterEmptyLine(part, delimiter));
    }
    if (last) break;
  }
  if (found) found(decoded);

  if (textPart.empty()) return decoded;
  std::string encoding =
      ReadHeaderValue(textPart, entry.encodingStartTag, entry.encodingEndTag, HeaderKind::TransferEncoding);
  std::string_view body = AfterEmptyLine(textPart, delimiter);
  if (body.empty()) return decoded;
  const ItemCharset said = EntryItemCharset(entry);
  if (said != ItemCharset::Tags) {
    decoded.text = BodyInCharset(ws, body, encoding, said, warnings, &decoded.undecodable);
    return decoded;
  }
  std::string charset =
      ReadHeaderValue(textPart, entry.japaneseCodeStartTag, entry.japaneseCodeEndTag, HeaderKind::Charset);
  if (charset.empty() && ws.recordCharset != ItemCharset::Tags) {
    decoded.text = BodyInCharset(ws, body, encoding, ws.recordCharset, warnings, &decoded.undecodable);
    return decoded;
  }
  decoded.text = DecodeTagBody(body, encoding, charset, &warnings);
  return decoded;
}

}  // namespace

DecodedItem DecodeItem(Workspace& ws, int tagIndex, std::string_view item, const ItemDecoding& how) {
  const TagDefinition& entry = EntryOf(ws, tagIndex);
  if (IsFullMimeEntry(entry)) return DecodeFullItem(ws, entry, item, how);
  ItemWarningBoxes boxes(ws.platform);
  MimeReporter& warnings = how.warnings ? *how.warnings : boxes;
  std::size_t replaced = 0;
  std::string text = PlainItemText(ws, entry, item, warnings, &replaced);
  if (text != kMultipartMarker || how.reading == ItemReading::TextOnly) {
    DecodedItem plain;
    plain.text = std::move(text);
    plain.undecodable = replaced;
    return plain;
  }
  return DecodeMultipart(ws, entry, item, how.found, warnings);
}

}  // namespace tanavo
