// The safe attachment name against hostile names from mail: what may not
// reach a file name, device names, names the file system takes for one, and
// names too long once converted.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "display/attachment.h"
#include "platform/console/console_file_system.h"
#include "platform/console/utf8.h"
#include "platform/files.h"
#include "test_support.h"

namespace tanavo {
namespace {

std::string Safe(const std::string& name, const FileSystem* files = nullptr) {
  std::vector<std::string> taken;
  return SafeAttachmentName(name, 1, &taken, files);
}

TEST(SafeAttachmentName, OnlyARealTrailBytePairsWithALeadByte) {
  const std::pair<std::string, std::string> cases[] = {
      {"\x81/x.txt", "__x.txt"},    {"\x81\r.txt", "__.txt"},   {"\x81\n.txt", "__.txt"},
      {"a\x81\x1B[2Jb", "a__[2Jb"}, {"\x81\x07.jpg", "__.jpg"}, {"\x9F\x7F.txt", "__.txt"},
      {"\x81:x", "__x"},            {"report\x81", "report_"},  {"\xFC\x3F", "__"},
      // Real characters stay whole, a trail 0x5C or 0x7C included.
      {"表.jpg", "表.jpg"},         {"\x83\x7C.txt", "\x83\x7C.txt"}, {"\x81\x40\xFC\xFC", "\x81\x40\xFC\xFC"},
      // Half-width katakana are characters; 0x80, 0xA0, 0xFD-0xFF are none.
      {"\xB1\xB2.txt", "\xB1\xB2.txt"}, {"\x80\xA0\xFD\xFE\xFF.txt", "_____.txt"},
  };
  for (const auto& [name, safe] : cases) EXPECT_EQ(Safe(name), safe) << name;
}

TEST(SafeAttachmentName, DeviceNamesWithSpacesBeforeTheExtensionArePrefixed) {
  const std::pair<std::string, std::string> cases[] = {
      {"CON .txt", "_CON .txt"},  {"NUL .pdf", "_NUL .pdf"},   {"AUX  .jpg", "_AUX  .jpg"}, {"COM1 .log", "_COM1 .log"},
      {"LPT1 .x", "_LPT1 .x"},    {"CONIN$", "_CONIN$"},       {"conout$.txt", "_conout$.txt"},
      {"prn. .txt", "_prn. .txt"}, {"com0.txt", "_com0.txt"},
      // Not devices.
      {"CONSOLE.txt", "CONSOLE.txt"}, {"COM10.txt", "COM10.txt"}, {" CON.txt", " CON.txt"}, {"CONIN.txt", "CONIN.txt"},
  };
  for (const auto& [name, safe] : cases) EXPECT_EQ(Safe(name), safe) << name;
}

// Two code page 932 spellings of one character are one file name on POSIX.
TEST(SafeAttachmentName, NamesTheFileSystemTakesForOneAreKeptApart) {
  ConsoleFileSystem posix;
  std::vector<std::string> taken;
  EXPECT_EQ(SafeAttachmentName("\x87\x54.txt", 1, &taken, &posix), "\x87\x54.txt");
  EXPECT_EQ(SafeAttachmentName("\xFA\x4A.txt", 2, &taken, &posix), "\xFA\x4A (2).txt");
  EXPECT_EQ(SafeAttachmentName("\xEE\xEF.txt", 3, &taken, &posix), "\xEE\xEF.txt");  // small roman one
  EXPECT_EQ(SafeAttachmentName("\xFA\x40.txt", 4, &taken, &posix), "\xFA\x40 (2).txt");
  // POSIX names keep their case.
  EXPECT_EQ(SafeAttachmentName("A.txt", 5, &taken, &posix), "A.txt");
  EXPECT_EQ(SafeAttachmentName("a.txt", 6, &taken, &posix), "a.txt");
}

// A long name taken twice, with " (2)" and the save's temporary suffix,
// still fits in a file name once converted to UTF-8.
TEST(SafeAttachmentName, ALongNameTakenTwiceStillFitsAFileName) {
  const std::filesystem::path dir = FreshTestFolder("safe_name");
  std::string kanji, mixed;
  for (int i = 0; i < 100; ++i) kanji += "表";
  for (int i = 0; i < 60; ++i) mixed += "a\xB1表";
  const std::string names[] = {std::string(300, '\xB1') + ".jpg", std::string(300, '\xB1'), kanji + ".txt",
                               mixed + ".pdf", std::string(300, 'a') + ".jpg"};
  for (const std::string& name : names) {
    std::vector<std::string> taken;
    SafeAttachmentName(name, 1, &taken);
    const std::string second = SafeAttachmentName(name, 2, &taken);
    EXPECT_LE(second.size(), kMaxAttachmentNameBytes + kUniqueSuffixRoom);
    EXPECT_LE(Cp932ToUtf8("0001-2-" + second).size() + kSaveSuffixRoom, kMaxFileNameUnits) << second;
    EXPECT_EQ(WriteRealFileReplacing((dir / NativeFileName(second)).string(), "x"), WriteStatus::Ok) << second;
  }
}

}  // namespace
}  // namespace tanavo
