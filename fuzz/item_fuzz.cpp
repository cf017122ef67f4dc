// DecodeItem, text only and whole, on a mail-like Data entry, as the
// data display decodes a mail body; each attachment's safe name and whether
// it would be opened.
#include "app/attachment_list.h"
#include "display/attachment.h"
#include "display/attachment_opening.h"
#include "display/item_decoder.h"
#include "app/display_window.h"
#include "fuzz_support.h"

using namespace tanavo;

namespace {

bool IsLead(unsigned char c) { return (c >= 0x81 && c <= 0x9F) || (c >= 0xE0 && c <= 0xFC); }
bool IsTrail(unsigned char c) { return (c >= 0x40 && c <= 0x7E) || (c >= 0x80 && c <= 0xFC); }

// A safe name names one file inside its folder: outside double-byte
// characters no separator, control byte or other byte Windows forbids.
void CheckSafeName(const std::string& name) {
  FUZZ_CHECK(!name.empty() && name != "." && name != "..");
  FUZZ_CHECK(name.back() != '.' && name.back() != ' ');
  for (size_t i = 0; i < name.size(); ++i) {
    const unsigned char c = static_cast<unsigned char>(name[i]);
    if (IsLead(c) && i + 1 < name.size() && IsTrail(static_cast<unsigned char>(name[i + 1]))) {
      ++i;
      continue;
    }
    FUZZ_CHECK(c >= 0x20 && c != 0x7F && std::string_view("\\/:*?\"<>|").find(static_cast<char>(c)) == std::string_view::npos);
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  FuzzApp f;
  f.app.extraction.entries[0] = MailEntry("Body", "Content-Type:", "END:MAIL", "END:MAIL");
  const std::string_view item = AsText(data, size);
  const std::string value = DecodeItem(f.app, 0, item, TextOnlyDecoding()).text;
  if (value != kMultipartMarker) return 0;
  // The split reads each part once and the delimiter between two parts
  // twice: linear in the item whatever the boundary.
  const DecodedItem decoded = DecodeItem(f.app, 0, item);
  FUZZ_CHECK(decoded.work <= 3 * size);
  FUZZ_CHECK(decoded.attachments.size() <= kMaxItemAttachments && decoded.attachments.size() <= decoded.attachmentCount);
  (void)DecodeItem(f.app, 0, item, {[&](const DecodedItem& d) { ShowItemAttachments(f.app, d); }});
  const MemoryWindow& w = *f.platform.WindowOf(kDisplayWindowClass);
  const int rows = w.ListCount(kDispAttachmentList);
  FUZZ_CHECK(f.app.attachments.count >= 0 && f.app.attachments.count <= kAttachmentSlots);
  FUZZ_CHECK(rows <= kAttachmentSlots);
  // Rows and slots stay aligned.
  if (rows > 0) FUZZ_CHECK(rows == f.app.attachments.count);
  for (int r = 0; r < rows; ++r) {
    const std::string& name = f.app.attachments.names[static_cast<size_t>(r + 1)];
    FUZZ_CHECK(w.ListRow(kDispAttachmentList, r) == name.substr(0, name.find('\0')));
  }
  std::vector<std::string> taken;
  for (int slot = 1; slot <= f.app.attachments.count; ++slot) {
    const std::string& name = f.app.attachments.names[static_cast<size_t>(slot)];
    const std::string safe = SafeAttachmentName(name, slot, &taken, &f.platform);
    CheckSafeName(safe);
    FUZZ_CHECK(safe.size() <= kMaxAttachmentNameBytes + 1 + kUniqueSuffixRoom);
    // A program header is never opened, whatever the name says.
    const std::string bytes = DecodeAttachment(f.app.attachments.contents[static_cast<size_t>(slot)]);
    const ContentHeader header = ReadContentHeader(bytes);
    const AttachmentOpening opening = JudgeAttachment(TemporaryExtension(name, '\\'), bytes);
    if (header != ContentHeader::None && header != ContentHeader::Zip) FUZZ_CHECK(opening != AttachmentOpening::Open);
  }
  return 0;
}
