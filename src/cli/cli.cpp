#include "cli/cli.h"
#include "cli/progress.h"


namespace tanavo {

namespace {

const CliCommand kCommands[] = {
    {"codec", "codec OP      OP: base64-decode | base64-encode | qp-decode | jis-to-sjis | hex-dump",
     RunCodecCommand},
    {"check", "check MOBILE KTA [STEPS]   trial extraction, then n (next) / b (back) per STEPS character",
     RunCheckCommand},
    {"item", "item KTA NAME   decode one Data item from standard input as the data display shows it", RunItemCommand},
    {"index", "index MOBILE KTA KDP OUT   create the index of MOBILE and save it to OUT", RunIndexCommand},
    {"list", "list INDEX   the record list of an index file, one row per record", RunListCommand},
    {"render", "render INDEX N [--attachments DIR]   record N as the data display shows it; attachments into DIR",
     RunRenderCommand},
    {"export", "export INDEX OUTDIR   records, attachments, a TSV table, an HTML report and SHA256SUMS into OUTDIR",
     RunExportCommand},
};

std::string UsageText() {
  std::string u = "usage: tanavo-cli [--utf8] COMMAND ...\n";
  for (const CliCommand& c : kCommands) u += std::string("  tanavo-cli ") + c.usage + "\n";
  return u;
}

}  // namespace

int RunCli(const std::vector<std::string>& argv, bool (*readInput)(std::string*), std::string* out,
           std::string* err) {
  bool utf8 = false;
  std::vector<std::string> args;
  for (const std::string& a : argv) {
    if (a == "--utf8") {
      utf8 = true;
    } else {
      args.push_back(a);
    }
  }
  CliContext ctx;
  int code = kExitUsage;
  const CliCommand* command = nullptr;
  if (!args.empty()) {
    for (const CliCommand& c : kCommands) {
      if (args[0] == c.name) command = &c;
    }
  }
  if (!command) {
    ctx.err = UsageText();
  } else {
    ctx.args.assign(args.begin() + 1, args.end());
    ctx.readInput = readInput;
    ctx.utf8 = utf8;
    AttachLiveStandardError(ctx);
    ConsolePlatform platform(&ctx.err);
    ctx.platform = &platform;
    code = command->run(ctx);
    if (code == kExitUsage) ctx.err += UsageText();
  }
  *out = utf8 ? Cp932ToUtf8(ctx.out) : ctx.out;
  *err = utf8 ? Cp932ToUtf8(ctx.err) : ctx.err;
  return code;
}

}  // namespace tanavo
