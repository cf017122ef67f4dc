#include "cli/progress.h"

#include <cstdio>
#include <utility>

#include "cli/cli.h"

#ifdef _WIN32
#include <io.h>
#else
#include <unistd.h>
#endif

namespace tanavo {

namespace {

struct LiveStandardError {
  bool on = false;
  bool terminal = false;
};

LiveStandardError& TheLiveStandardError() {
  static LiveStandardError live;
  return live;
}

void WriteStandardErrorNow(const std::string& bytes) {
  if (!bytes.empty()) std::fwrite(bytes.data(), 1, bytes.size(), stderr);
  std::fflush(stderr);
}

}  // namespace

void UseLiveStandardError() {
  LiveStandardError& live = TheLiveStandardError();
  live.on = true;
#ifdef _WIN32
  live.terminal = _isatty(_fileno(stderr)) != 0;
#else
  live.terminal = isatty(fileno(stderr)) != 0;
#endif
}

void AttachLiveStandardError(CliContext& ctx) {
  const LiveStandardError& live = TheLiveStandardError();
  ctx.writeErrNow = live.on ? WriteStandardErrorNow : nullptr;
  ctx.errIsTerminal = live.on && live.terminal;
}

void CliProgress::Write(const std::string& bytes, bool endsCounter, bool inPlace) {
  // What the command said before (box lines) comes out first, in order, and
  // never on the line of a counter shown in place.
  std::string now;
  if (ctx_.writeErrNow) now.swap(ctx_.err);
  if (counterShown_ && (endsCounter || !now.empty())) {
    now.insert(0, "\n");
    counterShown_ = false;
  }
  const char* rewind = inPlace ? "\r" : "";
  if (!ctx_.writeErrNow) {
    ctx_.err += now + rewind + bytes;
    return;
  }
  // The CR that rewrites the counter is the program's own, never a printed
  // text's, so it is not made visible on a terminal.
  ctx_.writeErrNow(ForStream(std::move(now), ctx_.errForm) + rewind + ForStream(bytes, ctx_.errForm));
}

void CliProgress::Line(const std::string& text) { Write(text + "\n", true); }

void CliProgress::Count(int n, const std::string& counter) {
  if (ctx_.errIsTerminal) {
    Write(counter, false, true);
    counterShown_ = true;
  } else if (n % kProgressLineEvery == 0) {
    Write(counter + "\n", true);
  }
}

}  // namespace tanavo
