// Shared by the fuzz targets: a fresh App on the fake platform (boxes
// answered, nothing shown) and the check that stops a run on a broken
// invariant, so that libFuzzer keeps the input as a finding.
#pragma once

#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

#include "app/app.h"
#include "platform/fake/fake_platform.h"
#include "../tests/support/entries.h"

namespace tanavo {

struct FuzzApp {
  FuzzApp() : app(platform) { app.Start(); }
  FakePlatform platform;
  App app;
};

[[noreturn]] inline void InvariantFailed(const char* what, const char* file, int line) {
  std::fprintf(stderr, "invariant failed: %s (%s:%d)\n", what, file, line);
  std::abort();
}

#define FUZZ_CHECK(cond) ((cond) ? (void)0 : ::tanavo::InvariantFailed(#cond, __FILE__, __LINE__))

inline std::string_view AsText(const uint8_t* data, size_t size) {
  return std::string_view(reinterpret_cast<const char*>(data), size);
}

}  // namespace tanavo
