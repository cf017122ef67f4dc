// tanavo-cli: the command-line companion, running the core on the console
// back end. Each command reads its arguments and writes its output bytes.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "platform/console/console_platform.h"
#include "platform/console/utf8.h"

namespace tanavo {

constexpr int kExitOk = 0;
constexpr int kExitFailed = 1;  // ran but failed or was refused
constexpr int kExitUsage = 2;

struct CliContext {
  bool utf8 = false;  // --utf8: standard output and error converted to UTF-8
  // Standard error written at once (progress of long commands) when
  // tanavo-cli runs as a program, and whether it is a terminal; see
  // cli/progress.h.
  void (*writeErrNow)(const std::string&) = nullptr;
  bool errIsTerminal = false;
  std::vector<std::string> args;  // after the command name, --utf8 removed
  std::string input;              // all of standard input, read when the command asks
  std::string out;                // standard output bytes
  std::string err;                // standard error bytes (box lines included)
  ConsolePlatform* platform = nullptr;
  ReadStatus (*readInput)(std::string*) = nullptr;
};

struct CliCommand {
  const char* name;
  const char* usage;  // the line shown in the usage text
  int (*run)(CliContext&);
};

// Reads all of in, refusing more than limit bytes like a file over the limit
// (a regular file that large is refused unread). CannotOpen on a read error.
ReadStatus ReadAllInput(std::FILE* in, std::string* all, std::size_t limit = kMaxFileBytes);
// The command's standard input into ctx.input; false after saying why not.
bool ReadCommandInput(CliContext& ctx);

int RunCodecCommand(CliContext& ctx);
int RunCheckCommand(CliContext& ctx);
int RunItemCommand(CliContext& ctx);
int RunIndexCommand(CliContext& ctx);
int RunListCommand(CliContext& ctx);
int RunRenderCommand(CliContext& ctx);
int RunExportCommand(CliContext& ctx);

struct App;
// Loads an index file as its menu command does, answering its dialog with
// path; 0 when the index and the three files it names were read.
int LoadIndexForCli(CliContext& ctx, App& app, const std::string& indexPath);
// The warning for attachments of record n that were not written: those past
// what one item keeps (kMaxItemAttachments).
std::string NotWrittenAttachments(int32_t n, std::size_t count);

// Runs tanavo-cli with the given arguments (argv[0] excluded); for tests too.
int RunCli(const std::vector<std::string>& argv, ReadStatus (*readInput)(std::string*), std::string* out,
           std::string* err);

}  // namespace tanavo
