#include <memory>
#include <string>
#include <vector>

#include "state/workspace.h"
#include "cli/cli.h"
#include "codec/codec.h"
#include "display/attachment.h"
#include "display/render.h"
#include "export/export.h"
#include "platform/files.h"
#include "platform/new_files.h"

namespace tanavo {

namespace {

constexpr const char* kAttachmentsOption = "--attachments";

// A record number: decimal digits only, within what a record number can be.
bool ParseRecordNumber(const std::string& text, int* n) {
  if (text.empty() || text.size() > 9) return false;
  for (char c : text) {
    if (c < '0' || c > '9') return false;
  }
  *n = std::stoi(text);
  return true;
}

// Tries for a free name in the attachment folder: a name taken on disk gets
// the next " (n)", as a name used twice in the record does.
constexpr int kMaxNameTries = 1000;

// Every attachment of the rendered record, decoded as opening it does, each
// created new in folder under its safe name: nothing there is replaced.
int WriteRecordAttachments(CliContext& ctx, const RenderedRecord& record, OutputFolder& folder) {
  Platform& p = *ctx.platform;
  std::vector<std::string> taken;
  int k = 0;
  for (const ItemAttachment& a : record.attachmentFiles) {
    ++k;
    const std::string bytes = AttachmentBytes(a);
    std::string name;
    bool written = false;
    for (int tries = 0; !written && tries < kMaxNameTries; ++tries) {
      name = SafeAttachmentName(a.name, k, &taken, &p.Files());  // each call adds the name to taken
      bool exists = false;
      written = WriteNewFileIn(folder, NativeFileName(name), bytes, &exists);
      if (!written && !exists) break;
    }
    if (!written) {
      ShowOpenFailure(p, "添付ファイル保存");
      return kExitFailed;
    }
    ctx.err += "attachment " + std::to_string(k) + " " + name + "\n";
  }
  return kExitOk;
}

}  // namespace

// render INDEX N [--attachments DIR]: record N as the data display shows it;
// with DIR, its attachments decoded into DIR (nothing is opened).
int RunRenderCommand(CliContext& ctx) {
  std::vector<std::string> args;
  std::string folder;
  for (std::size_t i = 0; i < ctx.args.size(); ++i) {
    if (ctx.args[i] == kAttachmentsOption) {
      // An empty folder name would mean the current folder.
      if (i + 1 >= ctx.args.size() || ctx.args[i + 1].empty()) return kExitUsage;
      folder = MakeAbsolute(ctx.args[++i]);
    } else {
      args.push_back(ctx.args[i]);
    }
  }
  int n = 0;
  if (args.size() != 2 || !ParseRecordNumber(args[1], &n)) return kExitUsage;
  Workspace ws(*ctx.platform);
  if (LoadIndexForCli(ws, args[0]) != IndexFileStatus::Done) return kExitFailed;
  if (n < 1 || n > ws.index.count) {
    ctx.err += "tanavo-cli: no record " + args[1] + " (the index holds " + std::to_string(ws.index.count) +
               " records)\n";
    return kExitFailed;
  }
  RenderedRecord record = RenderRecord(ws, n);
  if (record.status != RenderStatus::Rendered) {
    ctx.err += "tanavo-cli: record " + args[1] + " was not found at its position in the mobile file\n";
    return kExitFailed;
  }
  // As the data display shows it: in UTF-8 an emoji is its character, in
  // Shift_JIS its mark.
  if (ctx.outForm.encoding == "UTF-8") {
    ctx.outForm.carrier = record.carrier;
    ctx.out = std::move(record.text);
  } else {
    ctx.out = MarkCarrierEmoji(record.text, record.carrier);
  }
  if (folder.empty() || !record.attachments) return kExitOk;
  std::unique_ptr<OutputFolder> into;
  if (ctx.platform->Files().OpenOutputFolder(folder, false, &into) != FolderOpen::Ok) {
    ShowOpenFailure(*ctx.platform, "添付ファイル保存");
    return kExitFailed;
  }
  const int written = WriteRecordAttachments(ctx, record, *into);
  if (written != kExitOk) return written;
  if (record.attachmentsNotKept == 0) return kExitOk;
  ShowWarning(*ctx.platform, NotWrittenAttachments(n, record.attachmentsNotKept));
  return kExitFailed;
}

}  // namespace tanavo
