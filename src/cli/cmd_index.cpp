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

namespace tanavo {

IndexFileStatus LoadIndexForCli(Workspace& ws, const std::string& indexPath) {
  // An index file holds the records someone chose to index: all of them are
  // read, whatever capacity it was made with.
  SetRecordCapacity(ws.index, kAllRecords);
  return LoadIndexFile(ws, ws.files.AbsolutePath(indexPath));
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
  Workspace ws(*ctx.platform);
  FileSystem& fs = ws.files;
  SetRecordCapacity(ws.index, capacity);
  if (!LoadMobileFile(ws, fs.AbsolutePath(ctx.args[0]))) return kExitFailed;
  if (LoadExtractionFile(ws, fs.AbsolutePath(ctx.args[1])) != FileLoad::Loaded) return kExitFailed;
  if (LoadDisplayFile(ws, fs.AbsolutePath(ctx.args[2])) != FileLoad::Loaded) return kExitFailed;
  const IndexFileStatus saved = CreateAndSaveIndexTo(ws, fs.AbsolutePath(ctx.args[3]));
  WriteCoverageFindings(ctx, ws.coverage);
  return saved == IndexFileStatus::Done ? kExitOk : kExitFailed;
}

// list INDEX: the record list rows of the data display, one per line.
int RunListCommand(CliContext& ctx) {
  if (ctx.args.size() != 1) return kExitUsage;
  Workspace ws(*ctx.platform);
  const IndexFileStatus loaded = LoadIndexForCli(ws, ctx.args[0]);
  // Rows are listed once the index itself was read, even when a file it names
  // was not.
  for (int32_t n = 1; n <= ws.index.count; ++n) ctx.out += RecordListRow(ws.index, n) + "\n";
  return loaded == IndexFileStatus::Done ? kExitOk : kExitFailed;
}

}  // namespace tanavo
