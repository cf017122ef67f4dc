// The walk over one mail: entities split at their boundaries depth first in
// the order they occur, each leaf decoded by its own transfer encoding; then
// the body chosen and every other leaf made an attachment.
#include <string>
#include <vector>

#include "codec/charset_names.h"
#include "codec/codec.h"
#include "mime/mime_parts.h"
#include "mime/transfer_encoding.h"
#include "platform/charset.h"
#include "text/bytes.h"

namespace tanavo {

namespace {

struct Leaf {
  std::string type;  // "text/plain", lower case
  ParameterizedValue contentType;
  std::string encoding;  // lower case
  bool isAttachment = false;
  std::string fileName;  // Shift_JIS; empty when the part names none
  std::string_view body;
  std::size_t offset = 0;
  std::string mark;  // written before the bytes as they came
};

struct Pending {
  std::string_view entity;
  int depth;
  bool inDigest;  // parts of multipart/digest are messages unless they say otherwise
  // The type of the multipart whose body ran past the parts allowed, when
  // entity is the rest of that body, kept as it came; empty otherwise.
  std::string unsplitOf;
};

struct Split {
  std::vector<std::string_view> parts;
  // From the delimiter line of the first part not split off to the end of
  // the body; empty unless the parts ran past the number allowed.
  std::string_view rest;
};

// The parts of a multipart body between delimiter lines ("--" boundary, white
// space allowed after it, alone on its line). Preamble and epilogue are left
// out; without a closing delimiter the last part runs to the end. At most
// maxParts (at least 1) come out, the rest counted as one: when there are
// more, the last allowed is the rest, unsplit.
// An occurrence of the boundary that is no delimiter line costs the rest of
// its line only: the search goes on at the next line, so it reads each byte a
// bounded number of times whatever the boundary and the body.
Split SplitMultipart(MimeContext& ctx, std::string_view body, std::string_view boundary, std::size_t maxParts) {
  Split split;
  if (body.empty()) return split;  // an empty view may hold no pointer at all
  const std::string dashes = "--" + std::string(boundary);
  std::size_t partStart = std::string_view::npos;  // none open yet
  std::size_t openedAt = 0;                        // the delimiter line of the open part
  std::size_t from = 0;
  while (from < body.size()) {
    const std::size_t p = FindIn(body, dashes, from);
    ctx.work += (p == std::string_view::npos ? body.size() : p + dashes.size()) - from;
    if (p == std::string_view::npos) break;
    const std::size_t lf = body.find('\n', p);
    const std::size_t nextLine = lf == std::string_view::npos ? body.size() : lf + 1;
    ctx.work += nextLine - p;
    from = nextLine;
    if (p > 0 && body[p - 1] != '\n') continue;
    std::size_t q = p + dashes.size();
    const bool closing = body.substr(q, 2) == "--";
    if (closing) q += 2;
    while (q < body.size() && (body[q] == ' ' || body[q] == '\t')) ++q;
    if (q < body.size() && body[q] != '\r' && body[q] != '\n') continue;  // "--boundary" is only the start of the line
    if (q < body.size() && body[q] == '\r') ++q;
    if (q < body.size() && body[q] == '\n') ++q;
    if (partStart != std::string_view::npos) {
      if (split.parts.size() + 1 == maxParts && !closing) {
        // Another part follows the last one allowed.
        split.rest = body.substr(openedAt);
        return split;
      }
      // The line break before a delimiter belongs to the delimiter.
      std::size_t end = p;
      if (end > partStart && body[end - 1] == '\n') --end;
      if (end > partStart && body[end - 1] == '\r') --end;
      split.parts.push_back(body.substr(partStart, end - partStart));
    }
    if (closing) return split;
    partStart = q;
    openedAt = p;
  }
  if (partStart != std::string_view::npos) split.parts.push_back(body.substr(partStart));
  return split;
}

// A boundary that can name a delimiter line: 1 to 70 characters, none of
// them a line break.
bool UsableBoundary(std::string_view boundary) {
  return !boundary.empty() && boundary.size() <= kMaxBoundaryBytes &&
         boundary.find_first_of("\r\n") == std::string_view::npos;
}

std::string DecodeTransfer(MimeContext& ctx, const Leaf& leaf, bool* known) {
  *known = true;
  switch (ParseEncodingNameRfc2045(leaf.encoding)) {
    case TransferEncoding::Identity:
      return std::string(leaf.body);
    case TransferEncoding::Base64:
      return DecodeBase64(leaf.body);
    case TransferEncoding::QuotedPrintable:
      return DecodeQuotedPrintableRfc2045(leaf.body);
    case TransferEncoding::Unknown:
      break;
  }
  *known = false;
  ++ctx.undecoded;
  ctx.offset = leaf.offset;
  ctx.Warn(MimeWarning::UnknownTransferEncoding, leaf.encoding);
  return std::string(leaf.body);
}

std::string DecodeTextLeaf(MimeContext& ctx, const Leaf& leaf) {
  bool known = false;
  const std::string bytes = DecodeTransfer(ctx, leaf, &known);
  if (!known) return UnknownEncodingMark(leaf.encoding) + bytes;
  ctx.offset = leaf.offset;
  const std::string* charset = leaf.contentType.Param("charset");
  std::string name = charset && !charset->empty() ? *charset : "us-ascii";
  // 8-bit text labelled us-ascii (or not at all) is read as UTF-8 when it is
  // UTF-8, else kept as Shift_JIS, as the headers are.
  if (LookupCharset(name).route == CharsetRoute::Identity && AsciiLowered(TrimSpaceAndLineEnds(name)).find("ascii") != std::string::npos &&
      IsUtf8WithHighBytes(bytes)) {
    name = "utf-8";
  }
  const std::string text = ctx.ToShiftJis(name, bytes);
  return leaf.type == "text/html" ? HtmlToText(ctx, text) : text;
}

// A name for a part that gives none, by its type.
std::string MadeUpName(const std::string& type, std::size_t number) {
  static const struct {
    const char* type;
    const char* extension;
  } kExtensions[] = {
      {"text/plain", "txt"},   {"text/html", "html"},     {"image/jpeg", "jpg"},  {"image/gif", "gif"},
      {"image/png", "png"},    {"application/pdf", "pdf"}, {"message/rfc822", "eml"}, {"text/calendar", "ics"},
      {"text/x-vcard", "vcf"}, {"text/vcard", "vcf"},
  };
  std::string extension = "bin";
  for (const auto& e : kExtensions) {
    if (type == e.type) extension = e.extension;
  }
  return "part" + std::to_string(number) + "." + extension;
}

// Control bytes never reach a name (it may become a file name or a list row).
std::string CleanName(std::string_view name) {
  std::string out;
  for (char c : TrimSpaceAndLineEnds(name)) {
    if (static_cast<unsigned char>(c) >= 0x20 && c != 0x7F) out.push_back(c);
  }
  return out;
}

}  // namespace

FullMail DecodeFullMail(std::string_view item, const CharsetConverter& charsets, MimeReporter* reporter,
                        MailParts parts) {
  MimeContext ctx{charsets, reporter};
  FullMail mail;

  // Items cut from a phone's dump often begin with the line break after their
  // start tag, and an mbox message with its "From " line.
  std::string_view top = item;
  while (!top.empty() && (top.front() == '\r' || top.front() == '\n')) top.remove_prefix(1);
  if (top.substr(0, 5) == "From ") {
    const std::size_t lf = top.find('\n');
    top = lf == std::string_view::npos ? std::string_view() : top.substr(lf + 1);
  }

  std::vector<Leaf> leaves;
  std::vector<Pending> stack{{top, 0, false, {}}};
  std::size_t partsMade = 1;  // the top entity is the first; never above kMaxMimeParts + 1
  bool first = true;
  while (!stack.empty()) {
    const Pending e = std::move(stack.back());
    stack.pop_back();
    ctx.offset = static_cast<std::size_t>(e.entity.data() - item.data());
    if (!e.unsplitOf.empty()) {
      // Delimiters, headers and bodies as they came, to be read as text.
      Leaf rest;
      rest.type = "text/plain";
      rest.isAttachment = true;
      rest.body = e.entity;
      rest.offset = ctx.offset;
      rest.mark = UnsplitMark(e.unsplitOf);
      leaves.push_back(std::move(rest));
      continue;
    }
    const HeaderBlock block = SplitHeaderBlock(e.entity);
    if (first) {
      first = false;
      auto field = [&](const char* name) {
        const std::string* v = FindField(block, name);
        return v ? std::string(TrimSpaceAndLineEnds(DecodeHeaderText(ctx, *v))) : std::string();
      };
      mail.date = field("date");
      mail.from = field("from");
      mail.to = field("to");
      mail.subject = field("subject");
      if (parts == MailParts::HeaderOnly) {
        mail.undecoded = ctx.undecoded;
        mail.replaced = ctx.replaced;
        mail.work = ctx.work;
        return mail;
      }
    }
    Leaf leaf;
    leaf.offset = ctx.offset;
    leaf.body = block.body;
    const std::string* contentType = FindField(block, "content-type");
    if (contentType) leaf.contentType = ParseParameterized(ctx, *contentType);
    leaf.type = leaf.contentType.value;
    const std::size_t slash = leaf.type.find('/');
    if (slash == std::string::npos || slash == 0 || slash + 1 == leaf.type.size()) {
      // None, or not a type at all: plain us-ascii text (a message in a digest).
      leaf.type = e.inDigest ? "message/rfc822" : "text/plain";
      leaf.contentType.params.clear();
    }
    if (const std::string* cte = FindField(block, "content-transfer-encoding")) leaf.encoding = AsciiLowered(TrimSpaceAndLineEnds(*cte));
    if (const std::string* disposition = FindField(block, "content-disposition")) {
      const ParameterizedValue d = ParseParameterized(ctx, *disposition);
      leaf.isAttachment = d.value == "attachment";
      if (const std::string* name = d.Param("filename")) leaf.fileName = CleanName(*name);
    }
    if (leaf.fileName.empty()) {
      if (const std::string* name = leaf.contentType.Param("name")) leaf.fileName = CleanName(*name);
    }

    if (leaf.type.compare(0, 10, "multipart/") == 0) {
      const std::string* boundaryParam = leaf.contentType.Param("boundary");
      const std::string boundary(boundaryParam ? TrimSpaceAndLineEnds(*boundaryParam) : std::string_view());
      const bool tooDeep = e.depth >= kMaxMimeDepth;
      if (tooDeep || partsMade > kMaxMimeParts) {
        // Kept whole, headers and all, to be opened as a message.
        ++ctx.undecoded;
        ctx.Warn(tooDeep ? MimeWarning::TooDeep : MimeWarning::TooManyParts, leaf.type);
        leaf.type = "message/rfc822";
        leaf.encoding.clear();
        leaf.body = e.entity;
        leaves.push_back(std::move(leaf));
        continue;
      }
      const Split split = UsableBoundary(boundary)
                              ? SplitMultipart(ctx, block.body, boundary, kMaxMimeParts + 1 - partsMade)
                              : Split();
      if (split.parts.empty() && split.rest.empty()) {
        ctx.Warn(MimeWarning::NoBoundary, leaf.type);
        // A nested multipart that holds nothing (one that took its parent's
        // boundary) would otherwise take the body's place with no text.
        if (e.depth > 0 && TrimSpaceAndLineEnds(block.body).empty()) continue;
        leaf.type = "text/plain";  // read as text: what it holds stays visible
        leaf.contentType.params.clear();
        leaves.push_back(std::move(leaf));
        continue;
      }
      partsMade += split.parts.size();
      if (!split.rest.empty()) {
        ++partsMade;
        ++ctx.undecoded;
        ctx.Warn(MimeWarning::TooManyParts, leaf.type);
        stack.push_back({split.rest, e.depth + 1, false, leaf.type});
      }
      const bool digest = leaf.type == "multipart/digest";
      for (auto it = split.parts.rbegin(); it != split.parts.rend(); ++it) stack.push_back({*it, e.depth + 1, digest, {}});
      continue;
    }
    // A part with nothing in it (two delimiters in a row) is neither body nor attachment.
    if (e.depth > 0 && TrimSpaceAndLineEnds(e.entity).empty()) continue;
    leaves.push_back(std::move(leaf));
  }

  std::size_t bodyLeaf = leaves.size();
  for (std::size_t i = 0; i < leaves.size() && bodyLeaf == leaves.size(); ++i) {
    if (leaves[i].type == "text/plain" && !leaves[i].isAttachment) bodyLeaf = i;
  }
  for (std::size_t i = 0; i < leaves.size() && bodyLeaf == leaves.size(); ++i) {
    if (leaves[i].type == "text/html" && !leaves[i].isAttachment) bodyLeaf = i;
  }
  for (std::size_t i = 0; i < leaves.size(); ++i) {
    const Leaf& leaf = leaves[i];
    if (i == bodyLeaf) {
      mail.body = DecodeTextLeaf(ctx, leaf);
      continue;
    }
    MailAttachment a;
    bool known = false;
    a.bytes = leaf.mark + DecodeTransfer(ctx, leaf, &known);
    a.name = leaf.fileName.empty() ? MadeUpName(leaf.type, mail.attachments.size() + 1) : leaf.fileName;
    mail.attachments.push_back(std::move(a));
  }
  mail.undecoded = ctx.undecoded;
  mail.replaced = ctx.replaced;
  mail.work = ctx.work;
  return mail;
}

TransferEncoding ParseEncodingNameRfc2045(std::string_view name) {
  std::string letters;
  for (char c : name) {
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    if ((c >= 'a' && c <= 'z') || (c >= '0' && c <= '9')) letters.push_back(c);
  }
  if (letters.empty() || letters == "7bit" || letters == "8bit" || letters == "8bits" || letters == "binary" ||
      letters == "plain" || letters == "none" || letters == "7bits") {
    return TransferEncoding::Identity;
  }
  if (letters == "base64") return TransferEncoding::Base64;
  if (letters == "quotedprintable" || letters == "qp") return TransferEncoding::QuotedPrintable;
  return TransferEncoding::Unknown;
}

}  // namespace tanavo
