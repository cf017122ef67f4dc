#include "index/index_creation.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "state/workspace.h"
#include "display/item_decoder.h"
#include "engine/walk.h"
#include "index/capacity_setting.h"
#include "index/coverage.h"
#include "index/index_file.h"
#include "display/placeholder.h"
#include "display/record_charset.h"
#include "platform/progress_throttle.h"
#include "text/bytes.h"

namespace tanavo {

namespace {

constexpr std::size_t kProgressColumns = 4;

// The Data entries whose placeholder occurs in the template, in table order.
struct ReferencedList {
  std::array<bool, kTagEntries> referenced{};
  int count = 0;
  bool overflow = false;  // more entries were named than the list holds
};

ReferencedList BuildReferencedList(const ExtractionSettings& s, const std::string& listTemplate) {
  ReferencedList list;
  const int used = UsedCount(s);
  for (int i = 0; i < used; ++i) {
    const TagDefinition& e = s.entries[i];
    if (e.kind != EntryKind::Data || FindPlaceholder(listTemplate, e.name).status != MatchStatus::Found) continue;
    if (list.count == kReferencedEntries) {
      list.overflow = true;
      break;
    }
    list.referenced[i] = true;
    ++list.count;
  }
  return list;
}

// Whether the file holds a record from position from on.
bool RecordFollows(const Workspace& ws, int entry, int64_t from) {
  if (from >= static_cast<int64_t>(ws.state.mobileFile.size())) return false;
  const TagDefinition& e = ws.extraction.entries[entry];
  TagMatch m = ExtractBetweenTags(ws.state.mobileFile, e.rangeStartTag, e.rangeEndTag, static_cast<int32_t>(from),
                                  e.lineEnd, e.nextLineHead, ExtractMode::PositionsOnly);
  return m.status == MatchStatus::Found && m.end >= m.start;
}

// The entries whose placeholder occurs in the template, of any kind: what is
// left of them after a record's walk becomes blank, as in the layout. Longer
// names first, so that "??D21??" is cleared as D21's, never as D2's with a
// filler of "1".
std::vector<int> PlaceholdersOfTemplate(const ExtractionSettings& s, const std::string& listTemplate) {
  std::vector<int> named;
  const int used = UsedCount(s);
  for (int i = 0; i < used; ++i) {
    if (FindPlaceholder(listTemplate, s.entries[i].name).status == MatchStatus::Found) named.push_back(i);
  }
  std::stable_sort(named.begin(), named.end(),
                   [&s](int a, int b) { return s.entries[a].name.size() > s.entries[b].name.size(); });
  return named;
}

}  // namespace

IndexCreation CreateIndex(Workspace& ws, bool offerAllRecords, IndexReporter* reporter) {
  Platform& p = ws.platform;
  if (ws.state.mobileFile.empty()) {
    ReportIndexWarning(p, reporter, IndexWarning::NoMobileFile);
    return kIndexRefused;
  }
  if (!IsPresent(ws.extraction)) {
    ReportIndexWarning(p, reporter, IndexWarning::NoExtractionSettings);
    return kIndexRefused;
  }
  const std::string& listTemplate = ws.display.listLineTemplate;
  if (listTemplate.empty()) {
    ReportIndexWarning(p, reporter, IndexWarning::NoDisplaySettings);
    return kIndexRefused;
  }
  // Without a record delimiter there is no record to look for.
  const int first = FirstEntryOfKind(ws.extraction, EntryKind::DSet);
  if (first < 0) {
    ReportIndexWarning(p, reporter, IndexWarning::NoDSet);
    return kIndexRefused;
  }

  p.SetStatusText(kOperationPart, "インデックス作成中");
  ws.stack.Reset();
  const ReferencedList refs = BuildReferencedList(ws.extraction, listTemplate);
  const std::vector<int> named = PlaceholdersOfTemplate(ws.extraction, listTemplate);
  if (refs.overflow) {
    ReportIndexWarning(p, reporter, IndexWarning::TooManyListEntries, kReferencedEntries);
  }

  RecordIndex& index = ws.index;
  const int64_t length = static_cast<int64_t>(ws.state.mobileFile.size());
  ClearRecords(index);
  // The coverage is counted from the records the walk finds, beside it.
  CoverageWalk coverage(ws.state.mobileFile, ws.extraction, index);
  int64_t next = 1;  // wider than a position: a record may end at the last byte of a 2 GiB file
  int filled = 0;
  bool found = false;
  std::string line;
  WalkHooks hooks;
  // A template that names no Data entry still gets each record's D_SET found
  // before the walk stops, so the scan always moves on.
  hooks.shouldStop = [&](int) { return found && filled >= refs.count; };
  hooks.onRecord = [&](const TagMatch& record) {
    found = true;
    ++index.count;
    index.positions[RecordSlotFor(index, index.count)] = record.start;
    coverage.TakeIndexed(record.start, record.end);
    NoteRecordCharset(ws, record.text);
    next = static_cast<int64_t>(record.end) + 1;
  };
  hooks.onItem = [&](int entry, const std::string& itemText) {
    if (entry < 0 || entry >= kTagEntries || !refs.referenced[static_cast<std::size_t>(entry)]) return;
    ++filled;
    FillPlaceholder(line, ws.extraction.entries[entry].name, DecodeItem(ws, entry, itemText, TextOnlyDecoding()).text);
  };

  ProgressThrottle progress([&p](const std::string& t) { p.SetStatusText(kProgressPart, t); });
  while (next < length && index.count < index.capacity) {
    filled = 0;
    found = false;
    line = listTemplate;
    progress.Update(RightAligned(index.count + 1, kProgressColumns) + "件目処理中");
    // Each record is walked as rendering walks it, so that its line holds the
    // values its record shows: no position found in the record before leads
    // a search-after-previous entry astray.
    ResetLastEnd(ws.walk);
    NoteRecordCharset(ws, {});
    WalkResult r = WalkRecord(ws.extraction, ws.stack, ws.walk, first, static_cast<int32_t>(next), hooks);
    if (!r.recordFound) break;
    // A placeholder no value was written into (an item the record lacks, or
    // one the walk stopped before) shows as blanks of its width.
    for (int entry : named) ClearPlaceholder(line, ws.extraction.entries[entry].name);
    index.lines[static_cast<std::size_t>(index.count)] = RemoveByte(line, '\0');
  }
  progress.Flush();
  p.SetStatusText(kProgressPart, "");
  p.SetStatusText(kOperationPart, "");
  ws.coverage = coverage.Finish();
  if (index.count == index.capacity && RecordFollows(ws, first, next)) {
    const std::string warning = LeftOutWarningText(index.capacity, ws.coverage.recordsFound);
    if (!offerAllRecords) {
      ReportIndexWarning(p, reporter, IndexWarning::RecordsLeftOut, index.capacity, ws.coverage.recordsFound);
    } else if (p.MessageBox(BoxOwner::None, warning + "\r\n" + kRaiseCapacityQuestion, "警告", BoxIcon::None,
                            BoxButtons::YesNo) == BoxAnswer::Yes) {
      return kCreateAgainWithAll;
    }
  }
  return kIndexCreated;
}

std::string LeftOutWarningText(int32_t capacity, int32_t found) {
  return IndexWarningText(IndexWarning::RecordsLeftOut, capacity, found);
}

IndexFileStatus CreateAndSaveIndex(Workspace& ws) {
  if (CreateIndex(ws) != kIndexCreated) {
    ReportIndexWarning(ws.platform, nullptr, IndexWarning::CreationFailed);
    return IndexFileStatus::Failed;
  }
  return SaveIndexFile(ws);
}

IndexFileStatus CreateAndSaveIndexTo(Workspace& ws, const std::string& path, IndexReporter* reporter) {
  if (CreateIndex(ws, false, reporter) != kIndexCreated) {
    ReportIndexWarning(ws.platform, reporter, IndexWarning::CreationFailed);
    return IndexFileStatus::Failed;
  }
  return SaveIndexFileTo(ws, path);
}

void CreateIndexCommand(Workspace& ws) {
  BoxAnswer a = ws.platform.MessageBox(BoxOwner::None, "処理に時間が掛かります．\r\n実行して宜しいですか？", "注意",
                                        BoxIcon::None, BoxButtons::OkCancel);
  if (a != BoxAnswer::Ok) return;
  IndexCreation created = CreateIndex(ws, true);
  if (created == kCreateAgainWithAll) {
    RememberRecordCapacity(ws, kAllRecords);
    created = CreateIndex(ws);
  }
  if (created != kIndexCreated) {
    ReportIndexWarning(ws.platform, nullptr, IndexWarning::CreationFailed);
    return;
  }
  SaveIndexFile(ws);
  // After the save, whose counter uses the same parts.
  Platform& p = ws.platform;
  const std::string summary = CoverageSummaryText(ws.coverage);
  p.SetStatusText(kOperationPart, CoverageStatusText(ws.coverage));
  p.SetStatusTip(kOperationPart, summary);
  p.SetStatusText(kProgressPart, "");
  p.SetStatusTip(kProgressPart, summary);
}

}  // namespace tanavo
