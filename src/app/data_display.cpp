#include "app/data_display.h"

#include <algorithm>
#include <string>

#include "app/app.h"
#include "app/attachment_list.h"
#include "app/case_display.h"
#include "app/display_window.h"
#include "app/main_window.h"
#include "app/name_list_window.h"
#include "app/raw_view.h"
#include "display/render.h"
#include "engine/tag_match.h"

namespace tanavo {

namespace {

Window* DisplayControls(App& app) { return app.displayWindow ? app.displayWindow->window : nullptr; }

// Shown after rendering a record whose mails hold what full decoding could
// not decode (marked in the text), or carrier emoji (marked too); nothing
// for every other record.
// Attachments of a mail decoded in full past those the list holds are
// counted there too, since such a mail raises no box.
std::string RecordStatus(std::size_t undecodable, std::size_t attachmentsNotListed, std::size_t emoji) {
  std::string status;
  if (undecodable > 0) status = "変換不能: " + std::to_string(undecodable) + "箇所";
  if (emoji > 0) {
    if (!status.empty()) status += " ";
    status += "絵文字: " + std::to_string(emoji);
  }
  if (attachmentsNotListed > 0) {
    if (!status.empty()) status += " ";
    status += "添付+" + std::to_string(attachmentsNotListed) + "件非表示";
  }
  return status;
}

// Shows each step of a render as it happens.
class ShownRender : public RenderReporter {
 public:
  explicit ShownRender(App& app) : app_(app), display_(DisplayControls(app)) {}
  void Progress(const std::string& counter) override {
    if (display_) display_->SetText(kDispStatusText, counter);
  }
  void RecordFound(const TagMatch& record) override {
    ShowRawRecord(app_, record.text);  // as its file is shown: bytes, or from UTF-8
  }
  void AttachmentsFound(const DecodedItem& item) override {
    // The list shows the last item's: so does the count.
    const std::size_t listed = ShowItemAttachments(app_, item);
    notListed = item.fullMime ? item.attachmentCount - listed : 0;
  }

  std::size_t notListed = 0;  // of a mail decoded in full, past the list's slots

 private:
  App& app_;
  Window* display_;
};

}  // namespace

RecordShown ShowRecord(App& app, int n, RenderedRecord* out) {
  Window* w = DisplayControls(app);
  if (w) {
    w->Show(kDispAttachmentLabel, true);
    w->Show(kDispStatusText, true);
    w->SetText(kDispAttachmentLabel, "処理中");
  }
  ShownRender shown(app);
  RenderedRecord r = RenderRecord(app, n, &shown, out ? RenderValues::Collect : RenderValues::Skip);
  const bool found = r.status == RenderStatus::Rendered;
  if (w && !found) {
    // The screen stays as it was, with only its work marks replaced by what
    // happened.
    w->SetText(kDispAttachmentLabel, "");
    w->SetText(kDispStatusText, "記録位置にレコードなし");
  }
  if (found) app.caseSession.shown = n;
  if (w && found) {
    // Code page 932 draws an emoji's code as a dot that looks like a real
    // one: the window shows a mark that names it, counted.
    std::size_t emoji = 0;
    w->SetText(kDispLayoutEdit, MarkCarrierEmoji(r.text, r.carrier, &emoji));
    if (!r.attachments) w->SetText(kDispAttachmentLabel, "");
    w->SetText(kDispStatusText, RecordStatus(r.undecodable, shown.notListed, emoji));
  }
  if (out) *out = std::move(r);
  return found ? kRecordShown : kRecordNotFound;
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
  ShowCaseControls(app, true);
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
  ShowRecordRows(app);
  w->SetText(kDispAttachmentLabel, "");
  w->SetText(kDispStatusText, "");
  ShowRecord(app, 1);
  w->Focus(kDispRecordList);
}

void SelectRecord(App& app) {
  Window* w = DisplayControls(app);
  if (!w) return;
  const int row = w->ListSelection(kDispRecordList);
  if (row < 0) return;
  ShowChosenRecord(app, RecordOfRow(app, row));
}

void ShowChosenRecord(App& app, int32_t n) {
  Window* w = DisplayControls(app);
  if (!w) return;
  w->SetText(kDispAttachmentLabel, "");
  w->SetText(kDispStatusText, "");
  w->Show(kDispAttachmentList, false);
  ShowRecord(app, n);
}

}  // namespace tanavo
