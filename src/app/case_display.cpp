#include "app/case_display.h"

#include <algorithm>

#include "app/app.h"
#include "app/data_display.h"
#include "app/display_window.h"
#include "app/tag_window.h"
#include "case/case_build.h"
#include "case/case_evidence.h"
#include "case/search_tokens.h"
#include "display/list_row.h"
#include "platform/progress_throttle.h"
#include "state/record_index.h"

namespace tanavo {

namespace {

constexpr const char* kCaseCaption = "ケースファイル";
constexpr const char* kTagMark = "★";

Window* Display(App& app) { return app.displayWindow ? app.displayWindow->window : nullptr; }

void CaseBox(App& app, const std::string& text) {
  app.platform.MessageBox(BoxOwner::Main, text, kCaseCaption, BoxIcon::Warning);
}

// The case is not used for the rest of this index: the box says why, and
// says it again whenever the case is asked for.
void Refuse(App& app, const std::string& text) {
  CaseSession& s = app.caseSession;
  s.file.reset();
  s.refused = true;
  s.refusal = text;
  CaseBox(app, text);
}

void LoadTagged(App& app) {
  CaseSession& s = app.caseSession;
  s.tagged.assign(static_cast<std::size_t>(std::max<int32_t>(app.index.count, 0)) + 1, 0);
  std::vector<std::int32_t> numbers;
  if (!s.file || !TaggedRecords(*s.file, &numbers)) return;
  for (std::int32_t n : numbers) {
    if (n > 0 && static_cast<std::size_t>(n) < s.tagged.size()) s.tagged[static_cast<std::size_t>(n)] = 1;
  }
}

// The case was built from the files now loaded: each evidence file's
// SHA-256 against the one the loaded data gives.
bool SameEvidence(App& app, CaseFile& c) {
  std::vector<CaseEvidence> now;
  const char sep = app.files.PathSeparator();
  if (!WorkspaceEvidence(app, OpenablePath(app.state.indexFilePath, sep), sep, &now)) {
    Refuse(app, "SHA-256 を計算できないため、ケースファイルを照合できません!!\r\n" + app.caseSession.path);
    return false;
  }
  for (const CaseEvidence& built : c.Evidence()) {
    for (const CaseEvidence& e : now) {
      if (e.role != built.role || e.sha256 == built.sha256) continue;
      if (e.role == "index") {
        Refuse(app, "このケースファイルは別のインデックスから作成されています!!\r\n" + app.caseSession.path +
                        "\r\n検索とタグを使うには、このケースファイルを移すか名前を変えてください。");
      } else {
        Refuse(app, "ケースファイルの作成後に証拠ファイルが変更されています!!\r\n" + built.path +
                        "\r\nこのケースファイルは使いません。");
      }
      return false;
    }
  }
  return true;
}

// Opens the case at the session's path; false after the box (refused) or
// when there is none to open (nothing said).
bool OpenExisting(App& app, bool create, std::unique_ptr<CaseFile>* c) {
  const std::string& path = app.caseSession.path;
  switch (CaseFile::Open(path, create, c)) {
    case CaseOpenStatus::Ok: return true;
    case CaseOpenStatus::NotFound: return false;
    case CaseOpenStatus::NotACase: Refuse(app, "ケースファイルではありません!!\r\n" + path); return false;
    case CaseOpenStatus::Damaged: Refuse(app, "ケースファイルが壊れています!!\r\n" + path); return false;
    case CaseOpenStatus::CannotOpen: CaseBox(app, "ケースファイルを開けません!!\r\n" + path); return false;
  }
  return false;
}

bool BuildNow(App& app) {
  CaseSession& s = app.caseSession;
  CaseBuildInput input;
  const char sep = app.files.PathSeparator();
  if (!WorkspaceEvidence(app, OpenablePath(app.state.indexFilePath, sep), sep, &input.evidence)) {
    CaseBox(app, "SHA-256 を計算できません!!");
    return false;
  }
  std::unique_ptr<CaseFile> c;
  if (!OpenExisting(app, true, &c)) return false;
  if (!c->Intact()) {
    Refuse(app, "ケースファイルが壊れています!!\r\n" + s.path);
    return false;
  }
  Platform& p = app.platform;
  p.SetStatusText(kOperationPart, "ケース作成中");
  ProgressThrottle progress([&p](const std::string& t) { p.SetStatusText(kProgressPart, t); });
  input.progress = [&](int32_t n, int32_t count) {
    progress.Update(std::to_string(n) + "/" + std::to_string(count) + "件目");
  };
  const CaseBuildResult r = BuildCase(*c, app, input);
  progress.Flush();
  p.SetStatusText(kProgressPart, "");
  p.SetStatusText(kOperationPart, "");
  switch (r.status) {
    case CaseBuildStatus::Built: break;
    case CaseBuildStatus::OtherEvidence:
      Refuse(app, "このケースファイルは別のインデックスから作成されています!!\r\n" + s.path +
                      "\r\n検索とタグを使うには、このケースファイルを移すか名前を変えてください。");
      return false;
    case CaseBuildStatus::Busy: CaseBox(app, "ケースファイルは他のプログラムが使用中です!!\r\n" + s.path); return false;
    case CaseBuildStatus::Failed:
      CaseBox(app, "ケースファイルに書き込めません!!\r\n" + s.path + "\r\n" + ShiftJisOfUtf8(r.error));
      return false;
  }
  if (r.notFound > 0) {
    ShowWarning(p, std::to_string(r.notFound) + "件のレコードが携帯ファイルの記録位置に見つかりませんでした!!");
  }
  s.file = std::move(c);
  LoadTagged(app);
  return true;
}

// Spaces (the ideographic one too) around the query are no part of it.
std::string TrimmedQuery(const std::string& sjis) {
  std::size_t from = 0, to = sjis.size();
  for (;;) {
    if (from < to && (sjis[from] == ' ' || sjis[from] == '\t')) ++from;
    else if (to - from >= 2 && sjis.compare(from, 2, "\x81\x40") == 0) from += 2;
    else break;
  }
  for (;;) {
    if (to > from && (sjis[to - 1] == ' ' || sjis[to - 1] == '\t')) --to;
    else if (to - from >= 2 && sjis.compare(to - 2, 2, "\x81\x40") == 0) to -= 2;
    else break;
  }
  return sjis.substr(from, to - from);
}

const char* SortName(RecordSort sort) {
  switch (sort) {
    case RecordSort::Sender: return "差出人";
    case RecordSort::Subject: return "件名";
    default: return "";
  }
}

// The row of the record on display in the list as it now is; -1 when the
// list leaves it out.
int RowOfShown(App& app) {
  const CaseSession& s = app.caseSession;
  if (s.shown <= 0) return -1;
  if (s.view.Active()) return RowOfRecord(s.order, s.shown);
  Window* w = Display(app);
  return w && s.shown <= w->ListCount(kDispRecordList) ? s.shown - 1 : -1;
}

void ShowViewState(App& app) {
  Window* w = Display(app);
  if (!w) return;
  const CaseSession& s = app.caseSession;
  const bool filters = s.view.Filters();
  for (int id : {kDispHitCount, kDispPreviousHit, kDispNextHit, kDispAllRecords}) w->Show(id, filters);
  const std::string count = std::to_string(s.order.size()) + "件";
  w->SetText(kDispHitCount, !filters ? "" : s.view.queryUtf8.empty() ? "タグ " + count : "ヒット " + count);
  w->SetText(kDispSortButton, SortCaption(s.view.sort));
  w->SetChecked(kDispTaggedOnly, s.view.taggedOnly);
}

enum class Selection { FirstHit, Kept };

// Lists the records of view; false (the list as it was) after a box.
bool ApplyView(App& app, RecordView view, Selection selection) {
  CaseSession& s = app.caseSession;
  std::vector<std::int32_t> order;
  if (view.Active()) {
    RecordOrder o = OrderRecords(*s.file, view);
    switch (o.status) {
      case OrderStatus::Ok: break;
      case OrderStatus::BadQuery:
        CaseBox(app, "検索式が正しくありません!!\r\n" + ShiftJisOfUtf8(o.error));
        return false;
      case OrderStatus::NoSortEntry:
        ShowWarning(app.platform, std::string(SortName(view.sort)) + "のDataがないため、番号順に並べます!!");
        view.sort = RecordSort::Number;
        break;
      case OrderStatus::Failed: CaseBox(app, "ケースファイルを読めません!!\r\n" + ShiftJisOfUtf8(o.error)); return false;
    }
    if (view.Active()) order = std::move(o.numbers);
  }
  s.view = view;
  s.order = std::move(order);
  ShowRecordRows(app);
  ShowViewState(app);
  Window* w = Display(app);
  if (!w) return true;
  const int kept = RowOfShown(app);
  if (selection == Selection::Kept && kept >= 0) {
    w->ListSelect(kDispRecordList, kept);
  } else if (w->ListCount(kDispRecordList) > 0 && (selection == Selection::FirstHit || s.view.Filters())) {
    w->ListSelect(kDispRecordList, 0);
    ShowChosenRecord(app, RecordOfRow(app, 0));
  }
  w->Focus(kDispRecordList);
  return true;
}

}  // namespace

const char* SortCaption(RecordSort sort) {
  switch (sort) {
    case RecordSort::Number: return "番号順";
    case RecordSort::Time: return "時刻順";
    case RecordSort::Sender: return "差出人順";
    case RecordSort::Subject: return "件名順";
  }
  return "番号順";
}

void CaseIndexReplaced(App& app) {
  CaseSession& s = app.caseSession;
  s.file.reset();
  s.refused = false;
  s.refusal.clear();
  s.view = RecordView();
  s.order.clear();
  s.tagged.clear();
  s.shown = 0;
  s.path.clear();
  if (app.state.indexFilePath.baseName.empty() || app.index.count <= 0) return;
  s.path = CasePathOfIndex(app.state.indexFilePath, app.files.PathSeparator());
  std::unique_ptr<CaseFile> c;
  if (!OpenExisting(app, false, &c)) return;
  if (!c->Intact()) {
    Refuse(app, "ケースファイルが壊れています!!\r\n" + s.path);
    return;
  }
  // An unfinished build (a program stopped while it made it) is made again
  // when the case is first used; its tags are kept.
  if (!c->Built() || !SameEvidence(app, *c)) return;
  s.file = std::move(c);
  LoadTagged(app);
}

bool CaseReady(App& app) {
  CaseSession& s = app.caseSession;
  if (s.file) return true;
  if (s.refused) {
    CaseBox(app, s.refusal);
    return false;
  }
  if (s.path.empty()) {
    ShowWarning(app.platform, "インデックスファイルを保存するか読み込んでください!!");
    return false;
  }
  return BuildNow(app);
}

std::int32_t RecordOfRow(const App& app, int row) {
  const CaseSession& s = app.caseSession;
  if (!s.view.Active()) return row + 1;
  return row >= 0 && static_cast<std::size_t>(row) < s.order.size() ? s.order[static_cast<std::size_t>(row)] : 0;
}

void ShowRecordRows(App& app) {
  Window* w = Display(app);
  if (!w) return;
  const RecordIndex& index = app.index;
  const CaseSession& s = app.caseSession;
  // The list asks for the rows it shows: a million records open at once.
  // The index may be replaced while the list shows it; a row past its end
  // reads as its number alone until the list is filled again.
  const int32_t rows =
      s.view.Active()
          ? static_cast<int32_t>(s.order.size())
          : static_cast<int32_t>(std::min<std::size_t>(static_cast<std::size_t>(std::max<int32_t>(index.count, 0)),
                                                       std::max<std::size_t>(index.lines.size(), 1) - 1));
  w->ListSetRowSource(kDispRecordList, rows, [&app](int row) {
    const std::int32_t n = RecordOfRow(app, row);
    const std::vector<char>& tagged = app.caseSession.tagged;
    const bool mark = n > 0 && static_cast<std::size_t>(n) < tagged.size() && tagged[static_cast<std::size_t>(n)];
    return (mark ? std::string(kTagMark) : std::string()) + MarkedRecordListRow(app, n);
  });
}

void ShowCaseControls(App& app, bool shown) {
  Window* w = Display(app);
  if (!w) return;
  for (int id : {kDispSearchEdit, kDispSearchButton, kDispSortButton, kDispTagButton, kDispTaggedOnly}) {
    w->Show(id, shown);
  }
  for (int id : {kDispHitCount, kDispPreviousHit, kDispNextHit, kDispAllRecords}) w->Show(id, false);
  if (!shown) return;
  // Each opening of the data display starts from all records in order.
  CaseSession& s = app.caseSession;
  s.view = RecordView();
  s.order.clear();
  w->SetTextLimit(kDispSearchEdit, kSearchEditBytes);
  ShowViewState(app);
}

void SearchRecords(App& app) {
  Window* w = Display(app);
  if (!w) return;
  const std::string query = TrimmedQuery(w->Text(kDispSearchEdit));
  CaseSession& s = app.caseSession;
  RecordView view = s.view;
  view.queryUtf8 = query.empty() ? std::string() : SearchTextFromShiftJis(query);
  if (view.Active() && !CaseReady(app)) return;
  ApplyView(app, view, query.empty() ? Selection::Kept : Selection::FirstHit);
}

void StepHit(App& app, int step) {
  Window* w = Display(app);
  if (!w) return;
  const int row = StepRow(w->ListSelection(kDispRecordList), w->ListCount(kDispRecordList), step);
  if (row < 0) return;
  w->ListSelect(kDispRecordList, row);
  ShowChosenRecord(app, RecordOfRow(app, row));
  w->Focus(kDispRecordList);
}

void ShowAllRecords(App& app) {
  // The field would otherwise show a query no longer in force.
  if (Window* w = Display(app)) w->SetText(kDispSearchEdit, "");
  RecordView view = app.caseSession.view;
  view.queryUtf8.clear();
  view.taggedOnly = false;
  ApplyView(app, view, Selection::Kept);
}

void NextSort(App& app) {
  RecordView view = app.caseSession.view;
  view.sort = NextRecordSort(view.sort);
  if (view.Active() && !CaseReady(app)) return;
  ApplyView(app, view, Selection::Kept);
}

void FilterTagged(App& app) {
  Window* w = Display(app);
  if (!w) return;
  RecordView view = app.caseSession.view;
  view.taggedOnly = w->IsChecked(kDispTaggedOnly);
  if ((view.Active() && !CaseReady(app)) || !ApplyView(app, view, Selection::Kept)) {
    w->SetChecked(kDispTaggedOnly, app.caseSession.view.taggedOnly);
  }
}

void OpenTags(App& app) {
  if (!CaseReady(app)) return;
  if (app.caseSession.shown <= 0) {
    ShowWarning(app.platform, "レコードを選んでください!!");
    return;
  }
  if (app.tagWindow) app.tagWindow->ShowFor(app.caseSession.shown);
}

void TagsChanged(App& app) {
  LoadTagged(app);
  CaseSession& s = app.caseSession;
  if (s.view.taggedOnly && s.file) {
    ApplyView(app, s.view, Selection::Kept);
    return;
  }
  // The rows are asked for again, with their marks; the selection stays.
  Window* w = Display(app);
  if (!w || !w->IsVisible()) return;
  const int row = w->ListSelection(kDispRecordList);
  ShowRecordRows(app);
  if (row >= 0) w->ListSelect(kDispRecordList, row);
}

}  // namespace tanavo
