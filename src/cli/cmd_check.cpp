#include <string>

#include "app/app.h"
#include "app/mobile_file.h"
#include "cli/cli.h"
#include "check/result_window.h"
#include "check/trial_extraction.h"
#include "extract/kta_file.h"
#include "platform/files.h"

namespace tanavo {

namespace {
constexpr char kStepNext = 'n';
constexpr char kStepBack = 'b';
}  // namespace

// check MOBILE KTA [STEPS]: the settings check, then "次へ" (n) and "戻る" (b)
// one per character; prints what the result window shows at the end.
int RunCheckCommand(CliContext& ctx) {
  if (ctx.args.size() < 2 || ctx.args.size() > 3) return kExitUsage;
  const std::string steps = ctx.args.size() == 3 ? ctx.args[2] : std::string();
  for (char c : steps) {
    if (c != kStepNext && c != kStepBack) {
      ctx.err += "tanavo-cli: unknown step in " + steps + " (n: next, b: back)\n";
      return kExitUsage;
    }
  }
  ConsolePlatform& platform = *ctx.platform;
  App app(platform);
  app.Start();
  if (!LoadMobileFile(app, MakeAbsolute(ctx.args[0]))) return kExitFailed;

  // A loaded file is recorded in the application state; a failed open leaves
  // it as the fresh App had it (empty).
  platform.dialogPaths.clear();
  platform.dialogPaths.push_back(MakeAbsolute(ctx.args[1]));
  LoadExtractionSettings(app);
  platform.dialogPaths.clear();
  const PathParts& loaded = app.state.extractionFilePath;
  if (loaded.folder.empty() && loaded.baseName.empty() && loaded.extension.empty()) return kExitFailed;

  TrialExtraction(app);
  if (app.state.mobileFile.empty()) return kExitFailed;  // an empty file counts as none: warned above
  for (char c : steps) {
    if (c == kStepNext) NextRecord(app);
    if (c == kStepBack) PreviousRecord(app);
  }
  Window* w = app.resultWindow ? app.resultWindow->window : nullptr;
  if (w) ctx.out = w->Text(kResultTextView);
  return kExitOk;
}

}  // namespace tanavo
