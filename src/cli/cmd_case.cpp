// The case file on the command line: case builds it from an index, search
// asks it, tag and tags keep the examiner's marks in it.
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "case/case_build.h"
#include "case/case_evidence.h"
#include "case/case_file.h"
#include "case/case_search.h"
#include "case/case_tags.h"
#include "case/record_time.h"
#include "case/search_tokens.h"
#include "export/case_open.h"
#include "cli/cli.h"
#include "export/export_report.h"
#include "cli/progress.h"
#include "platform/charset.h"
#include "state/workspace.h"
#include "text/path.h"

namespace tanavo {

namespace {

// An argument as UTF-8: taken as it is when it is UTF-8 (a POSIX shell), as
// Shift_JIS otherwise (the Windows command line, --sjis).
std::string ArgumentUtf8(const std::string& arg) {
  return ValidUtf8(arg) == arg ? arg : SearchTextFromShiftJis(arg);
}

// UTF-8 kept in the case (a tag's label) as the program's Shift_JIS bytes,
// on one line.
std::string OneLineShiftJis(const std::string& utf8) {
  CharsetResult r;
  std::string text = SystemCharsetConverter().ToShiftJis("UTF-8", utf8, &r) ? r.text : utf8;
  for (char& c : text) {
    if (c == '\t' || c == '\r' || c == '\n') c = ' ';
  }
  return text;
}

bool ParseNumber(const std::string& text, int* n) {
  if (text.empty() || text.size() > 9) return false;
  for (char c : text) {
    if (c < '0' || c > '9') return false;
  }
  *n = std::stoi(text);
  return true;
}

}  // namespace

// case INDEX CASE [--zone +HH:MM]
int RunCaseCommand(CliContext& ctx) {
  std::vector<std::string> args;
  int zone = 9 * 60;
  for (std::size_t i = 0; i < ctx.args.size(); ++i) {
    if (ctx.args[i] == "--zone") {
      if (i + 1 >= ctx.args.size() || !ParseOffset(ctx.args[i + 1], &zone)) return kExitUsage;
      ++i;
    } else {
      args.push_back(ctx.args[i]);
    }
  }
  if (args.size() != 2 || args[1].empty()) return kExitUsage;
  const std::string indexPath = MakeAbsolute(args[0]);
  const std::string casePath = MakeAbsolute(args[1]);
  Workspace ws(*ctx.platform);
  if (LoadIndexForCli(ws, indexPath) != IndexFileStatus::Done) return kExitFailed;
  CaseBuildInput input;
  input.assumedOffsetMinutes = zone;
  if (!WorkspaceEvidence(ws, indexPath, ctx.platform->Files().PathSeparator(), &input.evidence)) {
    CaseBox(*ctx.platform, "SHA-256 を計算できません!!");
    return kExitFailed;
  }
  std::unique_ptr<CaseFile> c;
  if (!OpenCase(*ctx.platform, casePath, true, &c)) return kExitFailed;
  if (!c->Intact()) {
    CaseBox(*ctx.platform, "ケースファイルが壊れています!!\r\n" + casePath);
    return kExitFailed;
  }
  CliProgress progress(ctx);
  progress.Line("ケース: " + std::to_string(ws.index.count) + "件のレコードを読みます");
  input.progress = [&](int32_t n, int32_t count) {
    progress.Count(n, "ケース: " + std::to_string(n) + "/" + std::to_string(count) + "件目");
  };
  const CaseBuildResult r = BuildCase(*c, ws, input);
  switch (r.status) {
    case CaseBuildStatus::Built: break;
    case CaseBuildStatus::OtherEvidence:
      CaseBox(*ctx.platform, "このケースファイルは別のインデックスから作成されています!!\r\n" + casePath);
      return kExitFailed;
    case CaseBuildStatus::Busy:
      CaseBox(*ctx.platform, "ケースファイルは他のプログラムが使用中です!!\r\n" + casePath);
      return kExitFailed;
    case CaseBuildStatus::Failed:
      CaseBox(*ctx.platform, "ケースファイルに書き込めません!!\r\n" + casePath + "\r\n" + r.error);
      return kExitFailed;
  }
  progress.Line("ケース作成終了: " + std::to_string(r.records) + "件 (時刻なし " + std::to_string(r.withoutTime) +
                "件、時間帯を " + OffsetText(zone) + " と仮定 " + std::to_string(r.zoneAssumed) + "件)");
  if (r.notFound > 0) {
    ShowWarning(*ctx.platform,
                std::to_string(r.notFound) + "件のレコードが携帯ファイルの記録位置に見つかりませんでした!!");
    return kExitFailed;
  }
  return kExitOk;
}

// search CASE QUERY [--json] [--sort time]
int RunSearchCommand(CliContext& ctx) {
  std::vector<std::string> args;
  bool json = false;
  SearchOrder order = SearchOrder::Number;
  for (std::size_t i = 0; i < ctx.args.size(); ++i) {
    if (ctx.args[i] == "--json") {
      json = true;
    } else if (ctx.args[i] == "--sort") {
      if (i + 1 >= ctx.args.size()) return kExitUsage;
      const std::string& by = ctx.args[++i];
      if (by != "time" && by != "number") return kExitUsage;
      order = by == "time" ? SearchOrder::Time : SearchOrder::Number;
    } else {
      args.push_back(ctx.args[i]);
    }
  }
  if (args.size() != 2) return kExitUsage;
  std::unique_ptr<CaseFile> c;
  if (!OpenBuiltCase(*ctx.platform, MakeAbsolute(args[0]), &c)) return kExitFailed;
  const SearchResult r = SearchCase(*c, ArgumentUtf8(args[1]), json, order);
  if (r.status == SearchStatus::BadQuery) {
    ctx.err += "tanavo-cli: " + r.error + "\n";
    return kExitUsage;
  }
  if (r.status != SearchStatus::Ok) {
    CaseBox(*ctx.platform, "ケースファイルを読めません!!\r\n" + r.error);
    return kExitFailed;
  }
  for (const SearchHit& h : r.hits) {
    const std::string offset = HexOffset(static_cast<int32_t>(h.offset + 1));
    if (!json) {
      ctx.out += std::to_string(h.number) + "\t" + offset + "\t" + h.listLine + "\n";
      continue;
    }
    std::string line = "{\"record\":" + std::to_string(h.number) + ",\"offset\":\"" + offset +
                       "\",\"length\":" + std::to_string(h.length) +
                       ",\"list\":" + JsonString(SearchTextFromShiftJis(h.listLine)) +
                       ",\"time\":" + (h.time.empty() ? std::string("null") : JsonString(h.time)) +
                       ",\"zone_assumed\":" + (h.zoneAssumed ? "true" : "false") + ",\"found\":[";
    for (std::size_t i = 0; i < h.places.size(); ++i) {
      const HitPlace& p = h.places[i];
      if (i > 0) line += ",";
      line += "{\"term\":" + JsonString(p.term) + ",\"entry\":" + JsonString(SearchTextFromShiftJis(p.entry)) +
              ",\"value\":" + std::to_string(p.occurrence) + ",\"position\":" + std::to_string(p.position) +
              ",\"excerpt\":" + JsonString(p.excerpt) + "}";
    }
    ctx.out += line + "]}\n";
  }
  ctx.platform->Note("検索: " + std::to_string(r.hits.size()) + "件");
  return kExitOk;
}

// tag CASE N LABEL [--note TEXT]
int RunTagCommand(CliContext& ctx) {
  std::vector<std::string> args;
  std::string note;
  for (std::size_t i = 0; i < ctx.args.size(); ++i) {
    if (ctx.args[i] == "--note") {
      if (i + 1 >= ctx.args.size()) return kExitUsage;
      note = ctx.args[++i];
    } else {
      args.push_back(ctx.args[i]);
    }
  }
  int n = 0;
  if (args.size() != 3 || !ParseNumber(args[1], &n) || args[2].empty()) return kExitUsage;
  std::unique_ptr<CaseFile> c;
  const std::string path = MakeAbsolute(args[0]);
  if (!OpenBuiltCase(*ctx.platform, path, &c)) return kExitFailed;
  switch (AddTag(*c, n, ArgumentUtf8(args[2]), ArgumentUtf8(note))) {
    case TagStatus::Saved: return kExitOk;
    case TagStatus::NoRecord: ctx.err += "tanavo-cli: no record " + args[1] + " in the case\n"; return kExitFailed;
    case TagStatus::TooLong:
      ctx.err += "tanavo-cli: a label holds at most " + std::to_string(kMaxTagLabelBytes) + " bytes, a note " +
                 std::to_string(kMaxTagNoteBytes) + "\n";
      return kExitUsage;
    case TagStatus::Busy: CaseBox(*ctx.platform, "ケースファイルは他のプログラムが使用中です!!\r\n" + path); return kExitFailed;
    case TagStatus::Failed: CaseBox(*ctx.platform, "ケースファイルに書き込めません!!\r\n" + path + "\r\n" + c->LastError()); return kExitFailed;
  }
  return kExitFailed;
}

// tags CASE: one line per tag: number, offset, label, note, list line.
int RunTagsCommand(CliContext& ctx) {
  if (ctx.args.size() != 1) return kExitUsage;
  std::unique_ptr<CaseFile> c;
  if (!OpenBuiltCase(*ctx.platform, MakeAbsolute(ctx.args[0]), &c)) return kExitFailed;
  std::vector<CaseTag> tags;
  if (!ListTags(*c, &tags)) {
    CaseBox(*ctx.platform, "ケースファイルを読めません!!\r\n" + c->LastError());
    return kExitFailed;
  }
  for (const CaseTag& t : tags) {
    ctx.out += std::to_string(t.record) + "\t" + HexOffset(static_cast<int32_t>(t.offset + 1)) + "\t" +
               OneLineShiftJis(t.label) + "\t" + OneLineShiftJis(t.note) + "\t" + t.listLine + "\n";
  }
  return kExitOk;
}

}  // namespace tanavo
