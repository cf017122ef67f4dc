#include <string>

#include "cli/cli.h"
#include "codec/codec.h"

namespace tanavo {

int RunCodecCommand(CliContext& ctx) {
  if (ctx.args.size() != 1) return kExitUsage;
  const std::string& op = ctx.args[0];
  std::string (*codec)(std::string_view) = nullptr;
  if (op == "base64-decode") codec = DecodeBase64;
  if (op == "base64-encode") codec = EncodeBase64;
  if (op == "qp-decode") codec = DecodeQuotedPrintableLoose;
  if (op == "jis-to-sjis") codec = JisToShiftJisLoose;
  if (op == "hex-dump") codec = HexDump;
  if (!codec) {
    ctx.err += "tanavo-cli: unknown codec " + op + "\n";
    return kExitUsage;
  }
  if (!ReadCommandInput(ctx)) return kExitFailed;
  ctx.out = codec(ctx.input);
  return kExitOk;
}

}  // namespace tanavo
