// Progress of a long command on standard error. When tanavo-cli runs as a
// program it is written as it happens: a counter rewritten in place on a
// terminal, a line every kProgressLineEvery items otherwise. Elsewhere (the
// tests) the lines go into the command's standard error text like the rest.
#pragma once

#include <string>

namespace tanavo {

struct CliContext;

constexpr int kProgressLineEvery = 100;

// Called once by tanavo-cli's main: standard error is written at once from
// now on, and whether it is a terminal is asked once.
void UseLiveStandardError();
// Gives the command the choice made above (called by RunCli).
void AttachLiveStandardError(CliContext& ctx);

class CliProgress {
 public:
  explicit CliProgress(CliContext& ctx) : ctx_(ctx) {}
  // A whole line, such as the start line or the closing one; a counter
  // shown in place ends first.
  void Line(const std::string& text);
  // Item n done; counter is the text that counts it.
  void Count(int n, const std::string& counter);

 private:
  // inPlace: bytes rewrite the line (a counter on a terminal).
  void Write(const std::string& bytes, bool endsCounter, bool inPlace = false);
  CliContext& ctx_;
  bool counterShown_ = false;
};

}  // namespace tanavo
