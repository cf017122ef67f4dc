// Shared by the native tests: a fresh App on the fake platform.
#pragma once

#include <memory>
#include <string>

#include "app/app.h"
#include "platform/fake/fake_platform.h"

namespace tanavo {

struct FakeApp {
  FakeApp() : app(platform) { app.Start(); }
  MemoryWindow& Win(const char* className) { return *platform.WindowOf(className); }
  FakePlatform platform;
  App app;
};

}  // namespace tanavo
