#include <string>
#include <vector>

#include "state/workspace.h"
#include "files/mobile_file.h"
#include "cli/cli.h"
#include "dispset/kdp_file.h"
#include "files/display_file.h"
#include "extract/kta_file.h"
#include "files/extraction_file.h"
#include "index/capacity_setting.h"
#include "index/coverage.h"
#include "index/index_creation.h"
#include "index/index_file.h"
#include "platform/files.h"

namespace tanavo {

int LoadIndexForCli(CliContext& ctx, Workspace& ws, const std::string& indexPath) {
  // An index file holds the records someone chose to index: all of them are
  // read, whatever capacity it was made with.
  SetRecordCapacity(ws.index, kAllRecords);
  return AnsweringDialog(*ctx.platform, indexPath, [&] { return LoadIndexFileCommand(ws); });
}

void WriteCoverageFindings(CliContext& ctx, const Coverage& coverage) {
  for (const CoverageFinding& f : coverage.findings) ctx.err += "tanavo-cli: " + CoverageFindingText(f) + "\n";
}

// index [--max-records N|all] MOBILE KTA KDP OUT: the three files loaded as
// their menu commands load them, the index created without the confirmation
// box and saved to OUT; then a line for each coverage finding.
int RunIndexCommand(CliContext& ctx) {
  int32_t capacity = kIndexSlots;
  std::vector<std::string> files;
  for (std::size_t i = 0; i < ctx.args.size(); ++i) {
    if (ctx.args[i] != "--max-records") {
      files.push_back(ctx.args[i]);
    } else if (i + 1 == ctx.args.size() || !ParseRecordCapacity(ctx.args[++i], &capacity)) {
      return kExitUsage;
    }
  }
  if (files.size() != 4) return kExitUsage;
  ctx.args = files;
  ConsolePlatform& platform = *ctx.platform;
  Workspace ws(platform);
  SetRecordCapacity(ws.index, capacity);
  if (!LoadMobileFile(ws, MakeAbsolute(ctx.args[0]))) return kExitFailed;
  if (!AnsweringDialog(platform, ctx.args[1], [&] { return LoadExtractionSettings(ws); })) return kExitFailed;
  if (!AnsweringDialog(platform, ctx.args[2], [&] { return LoadDisplaySettings(ws); })) return kExitFailed;
  const int saved = AnsweringDialog(platform, ctx.args[3], [&] { return CreateAndSaveIndex(ws); });
  WriteCoverageFindings(ctx, ws.coverage);
  return saved == 0 ? kExitOk : kExitFailed;
}

// list INDEX: the record list rows of the data display, one per line.
int RunListCommand(CliContext& ctx) {
  if (ctx.args.size() != 1) return kExitUsage;
  Workspace ws(*ctx.platform);
  const int loaded = LoadIndexForCli(ctx, ws, ctx.args[0]);
  // Rows are listed once the index itself was read, even when a file it names
  // was not.
  for (int32_t n = 1; n <= ws.index.count; ++n) ctx.out += RecordListRow(ws.index, n) + "\n";
  return loaded == 0 ? kExitOk : kExitFailed;
}

}  // namespace tanavo
