#include <string>

#include "state/workspace.h"
#include "files/mobile_file.h"
#include "cli/cli.h"
#include "check/trial_extraction.h"
#include "extract/kta_file.h"
#include "files/extraction_file.h"
#include "platform/files.h"

namespace tanavo {

namespace {
constexpr char kStepNext = 'n';
constexpr char kStepBack = 'b';
}  // namespace

// check MOBILE KTA [STEPS]: the settings check, then "次へ" (n) and "戻る" (b)
// one per character; prints the result text on display at the end.
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
  Workspace ws(platform);
  if (!LoadMobileFile(ws, MakeAbsolute(ctx.args[0]))) return kExitFailed;

  if (LoadExtractionFile(ws, ws.files.AbsolutePath(ctx.args[1])) != FileLoad::Loaded) return kExitFailed;

  // Every step runs, as presses of the window's buttons would, whatever the
  // ones before it did; any that failed or was refused makes the exit 1.
  bool failed = false;
  std::string shown;  // the text the window would show: a refused step leaves it
  auto run = [&](TrialStep step) {
    TrialResult r = RunTrialStep(ws, step);
    if (r.status == TrialStatus::Refused) ShowWarning(platform, TrialRefusalText(r.refusal));
    if (r.status != TrialStatus::Refused) shown = std::move(r.text);
    if (r.cut) TrialBoxes(platform).Warn(TrialWarning::ResultCut);
    failed |= r.status != TrialStatus::Shown;
  };
  run(TrialStep::Check);
  for (char c : steps) run(c == kStepNext ? TrialStep::Next : TrialStep::Previous);
  // The whole text, NUL bytes included, which the view itself does not show.
  ctx.out = std::move(shown);
  return failed ? kExitFailed : kExitOk;
}

}  // namespace tanavo
