// tanavo-cli: the command-line companion, running the core on the console
// back end. Each command reads its arguments and writes its output bytes.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "codec/carrier_emoji.h"
#include "platform/console/console_platform.h"
#include "platform/files.h"
#include "platform/console/utf8.h"
#include "index/index_file.h"

namespace tanavo {

constexpr int kExitOk = 0;
constexpr int kExitFailed = 1;  // ran but failed or was refused
constexpr int kExitUsage = 2;

// How texts (Shift_JIS bytes) are written to one standard stream.
struct StreamForm {
  std::string encoding;   // converted to it ("UTF-8", or the locale's); empty: the bytes as they are
  bool terminal = false;  // control bytes shown visibly (^[) rather than sent raw
  Carrier carrier = Carrier::None;  // whose emoji the text's user-defined codes are, in UTF-8
};
// The text as it goes to a stream of that form.
std::string ForStream(std::string text, const StreamForm& form);
// For a terminal: control bytes but TAB, LF and the CR of a CR LF shown as
// ^@ .. ^_ and ^?; every other byte that is no complete Shift_JIS character
// (8-bit controls, a lead byte without its trail, 0x80, 0xA0, 0xFD-0xFF) as
// \xHH.

std::string ShowControlBytes(const std::string& text);
// The encoding the standard streams take under a locale whose character set
// (nl_langinfo(CODESET)) is codeset: "UTF-8", another one iconv converts to,
// or empty where the bytes stay as they are (Shift_JIS, ASCII, unknown).
std::string LocaleEncoding(const std::string& codeset);

// What tanavo-cli finds its standard streams to be; the defaults (no
// terminal, no locale encoding) keep every byte as the command made it.
struct CliStreams {
  bool outTerminal = false;
  bool errTerminal = false;
  std::string localeEncoding;  // see LocaleEncoding
};

struct CliContext {
  StreamForm outForm;  // standard output: converted only on a terminal or when forced
  StreamForm errForm;  // standard error: in the locale's encoding, or as forced
  // Standard error written at once (progress of long commands) when
  // tanavo-cli runs as a program, and whether it is a terminal; see
  // cli/progress.h.
  void (*writeErrNow)(const std::string&) = nullptr;
  bool errIsTerminal = false;
  std::vector<std::string> args;  // after the command name, --utf8 / --sjis removed
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
int RunLintCommand(CliContext& ctx);
int RunCaseCommand(CliContext& ctx);
int RunSearchCommand(CliContext& ctx);
int RunTagCommand(CliContext& ctx);
int RunTagsCommand(CliContext& ctx);

struct ExtractionSettings;
struct DisplaySettings;
// What makes the settings silently show nothing, one line each (Shift_JIS):
// Data entries with empty content tags or before any D_SET, D_SET and Group
// entries without their closing entry, names used twice, and placeholders of
// the display settings (when given) that no Data entry fills.
std::vector<std::string> LintSettings(const ExtractionSettings& s, const DisplaySettings* display);

struct Workspace;
// Loads an index file (path made absolute) as its menu command does, every
// record of it whatever the capacity; Done when the index and the three
// files it names were read.
IndexFileStatus LoadIndexForCli(Workspace& ws, const std::string& indexPath);
struct Coverage;
// One "tanavo-cli:" line on standard error for each finding of the coverage.
void WriteCoverageFindings(CliContext& ctx, const Coverage& coverage);

// Runs tanavo-cli with the given arguments (argv[0] excluded); for tests too.
// --utf8 and --sjis force both streams to UTF-8 or to the bytes as they are.
int RunCli(const std::vector<std::string>& argv, ReadStatus (*readInput)(std::string*), std::string* out,
           std::string* err, const CliStreams& streams = CliStreams());

}  // namespace tanavo
