// export [--partial] INDEX OUTDIR [--records LIST | --tagged] [--case CASE]:
// the arguments read, the export run, what it tells written.
#include "cli/cmd_export.h"

#include <string>
#include <vector>

#include "cli/cli.h"
#include "cli/progress.h"
#include "export/export_case.h"

namespace tanavo {

namespace {

// The export's findings and progress as tanavo-cli's lines.
class CliExportReporter : public ExportReporter {
 public:
  explicit CliExportReporter(CliContext& ctx) : ctx_(ctx), progress_(ctx) {}
  void CoverageFound(const Coverage& coverage) override { WriteCoverageFindings(ctx_, coverage); }
  void NoSuchRecord(int32_t beyond, int32_t count) override {
    ctx_.err += "tanavo-cli: no record " + std::to_string(beyond) + " (the index holds " + std::to_string(count) +
                " records)\n";
  }
  void Line(const std::string& text) override { progress_.Line(text); }
  void Count(int n, const std::string& counter) override { progress_.Count(n, counter); }

 private:
  CliContext& ctx_;
  CliProgress progress_;
};

}  // namespace

int ExportIndex(CliContext& ctx, const std::string& indexPath, const std::string& outDir, ExportTimes* times,
                const RecordChoice& choice, bool partial, const std::string& casePath, bool tagged) {
  ExportRequest request;
  request.indexPath = indexPath;
  request.outDir = outDir;
  request.choice = choice;
  request.partial = partial;
  request.casePath = casePath;
  request.tagged = tagged;
  CliExportReporter reporter(ctx);
  const ExportSummary summary = RunExport(*ctx.platform, ctx.platform->Files(), request, &reporter);
  if (times) *times = summary.times;
  if (summary.times.files > 0) reporter.Line(ExportDoneText(summary.times));
  return summary.status == ExportStatus::Written ? kExitOk : kExitFailed;
}

int RunExportCommand(CliContext& ctx) {
  std::vector<std::string> args;
  RecordChoice choice;
  bool chosen = false;
  bool partial = false;
  bool tagged = false;
  std::string casePath;
  for (std::size_t i = 0; i < ctx.args.size(); ++i) {
    if (ctx.args[i] == "--partial") {
      partial = true;
      continue;
    }
    if (ctx.args[i] == kTaggedOption) {
      tagged = true;
      continue;
    }
    if (ctx.args[i] == kCaseOption) {
      if (!casePath.empty() || i + 1 >= ctx.args.size() || ctx.args[i + 1].empty()) {
        ctx.err += std::string("tanavo-cli: ") + kCaseOption + ": needs one case file\n";
        return kExitUsage;
      }
      casePath = ctx.args[++i];
      continue;
    }
    if (ctx.args[i] != kRecordsOption) {
      args.push_back(ctx.args[i]);
      continue;
    }
    std::string why;
    if (chosen) {
      why = "given twice";
    } else if (i + 1 >= ctx.args.size()) {
      why = "needs a list such as 1-100,250,300-";
    } else if (RecordChoice::Parse(ctx.args[++i], &choice, &why)) {
      chosen = true;
      continue;
    }
    ctx.err += std::string("tanavo-cli: ") + kRecordsOption + ": " + why + "\n";
    return kExitUsage;
  }
  if (args.size() != 2) return kExitUsage;
  if (tagged && (casePath.empty() || chosen)) {
    ctx.err += std::string("tanavo-cli: ") + kTaggedOption + ": needs " + kCaseOption + " CASE and no " +
               kRecordsOption + "\n";
    return kExitUsage;
  }
  FileSystem& fs = ctx.platform->Files();
  return ExportIndex(ctx, fs.AbsolutePath(args[0]), fs.AbsolutePath(args[1]), nullptr, choice, partial,
                     casePath.empty() ? std::string() : fs.AbsolutePath(casePath), tagged);
}

}  // namespace tanavo
