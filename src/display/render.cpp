#include "display/render.h"

#include <functional>
#include <set>
#include <utility>

#include "app/app.h"
#include "app/main_window.h"
#include "display/attachment_list.h"
#include "display/item_decoder.h"
#include "dispset/display_window.h"
#include "engine/walk.h"
#include "index/placeholder.h"
#include "platform/progress_throttle.h"

namespace tanavo {

namespace {

// The record, or the mobile file it came from, is not what the index says
// (another mobile file loaded since, or one changed): the screen stays as it
// was, with only its work marks replaced by what happened. 1, as a failed
// render returns.
int NotFoundAtStoredPosition(Window* w) {
  if (w) {
    w->SetText(kDispAttachmentLabel, "");
    w->SetText(kDispStatusText, "記録位置にレコードなし");
  }
  return 1;
}

// Shown after rendering a record whose mails hold what full decoding could
// not decode (marked in the text); nothing for every other record.
std::string UndecodableStatus(std::size_t count) {
  return count == 0 ? std::string() : "変換不能: " + std::to_string(count) + "箇所";
}

}  // namespace

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
  if (n < 1 || n > app.index.count || n > kIndexSlots) return NotFoundAtStoredPosition(w);

  RenderedRecord local;
  RenderedRecord& r = out ? *out : local;
  r.text = app.display.layoutText;
  r.attachments = false;
  r.values.clear();
  r.attachmentFiles.clear();
  r.attachmentsNotKept = 0;
  r.undecodable = 0;
  // The Date, From, To, Subject and Body entries of a record usually read one
  // mail: its problems count once. Items are told apart by size and hash.
  std::set<std::pair<std::size_t, std::size_t>> countedMails;
  if (r.collectValues) r.values.resize(kTagEntries);
  const std::string total = "/" + std::to_string(UsedCount(app.extraction));

  ProgressThrottle progress([w](const std::string& t) {
    if (w) w->SetText(kDispStatusText, t);
  });
  WalkHooks hooks;
  hooks.shouldStop = [&](int entry) {
    progress.Update(std::to_string(entry + 1) + total);
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
    if (item.undecodable > 0) {
      const std::pair<std::size_t, std::size_t> key{itemText.size(), std::hash<std::string>{}(itemText)};
      if (countedMails.insert(key).second) r.undecodable += item.undecodable;
    }
    std::string& value = item.text;
    FillPlaceholder(r.text, app.extraction.entries[entry].name, value);
    if (r.collectValues) r.values[static_cast<std::size_t>(entry)].push_back(std::move(value));
  };
  const WalkResult result = WalkRecord(app.extraction, app.stack, app.walk, 0,
                                       app.index.positions[static_cast<std::size_t>(n)], hooks);
  progress.Flush();  // a record not found leaves its last entry counter on view
  // Also when the settings hold no record delimiter at all: no record, nothing shown.
  if (result.recordMissing || !result.recordFound) return NotFoundAtStoredPosition(w);

  for (int i = 0; i < kTagEntries && !app.extraction.entries[i].name.empty(); ++i) {
    ClearPlaceholder(r.text, app.extraction.entries[i].name);
  }
  if (w) {
    w->SetText(kDispLayoutEdit, r.text);
    if (!r.attachments) w->SetText(kDispAttachmentLabel, "");
    w->SetText(kDispStatusText, UndecodableStatus(r.undecodable));
  }
  return 0;
}

}  // namespace tanavo
