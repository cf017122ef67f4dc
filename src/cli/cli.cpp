#include "cli/cli.h"
#include "export/export_text.h"
#include "cli/progress.h"
#include "text/bytes.h"

#include <sys/stat.h>

#include <cctype>
#include <utility>

namespace tanavo {

namespace {

// The size of the regular file open as in; -1 for anything else (a pipe, a
// terminal), whose size is only known once read.
long long RegularFileSize(std::FILE* in) {
#ifdef _WIN32
  struct _stat64 st;
  if (_fstat64(_fileno(in), &st) == 0 && (st.st_mode & _S_IFMT) == _S_IFREG) return st.st_size;
#else
  struct stat st;
  if (fstat(fileno(in), &st) == 0 && S_ISREG(st.st_mode)) return st.st_size;
#endif
  return -1;
}

const CliCommand kCommands[] = {
    {"codec", "codec OP      OP: base64-decode | base64-encode | qp-decode | jis-to-sjis | hex-dump",
     RunCodecCommand},
    {"check", "check MOBILE KTA [STEPS]   trial extraction, then n (next) / b (back) per STEPS character",
     RunCheckCommand},
    {"item",
     "item KTA NAME   decode one Data item from standard input as the data display shows it;\n"
     "      the input is the whole item text, its end tag included (for the sample settings a\n"
     "      header line must end in CR LF: printf 'Subject: ...\\r\\n' | tanavo-cli item ...)",
     RunItemCommand},
    {"index",
     "index [--max-records N|all] MOBILE KTA KDP OUT   create the index of MOBILE and save it to OUT;\n"
     "      it takes the first 2500 records unless --max-records says otherwise. A line on standard\n"
     "      error for each record cut, merged or left out, and each gap that is not blank",
     RunIndexCommand},
    {"list", "list INDEX   the record list of an index file, one row per record", RunListCommand},
    {"render", "render INDEX N [--attachments DIR]   record N as the data display shows it; attachments into DIR",
     RunRenderCommand},
    {"export",
     "export [--partial] INDEX OUTDIR [--records LIST | --tagged] [--case CASE]   records, attachments,\n"
     "      a TSV table, an HTML report and SHA256SUMS into OUTDIR; all records, or those of LIST such\n"
     "      as 1-100,250,300-, or those tagged in CASE; with CASE, times and tags in the table, the\n"
     "      tagged records and a timeline in the report; refused when records of MOBILE are left out\n"
     "      of the index or cut, unless --partial",
     RunExportCommand},
    {"case", "case INDEX CASE [--zone +HH:MM]   build the case file CASE (NAME.tcase) for search and tags;\n"
             "      a time that names no zone is taken in --zone (+09:00 unless given)",
     RunCaseCommand},
    {"search",
     "search CASE QUERY [--json] [--sort time]   records matching QUERY: number TAB offset TAB list line;\n"
     "      --json: one object per line, with where each term was found",
     RunSearchCommand},
    {"tag", "tag CASE N LABEL [--note TEXT]   tag record N of the case", RunTagCommand},
    {"tags", "tags CASE   every tag: number TAB offset TAB label TAB note TAB list line", RunTagsCommand},
    {"lint",
     "lint KTA [KDP]   one line for each thing that makes the settings silently show nothing;\n"
     "      exit 0 when nothing is found, 1 when something is",
     RunLintCommand},
};

std::string UsageText() {
  std::string u = "usage: tanavo-cli [--utf8 | --sjis] COMMAND ...\n";
  for (const CliCommand& c : kCommands) u += std::string("  tanavo-cli ") + c.usage + "\n";
  u +=
      "standard error is written in the locale's encoding, standard output too on a terminal\n"
      "(a pipe or a file gets the Shift_JIS bytes as they are); --utf8 / --sjis force either.\n"
      "exit status: 0 done, 1 failed or refused (lint: something found), 2 called wrongly\n";
  return u;
}

}  // namespace

std::string ShowControlBytes(const std::string& text) {
  static const char kHexDigits[] = "0123456789ABCDEF";
  std::string out;
  out.reserve(text.size());
  for (std::size_t i = 0; i < text.size(); ++i) {
    const unsigned char b = static_cast<unsigned char>(text[i]);
    const bool crOfCrLf = b == '\r' && i + 1 < text.size() && text[i + 1] == '\n';
    if ((b < 0x20 && b != '\t' && b != '\n' && !crOfCrLf) || b == 0x7f) {
      out += '^';
      out += static_cast<char>(b ^ 0x40);
    } else if (b < 0x80 || (b >= 0xA1 && b <= 0xDF)) {
      out += static_cast<char>(b);
    } else if (IsShiftJisLead(b) && i + 1 < text.size() && IsShiftJisTrail(static_cast<unsigned char>(text[i + 1]))) {
      out.append(text, i, 2);  // a whole double-byte character: its trail is never a control byte
      ++i;
    } else {
      // An 8-bit control (0x9B is a terminal's CSI), a lead without its trail,
      // or a byte Shift_JIS never uses.
      out += "\\x";
      out += kHexDigits[b >> 4];
      out += kHexDigits[b & 0x0F];
    }
  }
  return out;
}

std::string ForStream(std::string text, const StreamForm& form) {
  // Made visible first: "^[" and "\x9B" are ASCII in every encoding, and no
  // Shift_JIS trail byte is a control byte.
  std::string shown = form.terminal ? ShowControlBytes(text) : std::move(text);
  if (form.encoding.empty()) return shown;
  if (form.encoding == "UTF-8") return Utf8Text(shown, form.carrier);
#ifndef _WIN32
  return Cp932ToEncoding(shown, form.encoding);
#else
  return shown;
#endif
}

std::string LocaleEncoding(const std::string& codeset) {
  std::string key;
  for (char c : codeset) {
    if (std::isalnum(static_cast<unsigned char>(c))) key += static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  }
  if (key == "UTF8") return "UTF-8";
  // Texts are Shift_JIS already; ASCII cannot show them, so the bytes stay.
  const char* const kBytesAsTheyAre[] = {"", "SHIFTJIS", "SJIS", "CP932", "WINDOWS31J", "MSKANJI",
                                         "ANSIX341968", "ASCII", "USASCII"};
  for (const char* k : kBytesAsTheyAre) {
    if (key == k) return "";
  }
  return codeset;
}

ReadStatus ReadAllInput(std::FILE* in, std::string* all, std::size_t limit) {
  if (RegularFileSize(in) > static_cast<long long>(limit)) return ReadStatus::TooLarge;
  std::string data;
  char buf[1 << 16];
  for (;;) {
    std::size_t n = std::fread(buf, 1, sizeof buf, in);
    if (n > limit - data.size()) return ReadStatus::TooLarge;  // data never holds more than limit
    data.append(buf, n);
    if (n < sizeof buf) {
      if (std::ferror(in)) return ReadStatus::CannotOpen;
      break;
    }
  }
  all->swap(data);
  return ReadStatus::Ok;
}

bool ReadCommandInput(CliContext& ctx) {
  const ReadStatus rs = ctx.readInput ? ctx.readInput(&ctx.input) : ReadStatus::CannotOpen;
  if (rs == ReadStatus::TooLarge) {
    ShowTooLarge(*ctx.platform, "TextEditor");  // the box of a file over the same limit
    return false;
  }
  if (rs != ReadStatus::Ok) {
    ctx.err += "tanavo-cli: cannot read standard input\n";
    return false;
  }
  return true;
}

int RunCli(const std::vector<std::string>& argv, ReadStatus (*readInput)(std::string*), std::string* out,
           std::string* err, const CliStreams& streams) {
  bool utf8 = false, sjis = false;
  std::vector<std::string> args;
  for (const std::string& a : argv) {
    if (a == "--utf8") {
      utf8 = true;
    } else if (a == "--sjis") {
      sjis = true;
    } else {
      args.push_back(a);
    }
  }
  CliContext ctx;
  // Standard error is read by a person; standard output only on a terminal,
  // elsewhere it is data and keeps its bytes.
  ctx.errForm.encoding = streams.localeEncoding;
  ctx.outForm.encoding = streams.outTerminal ? streams.localeEncoding : "";
  if (utf8 || sjis) ctx.errForm.encoding = ctx.outForm.encoding = utf8 ? "UTF-8" : "";
  ctx.outForm.terminal = streams.outTerminal;
  ctx.errForm.terminal = streams.errTerminal;
  int code = kExitUsage;
  const CliCommand* command = nullptr;
  // Asking for help is no usage error: the usage goes to standard output.
  bool help = args.size() == 1 && (args[0] == "--help" || args[0] == "-h");
  if (utf8 && sjis) {
    args.clear();  // one encoding or the other: a wrong call
    help = false;
  }
  if (!help && !args.empty()) {
    for (const CliCommand& c : kCommands) {
      if (args[0] == c.name) command = &c;
    }
  }
  if (help) {
    ctx.out = UsageText();
    code = kExitOk;
  } else if (!command) {
    ctx.err = UsageText();
  } else {
    ctx.args.assign(args.begin() + 1, args.end());
    ctx.readInput = readInput;
    AttachLiveStandardError(ctx);
    ConsolePlatform platform(&ctx.err);
    ctx.platform = &platform;
    code = command->run(ctx);
    if (code == kExitUsage) ctx.err += UsageText();
  }
  // Moved, not copied: the output may be the whole result of a check.
  *out = ForStream(std::move(ctx.out), ctx.outForm);
  *err = ForStream(std::move(ctx.err), ctx.errForm);
  return code;
}

}  // namespace tanavo
