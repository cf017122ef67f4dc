#include "display/item_decoder.h"

#include <cstdint>
#include <string>

#include "codec/codec.h"
#include "state/workspace.h"
#include "display/mime_header.h"
#include "text/bytes.h"
#include "engine/tag_match.h"
#include "extract/settings.h"
#include "mime/full_choice.h"

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
  return DecodeEncodedWords(ReplaceAll(m.text, kHeaderFold, ""));
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
DecodedItem DecodeFullItem(Workspace& ws, const TagDefinition& entry, std::string_view item, const AttachmentsFound& found) {
  const FullMail& mail = DecodedFullMail(ws, entry, item);
  DecodedItem decoded;
  decoded.text = FullMailField(mail, entry.name);
  decoded.fullMime = true;
  decoded.undecodable = mail.Problems();
  if (mail.attachments.empty() || !ShowsMailBody(entry.name)) return decoded;
  decoded.multipart = true;
  decoded.attachmentCount = mail.attachments.size();
  for (const MailAttachment& a : mail.attachments) {
    if (decoded.attachments.size() >= kMaxItemAttachments) break;
    decoded.attachments.push_back({a.name, EncodeBase64(a.bytes)});
  }
  if (found) found(decoded);
  return decoded;
}

}  // namespace

std::string DecodeDataItem(Workspace& ws, int tagIndex, std::string_view item) {
  const TagDefinition& entry = EntryOf(ws, tagIndex);
  if (IsFullMimeEntry(entry)) return FullMailField(DecodedFullMail(ws, entry, item), entry.name);
  if (!entry.dataTypeStartTag.empty() || !entry.dataTypeEndTag.empty()) {
    std::string type = ReadHeaderValue(item, entry.dataTypeStartTag, entry.dataTypeEndTag, HeaderKind::ContentType);
    if (!type.empty() && !IsTextPlain(type)) return std::string(kMultipartMarker);
  }
  std::string encoding = ReadHeaderValue(item, entry.encodingStartTag, entry.encodingEndTag, HeaderKind::TransferEncoding);
  std::string charset = ReadHeaderValue(item, entry.japaneseCodeStartTag, entry.japaneseCodeEndTag, HeaderKind::Charset);
  std::string_view body = ReadContentView(item, entry.contentStartTag, entry.contentEndTag);
  if (body.empty()) return {};
  return DecodeBody(ws.platform, body, encoding, charset);
}

DecodedItem DecodeItem(Workspace& ws, int tagIndex, std::string_view item, const AttachmentsFound& found) {
  const TagDefinition& entry = EntryOf(ws, tagIndex);
  if (IsFullMimeEntry(entry)) return DecodeFullItem(ws, entry, item, found);
  std::string text = DecodeDataItem(ws, tagIndex, item);
  if (text != kMultipartMarker) {
    DecodedItem plain;
    plain.text = std::move(text);
    return plain;
  }
  return DecodeMultipart(ws, tagIndex, item, found);
}

DecodedItem DecodeMultipart(Workspace& ws, int tagIndex, std::string_view item, const AttachmentsFound& found) {
  const TagDefinition& entry = EntryOf(ws, tagIndex);
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
  std::string charset =
      ReadHeaderValue(textPart, entry.japaneseCodeStartTag, entry.japaneseCodeEndTag, HeaderKind::Charset);
  std::string_view body = AfterEmptyLine(textPart, delimiter);
  if (!body.empty()) decoded.text = DecodeBody(ws.platform, body, encoding, charset);
  return decoded;
}

}  // namespace tanavo
