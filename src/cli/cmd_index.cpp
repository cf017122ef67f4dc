#include <string>

#include "state/workspace.h"
#include "files/mobile_file.h"
#include "cli/cli.h"
#include "dispset/kdp_file.h"
#include "files/display_file.h"
#include "extract/kta_file.h"
#include "files/extraction_file.h"
#include "index/index_creation.h"
#include "index/index_file.h"
#include "platform/files.h"

namespace tanavo {

int LoadIndexForCli(CliContext& ctx, Workspace& ws, const std::string& indexPath) {
  return AnsweringDialog(*ctx.platform, indexPath, [&] { return LoadIndexFileCommand(ws); });
}

// index MOBILE KTA KDP OUT: the three files loaded as their menu commands load
// them, the index created without the confirmation box and saved to OUT.
int RunIndexCommand(CliContext& ctx) {
  if (ctx.args.size() != 4) return kExitUsage;
  ConsolePlatform& platform = *ctx.platform;
  Workspace ws(platform);
  if (!LoadMobileFile(ws, MakeAbsolute(ctx.args[0]))) return kExitFailed;
  if (!AnsweringDialog(platform, ctx.args[1], [&] { return LoadExtractionSettings(ws); })) return kExitFailed;
  if (!AnsweringDialog(platform, ctx.args[2], [&] { return LoadDisplaySettings(ws); })) return kExitFailed;
  const int saved = AnsweringDialog(platform, ctx.args[3], [&] { return CreateAndSaveIndex(ws); });
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
