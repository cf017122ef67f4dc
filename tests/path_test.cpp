#include <gtest/gtest.h>

#include "app/path.h"

namespace tanavo {
namespace {

TEST(SplitPath, CutsAtLastBackslashAndLastDotOfTheFileName) {
  PathParts p = SplitPath("D:\\data\\dump.bin");
  EXPECT_EQ(p.folder, "D:\\data");
  EXPECT_EQ(p.baseName, "dump");
  EXPECT_EQ(p.extension, "bin");
  p = SplitPath("D:\\data\\a.b.txt");
  EXPECT_EQ(p.baseName, "a.b");
  EXPECT_EQ(p.extension, "txt");
  p = SplitPath("D:\\old.files\\dump");
  EXPECT_EQ(p.folder, "D:\\old.files");
  EXPECT_EQ(p.baseName, "dump");
  EXPECT_EQ(p.extension, "");
  EXPECT_EQ(ShownFileName(p), "dump.");
  p = SplitPath("plain");
  EXPECT_EQ(p.folder, "");
  EXPECT_EQ(p.baseName, "plain");
}

TEST(SplitPath, TrailByte5CCountsAsABackslash) {
  // 表 is 0x95 0x5C in Shift_JIS: the byte search cuts inside it.
  PathParts p = SplitPath("C:\\x\\表.txt");
  EXPECT_EQ(p.folder, "C:\\x\\\x95");
  EXPECT_EQ(p.baseName, "");
  EXPECT_EQ(p.extension, "txt");
}

TEST(SplitPath, PosixSeparator) {
  PathParts p = SplitPath("/tmp/a.b/c.kta", '/');
  EXPECT_EQ(p.folder, "/tmp/a.b");
  EXPECT_EQ(p.baseName, "c");
  EXPECT_EQ(p.extension, "kta");
  EXPECT_EQ(JoinPath(p, '/'), "/tmp/a.b/c.kta");
}

}  // namespace
}  // namespace tanavo
