#include <gtest/gtest.h>

#include "text/path.h"

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

TEST(OtherSystemPath, WineDriveZIsThePosixRoot) {
  struct Case {
    std::string path;
    char separator;
    std::string other;
  };
  const Case cases[] = {
      {"Z:\\home\\u\\mail.dat", '/', "/home/u/mail.dat"},
      {"z:\\表\\a.dat", '/', "/表/a.dat"},  // 0x5C inside 表 stays
      {"C:\\home\\mail.dat", '/', ""},
      {"/home/u/mail.dat", '/', ""},
      {"/home/u/mail.dat", '\\', "Z:\\home\\u\\mail.dat"},
      {"//host/share/a", '\\', ""},
      {"D:\\work\\a.dat", '\\', ""},
  };
  for (const Case& c : cases) EXPECT_EQ(OtherSystemPath(c.path, c.separator), c.other) << c.path;
}

TEST(FileNameOf, LastPartOfEitherSystemsPath) {
  EXPECT_EQ(FileNameOf("D:\\work\\mail.dat"), "mail.dat");
  EXPECT_EQ(FileNameOf("Z:\\home\\能.dat"), "能.dat");  // 能 is 0x94 0x5C
  EXPECT_EQ(FileNameOf("/home/u/mail.dat"), "mail.dat");
  EXPECT_EQ(FileNameOf("/home/u/a\\b.dat"), "a\\b.dat");
  EXPECT_EQ(FileNameOf("D:\\work\\dump."), "dump");
  EXPECT_EQ(FolderOf("D:\\表\\能.ini", '\\'), "D:\\表");
  EXPECT_EQ(FolderOf("/tmp/x.ini", '/'), "/tmp");
  EXPECT_EQ(FolderOf("x.ini", '/'), "");
}

TEST(NamesNetworkPath, EverySpellingOfTheNetworkAndOfTheDeviceNamespace) {
  enum Reach { File, Network, Device };
  struct Case {
    std::string path;
    Reach reach;
  };
  const Case cases[] = {
      {"\\\\host\\share\\x.vmg", Network},
      {"//host/share/x.vmg", Network},
      {"\\/host/share", Network},  // separators mixed
      {"\\\\*\\mailslot\\x", Network},
      {"\\\\?\\UNC\\host\\share\\x", Network},
      {"//?/unc/host/share/x", Network},
      {"\\\\.\\UNC\\host\\share\\x", Network},
      {"\\??\\UNC\\evilhost\\share\\vmessage.vmg", Network},
      {"\\?" "?/unc/host/share", Network},  // split: no trigraph
      {"\\??\\UNC", Network},
      {"\\??\\Global\\UNC\\host\\share", Network},
      {"\\\\?\\GLOBAL\\global\\UNC\\host", Network},
      {"\\??\\GLOBALROOT\\Device\\Mup\\host\\share", Network},
      {"\\\\?\\GLOBALROOT\\??\\UNC\\host", Network},
      {"\\\\.\\Mup\\host\\share", Network},
      {"\\??\\C:\\work\\x.dat", Device},
      {"\\\\?\\C:\\work\\x.dat", Device},
      {"\\\\.\\pipe\\x", Device},
      {"\\??\\PhysicalDrive0", Device},
      {"\\??\\UNCX\\host", Device},
      {"\\??\\", Device},
      // A rooted path without a namespace prefix is a folder of the current
      // drive (C:\\Device\\Mup\\...), and a drive-relative path a file too.
      {"\\Device\\Mup\\host\\share\\x", File},
      {"\\?\\UNC\\host", File},
      {"C:x.dat", File},
      {"Z:\\home\\u\\mail.dat", File},
      {"/home/u/mail.dat", File},
      {"\\\\", Network},
      {"\\", File},
      {"", File},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(NamesNetworkPath(c.path), c.reach == Network) << c.path;
    EXPECT_EQ(NamesDevice(c.path, '\\'), c.reach == Device) << c.path;
  }
}

}  // namespace
}  // namespace tanavo
