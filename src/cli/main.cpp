#include <cstdio>
#include <string>
#include <vector>

#include "cli/cli.h"
#include "cli/progress.h"

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#else
#include <langinfo.h>
#include <unistd.h>

#include <clocale>
#endif

namespace {

tanavo::ReadStatus ReadStdin(std::string* all) { return tanavo::ReadAllInput(stdin, all); }

// False when any byte could not be written or flushed.
bool WriteAll(std::FILE* f, const std::string& bytes) {
  const bool written = bytes.empty() || std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
  return std::fflush(f) == 0 && written;
}

#ifndef _WIN32
// Which standard streams are terminals, and the locale's encoding. The locale
// is only asked: the program itself keeps running in the "C" locale, so that
// nothing else (character classes of bytes) changes with it.
tanavo::CliStreams FindStreams() {
  tanavo::CliStreams streams;
  streams.outTerminal = isatty(STDOUT_FILENO) != 0;
  streams.errTerminal = isatty(STDERR_FILENO) != 0;
  if (std::setlocale(LC_CTYPE, "")) streams.localeEncoding = tanavo::LocaleEncoding(nl_langinfo(CODESET));
  std::setlocale(LC_CTYPE, "C");
  return streams;
}
#endif

}  // namespace

int main(int argc, char** argv) {
#ifdef _WIN32
  // Bytes in, bytes out: no CR LF translation on the console streams.
  _setmode(_fileno(stdin), _O_BINARY);
  _setmode(_fileno(stdout), _O_BINARY);
  _setmode(_fileno(stderr), _O_BINARY);
#endif
  std::vector<std::string> args(argv + 1, argv + argc);
  tanavo::UseLiveStandardError();  // progress of long commands as it happens
  std::string out, err;
#ifdef _WIN32
  // The console gets the bytes as they are, as it always has.
  const tanavo::CliStreams streams;
#else
  const tanavo::CliStreams streams = FindStreams();
#endif
  int code = tanavo::RunCli(args, ReadStdin, &out, &err, streams);
  // Output that did not arrive is a failure, whatever the command did;
  // standard error says so while it can still be written.
  const bool outWritten = WriteAll(stdout, out);
  if (!outWritten) err += "tanavo-cli: cannot write standard output\n";
  const bool errWritten = WriteAll(stderr, err);
  if (!outWritten || !errWritten) return tanavo::kExitFailed;
  return code;
}
