#include "display/render.h"

#include <functional>
#include <algorithm>
#include <map>
#include <utility>

#include "display/placeholder.h"
#include "display/record_charset.h"
#include "engine/walk.h"
#include "extract/carrier_choice.h"
#include "platform/progress_throttle.h"
#include "state/workspace.h"

namespace tanavo {

RenderedRecord RenderRecord(Workspace& ws, int n, RenderReporter* reporter, RenderValues values) {
  RenderedRecord r;
  ResetLastEnd(ws.walk);
  ws.stack.Reset();
  NoteRecordCharset(ws, {});
  // A number outside the index has no stored position to start from.
  if (!HoldsRecord(ws.index, n)) return r;

  r.text = ws.display.layoutText;
  const bool collect = values == RenderValues::Collect;
  if (collect) r.values.resize(kTagEntries);
  // The Date, From, To, Subject and Body entries of a record usually read one
  // mail: its problems count once. Items are told apart by size and hash.
  // A header entry may have read only the header of a mail the body entry
  // reads whole: each mail counts with the most any entry found in it.
  std::map<std::pair<std::size_t, std::size_t>, std::size_t> countedMails;
  const std::string total = "/" + std::to_string(UsedCount(ws.extraction));

  ProgressThrottle progress([reporter](const std::string& t) {
    if (reporter) reporter->Progress(t);
  });
  WalkHooks hooks;
  hooks.shouldStop = [&](int entry) {
    progress.Update(std::to_string(entry + 1) + total);
    return false;
  };
  const CarrierSetting carrierSetting = CarrierSettingOf(ws.extraction);
  hooks.onRecord = [&](const TagMatch& record) {
    r.carrier = CarrierFor(carrierSetting, record.text);
    NoteRecordCharset(ws, record.text);
    if (reporter) reporter->RecordFound(record);
  };
  hooks.onItem = [&](int entry, const std::string& itemText) {
    if (entry < 0 || entry >= kTagEntries) return;
    DecodedItem item = DecodeItem(ws, entry, itemText, {[&](const DecodedItem& d) {
                                    if (reporter) reporter->AttachmentsFound(d);
                                  }});
    if (item.multipart) {
      r.attachments = true;
      r.attachmentsNotKept += item.attachmentCount - item.attachments.size();
      for (ItemAttachment& a : item.attachments) r.attachmentFiles.push_back(std::move(a));
    }
    if (item.undecodable > 0 && !item.fullMime) {
      r.undecodable += item.undecodable;  // each item its own text
    } else if (item.undecodable > 0) {
      std::size_t& counted = countedMails[{itemText.size(), std::hash<std::string>{}(itemText)}];
      counted = std::max(counted, item.undecodable);
    }
    std::string& value = item.text;
    FillPlaceholder(r.text, ws.extraction.entries[entry].name, value);
    if (collect) r.values[static_cast<std::size_t>(entry)].push_back(std::move(value));
  };
  const WalkResult result = WalkRecord(ws.extraction, ws.stack, ws.walk, 0,
                                       ws.index.positions[static_cast<std::size_t>(n)], hooks);
  progress.Flush();  // a record not found leaves its last entry counter on view
  // Also when the settings hold no record delimiter at all: no record.
  if (result.recordMissing || !result.recordFound) return {};

  for (int i = 0; i < kTagEntries && !ws.extraction.entries[i].name.empty(); ++i) {
    ClearPlaceholder(r.text, ws.extraction.entries[i].name);
  }
  for (const auto& mail : countedMails) r.undecodable += mail.second;
  r.status = RenderStatus::Rendered;
  return r;
}

}  // namespace tanavo
