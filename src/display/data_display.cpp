#include "display/data_display.h"

#include <string>
#include <vector>

#include "app/app.h"
#include "display/render.h"
#include "dispset/display_window.h"
#include "dispset/name_list_window.h"

namespace tanavo {

namespace {

Window* DisplayControls(App& app) { return app.displayWindow ? app.displayWindow->window : nullptr; }

}  // namespace

std::string RecordListRow(const RecordIndex& index, int32_t n) {
  return "(" + std::to_string(n) + ")" + index.lines[static_cast<std::size_t>(n)];
}

void OpenDataDisplay(App& app) {
  Window* w = DisplayControls(app);
  if (!w) return;
  w->ShowWindow(true);
  if (app.display.mode == DisplayMode::Editor) {
    // Leaving the editor keeps what was typed in it, as closing it does: the
    // record text is about to replace the layout edit.
    app.display.listLineTemplate = w->Text(kDispTemplateEdit);
    app.display.layoutText = w->Text(kDispLayoutEdit);
    app.display.mode = DisplayMode::DataDisplay;
    if (app.nameListWindow) app.nameListWindow->Hide();
  }
  int cw = 0, ch = 0;
  w->ClientSize(&cw, &ch);
  ApplyDataDisplayLayout(*w, cw, ch);

  w->SetText(kDispTitle, "データ表示");
  for (int id : {kDispTitle, kDispClose, kDispLayoutEdit, kDispRecordList}) w->Show(id, true);
  for (int id : {kDispSave, kDispTemplateEdit, kDispAttachmentList, kDispAttachmentLabel, kDispStatusText}) {
    w->Show(id, false);
  }
  w->ListClear(kDispRecordList);
  w->SetText(kDispLayoutEdit, "");
  w->ShowWindow(true);
  w->FocusWindow();

  // An index of no records has nothing to list; a first record whose line
  // happens to be empty is still a record.
  const RecordIndex& index = app.index;
  if (index.count <= 0) {
    ShowWarning(app.platform, "インデックス・データがありません!!");
    return;
  }
  std::vector<std::string> rows;
  rows.reserve(static_cast<std::size_t>(index.count));
  for (int32_t n = 1; n <= index.count && n <= kIndexSlots; ++n) rows.push_back(RecordListRow(index, n));
  w->ListSetRows(kDispRecordList, rows);
  w->SetText(kDispAttachmentLabel, "");
  w->SetText(kDispStatusText, "");
  RenderRecord(app, 1);
  w->Focus(kDispRecordList);
}

void SelectRecord(App& app) {
  Window* w = DisplayControls(app);
  if (!w) return;
  const int row = w->ListSelection(kDispRecordList);
  if (row < 0) return;
  w->SetText(kDispAttachmentLabel, "");
  w->SetText(kDispStatusText, "");
  w->Show(kDispAttachmentList, false);
  RenderRecord(app, row + 1);
}

}  // namespace tanavo
