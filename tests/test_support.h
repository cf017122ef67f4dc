// Shared by the native tests: a fresh App on the fake platform.
#pragma once

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "app/app.h"
#include "platform/fake/fake_platform.h"
#include "support/entries.h"

namespace tanavo {

// A whole file's bytes; empty when it cannot be read.
inline std::string ReadBytes(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream s;
  s << in.rdbuf();
  return s.str();
}

// An empty folder of the running test's own: tests run side by side.
inline std::filesystem::path FreshTestFolder(const std::string& prefix) {
  const std::filesystem::path dir =
      std::filesystem::path(::testing::TempDir()) /
      (prefix + "_" + ::testing::UnitTest::GetInstance()->current_test_info()->name() + "_" + std::to_string(getpid()));
  std::filesystem::remove_all(dir);
  std::filesystem::create_directories(dir);
  return dir;
}

struct FakeApp {
  FakeApp() : app(platform) { app.Start(); }
  MemoryWindow& Win(const char* className) { return *platform.WindowOf(className); }
  FakePlatform platform;
  App app;
};

}  // namespace tanavo
