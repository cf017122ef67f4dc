// Shared by the native tests: a fresh App on the fake platform.
#pragma once

#include <memory>
#include <string>
#include <vector>

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

// A Data entry whose value is the text between its range tags.
inline TagDefinition Item(const std::string& name, const std::string& start, const std::string& end,
                          bool repeated = false) {
  TagDefinition e = Def("Data", name, start, end);
  e.contentStartTag = start;
  e.contentEndTag = end;
  e.applyToMultiple = repeated ? "Y" : "N";
  return e;
}

// Fills the table from index 0 on.
inline void SetTable(ExtractionSettings& s, const std::vector<TagDefinition>& entries) {
  for (std::size_t i = 0; i < entries.size() && i < s.entries.size(); ++i) s.entries[i] = entries[i];
}

struct FakeApp {
  FakeApp() : app(platform) { app.Start(); }
  MemoryWindow& Win(const char* className) { return *platform.WindowOf(className); }
  FakePlatform platform;
  App app;
};

}  // namespace tanavo
