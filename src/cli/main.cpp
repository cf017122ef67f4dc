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

bool ReadStdin(std::string* all) {
  char buf[1 << 16];
  for (;;) {
    std::size_t n = std::fread(buf, 1, sizeof buf, stdin);
    all->append(buf, n);
    if (n < sizeof buf) return !std::ferror(stdin);
  }
}

void WriteAll(std::FILE* f, const std::string& bytes) {
  if (!bytes.empty()) std::fwrite(bytes.data(), 1, bytes.size(), f);
  std::fflush(f);
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
  WriteAll(stdout, out);
  WriteAll(stderr, err);
  return code;
}
