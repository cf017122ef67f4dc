#include "display/attachment_list.h"

#include <cstddef>
#include <string>

#include "app/app.h"
#include "display/attachments.h"
#include "dispset/display_window.h"

namespace tanavo {

void ShowItemAttachments(App& app, const DecodedItem& item) {
  const std::vector<ItemAttachment>& attachments = item.attachments;
  Window* w = app.displayWindow ? app.displayWindow->window : nullptr;
  if (w) {
    w->Show(kDispAttachmentLabel, true);
    w->Show(kDispStatusText, true);
    w->Show(kDispAttachmentList, true);
    w->ListClear(kDispAttachmentList);
    w->SetText(kDispAttachmentLabel, "添付ファイル");
  }
  const std::size_t shown = attachments.size() < static_cast<std::size_t>(kAttachmentSlots)
                                ? attachments.size()
                                : static_cast<std::size_t>(kAttachmentSlots);
  AttachmentTable& table = app.attachments;
  for (std::size_t i = 0; i < shown; ++i) {
    const std::size_t slot = i + 1;
    table.count = static_cast<int32_t>(slot);
    table.names[slot] = attachments[i].name;
    table.contents[slot] = attachments[i].content;
    if (w) w->ListAdd(kDispAttachmentList, table.names[slot]);
  }
  if (item.attachmentCount > shown) {
    ShowWarning(app.platform, "添付ファイルは" + std::to_string(kAttachmentSlots) + "件まで表示します。残りの" +
                                  std::to_string(item.attachmentCount - shown) + "件は表示されません");
  }
}

}  // namespace tanavo
