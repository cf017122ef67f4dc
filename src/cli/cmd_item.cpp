#include <string>

#include "cli/cli.h"
#include "display/attachment.h"
#include "state/workspace.h"
#include "display/item_decoder.h"
#include "text/bytes.h"
#include "extract/kta_file.h"
#include "files/extraction_file.h"
#include "extract/settings.h"
#include "platform/files.h"

namespace tanavo {

namespace {

// The first used Data entry with that name, or -1.
int FindDataEntry(const ExtractionSettings& s, const std::string& name) {
  const int used = UsedCount(s);
  for (int i = 0; i < used; ++i) {
    const TagDefinition& e = s.entries[static_cast<std::size_t>(i)];
    if (e.kind == EntryKind::Data && e.name == name) return i;
  }
  return -1;
}

// One report line per attachment: line breaks in a name become spaces.
std::string OneLine(const std::string& text) {
  std::string line = ReplaceAll(text, "\r\n", " ");
  for (char& c : line) {
    if (c == '\r' || c == '\n') c = ' ';
  }
  return line;
}

}  // namespace

// item KTA NAME: decodes one Data item read from standard input as the data
// display would fill its placeholder; attachments are listed on stderr.
int RunItemCommand(CliContext& ctx) {
  if (ctx.args.size() != 2) return kExitUsage;
  ConsolePlatform& platform = *ctx.platform;
  Workspace ws(platform);

  // A warning while loading (entries past the table) is no refusal: the
  // loader says whether it took the file.
  if (LoadExtractionFile(ws, ws.files.AbsolutePath(ctx.args[0])) != FileLoad::Loaded) return kExitFailed;

  const std::string& name = ctx.args[1];
  const int entry = FindDataEntry(ws.extraction, name);
  if (entry < 0) {
    ctx.err += "tanavo-cli: no Data entry named " + name + " in " + ctx.args[0] + "\n";
    return kExitUsage;
  }
  if (!ReadCommandInput(ctx)) return kExitFailed;

  // Recorded and warned about as the data display lists them.
  DecodedItem item = DecodeItem(ws, entry, ctx.input, {[&](const DecodedItem& found) {
                                  WarnAttachmentsLeftOut(platform, found, RecordItemAttachments(ws.attachments, found));
                                }});
  if (item.multipart) {
    // A fresh table: every slot up to count was written by this item.
    for (int slot = 1; slot <= ws.attachments.count && slot <= kAttachmentSlots; ++slot) {
      ctx.err += "attachment " + std::to_string(slot) + " " +
                 OneLine(ws.attachments.names[static_cast<std::size_t>(slot)]) + "\n";
    }
  }
  ctx.out = std::move(item.text);
  return kExitOk;
}

}  // namespace tanavo
