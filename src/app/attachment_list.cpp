#include "app/attachment_list.h"

#include <cstddef>
#include <string>

#include "app/app.h"
#include "app/display_window.h"
#include "display/attachment.h"
#include "state/attachments.h"

namespace tanavo {

namespace {

std::string Progress(std::size_t at, std::size_t total) {
  return std::to_string(at) + "/" + std::to_string(total) + "Bytes";
}

}  // namespace

std::size_t ShowItemAttachments(App& app, const DecodedItem& item) {
  Window* w = app.displayWindow ? app.displayWindow->window : nullptr;
  if (w) {
    w->Show(kDispAttachmentLabel, true);
    w->Show(kDispStatusText, true);
    w->Show(kDispAttachmentList, true);
    w->ListClear(kDispAttachmentList);
    w->SetText(kDispAttachmentLabel, "添付ファイル");
  }
  const std::size_t recorded = RecordItemAttachments(app.attachments, item);
  for (std::size_t slot = 1; w && slot <= recorded; ++slot) w->ListAdd(kDispAttachmentList, app.attachments.names[slot]);
  WarnAttachmentsLeftOut(app.platform, item, recorded);
  return recorded;
}

void OpenAttachment(App& app) {
  Window* w = app.displayWindow ? app.displayWindow->window : nullptr;
  if (!w) return;
  const int row = w->ListSelection(kDispAttachmentList);
  const int slot = row + 1;
  if (row < 0 || slot > app.attachments.count || slot > kAttachmentSlots) return;
  const std::string& name = app.attachments.names[static_cast<std::size_t>(slot)];

  const std::string& content = app.attachments.contents[static_cast<std::size_t>(slot)];
  // A mail decoded in full keeps its attachments' bytes: nothing to decode,
  // and the controls end as after a decoding.
  std::string decodedBytes;
  if (!app.attachments.decoded[static_cast<std::size_t>(slot)]) {
    int shownPhase = 0;
    decodedBytes = DecodeAttachment(content, [&](int phase, std::size_t at, std::size_t total) {
      if (phase != shownPhase) {
        w->SetText(kDispAttachmentLabel, phase == 1 ? "処理中(1/2)" : "処理中(2/2)");
        shownPhase = phase;
      }
      w->SetText(kDispStatusText, Progress(at, total));
    });
  }
  w->SetText(kDispAttachmentLabel, "添付ファイル");
  w->SetText(kDispStatusText, "");
  OpenAttachmentBytes(app, name, app.attachments.decoded[static_cast<std::size_t>(slot)] ? content : decodedBytes);
}

}  // namespace tanavo
