// Shared by the native tests: a fresh App on the fake platform.
#pragma once

#include <memory>
#include <string>

#include "app/app.h"
#include "platform/fake/fake_platform.h"

namespace tanavo {

// A definition with its kind and name (and range tags); the rest empty.
inline TagDefinition Def(const std::string& kind, const std::string& name, const std::string& rangeStart = "",
                         const std::string& rangeEnd = "") {
  TagDefinition e;
  e.kind = kind;
  e.name = name;
  e.rangeStartTag = rangeStart;
  e.rangeEndTag = rangeEnd;
  return e;
}

struct FakeApp {
  FakeApp() : app(platform) { app.Start(); }
  MemoryWindow& Win(const char* className) { return *platform.WindowOf(className); }
  FakePlatform platform;
  App app;
};

}  // namespace tanavo
