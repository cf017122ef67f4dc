#include <cstdio>
#include <string>
#include <vector>

#include "cli/cli.h"
#include "cli/progress.h"

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#endif

namespace {

tanavo::ReadStatus ReadStdin(std::string* all) { return tanavo::ReadAllInput(stdin, all); }

// False when any byte could not be written or flushed.
bool WriteAll(std::FILE* f, const std::string& bytes) {
  const bool written = bytes.empty() || std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
  return std::fflush(f) == 0 && written;
}

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
  int code = tanavo::RunCli(args, ReadStdin, &out, &err);
  // Output that did not arrive is a failure, whatever the command did;
  // standard error says so while it can still be written.
  const bool outWritten = WriteAll(stdout, out);
  if (!outWritten) err += "tanavo-cli: cannot write standard output\n";
  const bool errWritten = WriteAll(stderr, err);
  if (!outWritten || !errWritten) return tanavo::kExitFailed;
  return code;
}
