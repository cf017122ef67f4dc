// DecodeDataItem and DecodeMultipartItem on a mail-like Data entry, as the
// data display decodes a mail body.
#include "display/item_decoder.h"
#include "dispset/display_window.h"
#include "fuzz_support.h"

using namespace tanavo;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  FuzzApp f;
  TagDefinition& body = f.app.extraction.entries[0];
  body.kind = "Data";
  body.name = "Body";
  body.rangeStartTag = "Content-Type:";
  body.rangeEndTag = "END:MAIL";
  body.dataTypeStartTag = body.dataTypeEndTag = "*";
  body.encodingStartTag = body.encodingEndTag = "*";
  body.japaneseCodeStartTag = body.japaneseCodeEndTag = "*";
  body.contentStartTag = "\r\n\r\n";
  body.contentEndTag = "END:MAIL";
  const std::string_view item = AsText(data, size);
  const std::string value = DecodeDataItem(f.app, 0, item);
  if (value != kMultipartMarker) return 0;
  DecodeMultipartItem(f.app, 0, item);
  const MemoryWindow& w = *f.platform.WindowOf("NORMAL5");
  const int rows = w.ListCount(kDispAttachmentList);
  FUZZ_CHECK(f.app.attachments.count >= 0 && f.app.attachments.count <= kAttachmentSlots);
  FUZZ_CHECK(rows <= kAttachmentSlots);
  // Rows and slots stay aligned.
  if (rows > 0) FUZZ_CHECK(rows == f.app.attachments.count);
  for (int r = 0; r < rows; ++r) {
    const std::string& name = f.app.attachments.names[static_cast<size_t>(r + 1)];
    FUZZ_CHECK(w.ListRow(kDispAttachmentList, r) == name.substr(0, name.find('\0')));
  }
  return 0;
}
