#include "display/render.h"

#include "app/app.h"
#include "app/main_window.h"
#include "display/attachment_list.h"
#include "display/item_decoder.h"
#include "dispset/display_window.h"
#include "engine/walk.h"
#include "index/placeholder.h"

namespace tanavo {

int RenderRecord(App& app, int n, RenderedRecord* out) {
  Window* w = app.displayWindow ? app.displayWindow->window : nullptr;
  if (w) {
    w->Show(kDispAttachmentLabel, true);
    w->Show(kDispStatusText, true);
    w->SetText(kDispAttachmentLabel, "処理中");
  }
  ResetLastEnd(app.walk);
  app.stack.Reset();
  // A number outside the index has no stored position to start from.
  if (n < 1 || n > app.index.count || n > kIndexSlots) return 1;

  RenderedRecord local;
  RenderedRecord& r = out ? *out : local;
  r.text = app.display.layoutText;
  r.attachments = false;
  r.values.clear();
  r.attachmentFiles.clear();
  r.attachmentsNotKept = 0;
  if (r.collectValues) r.values.resize(kTagEntries);
  const std::string total = "/" + std::to_string(UsedCount(app.extraction));

  WalkHooks hooks;
  hooks.shouldStop = [&](int entry) {
    if (w) w->SetText(kDispStatusText, std::to_string(entry + 1) + total);
    return false;
  };
  hooks.onRecord = [&](const TagMatch& record) {
    Window* main = app.mainWindow ? app.mainWindow->window : nullptr;
    if (main) main->SetText(kRawTextView, record.text);
  };
  hooks.onItem = [&](int entry, const std::string& itemText) {
    if (entry < 0 || entry >= kTagEntries) return;
    DecodedItem item =
        DecodeItem(app, entry, itemText, [&](const DecodedItem& d) { ShowItemAttachments(app, d); });
    if (item.multipart) {
      r.attachments = true;
      r.attachmentsNotKept += item.attachmentCount - item.attachments.size();
      for (ItemAttachment& a : item.attachments) r.attachmentFiles.push_back(std::move(a));
    }
    std::string& value = item.text;
    FillPlaceholder(r.text, app.extraction.entries[entry].name, value);
    if (r.collectValues) r.values[static_cast<std::size_t>(entry)].push_back(std::move(value));
  };
  const WalkResult result = WalkRecord(app.extraction, app.stack, app.walk, 0,
                                       app.index.positions[static_cast<std::size_t>(n)], hooks);
  // Also when the settings hold no record delimiter at all: no record, nothing shown.
  if (result.recordMissing || !result.recordFound) return 1;

  for (int i = 0; i < kTagEntries && !app.extraction.entries[i].name.empty(); ++i) {
    ClearPlaceholder(r.text, app.extraction.entries[i].name);
  }
  if (w) {
    w->SetText(kDispLayoutEdit, r.text);
    if (!r.attachments) w->SetText(kDispAttachmentLabel, "");
    w->SetText(kDispStatusText, "");
  }
  return 0;
}

}  // namespace tanavo
