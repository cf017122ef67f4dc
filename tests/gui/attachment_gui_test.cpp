// Attachments under Wine: a program disguised as a photo is written and never
// run, the prefix has viewers for the types that are opened, and names are
// compared and marked as Windows does.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "codec/codec.h"
#include "display/attachment.h"
#include "app/display_window.h"
#include "app/menus.h"
#include "gui_support.h"

namespace tanavo {
namespace gui {
namespace {

constexpr const char* kMarkerFile = "tanavo-marker-ran.txt";
// Long enough for Wine to start a program it was handed.
constexpr DWORD kRunWaitMs = 6000;

bool Exists(const std::string& path) { return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

void WaitPumping(DWORD ms) {
  for (DWORD waited = 0; waited < ms; waited += 100) {
    Pump();
    Sleep(100);
  }
}

// A mail of the samples' layout with these attachments.
std::string MailWithAttachments(const std::vector<std::pair<std::string, std::string>>& attachments) {
  std::string mail =
      "BEGIN:MAIL\r\nDate: 2006/02/01 10:00\r\nFrom: x <x@example.jp>\r\nTo: y <y@example.jp>\r\n"
      "Subject: photo\r\nMIME-Version: 1.0\r\nContent-Type: multipart/mixed; boundary=\"tanavo-part\"\r\n\r\n"
      "--tanavo-part\r\nContent-Type: text/plain; charset=ISO-2022-JP\r\nContent-Transfer-Encoding: 7bit\r\n\r\n"
      "see\r\n";
  for (const auto& [name, bytes] : attachments) {
    const std::string base64 = EncodeBase64(bytes);
    mail += "--tanavo-part\r\nContent-Type: image/jpeg; name=\"" + name +
            "\"\r\nContent-Transfer-Encoding: base64\r\n\r\n";
    for (std::size_t at = 0; at < base64.size(); at += 76) mail += base64.substr(at, 76) + "\r\n";
  }
  return mail + "--tanavo-part--\r\nEND:MAIL\r\n";
}

// The prefix's viewer script writes what it would show into this file
// instead of starting a viewer (see scripts/wine-env.sh), for every test of
// this program: no viewer window outlives a test.
std::string ViewLogUnixPath() {
  char prefix[1024] = {};
  const DWORD n = GetEnvironmentVariableA("WINEPREFIX", prefix, sizeof prefix);
  return n > 0 && n < sizeof prefix ? std::string(prefix) + "/tanavo-view.log" : std::string();
}

std::string ViewLog() {
  std::string path = "Z:" + ViewLogUnixPath();
  for (char& c : path) c = c == '/' ? '\\' : c;
  return ReadBytes(path);
}

class ViewLogEnvironment : public ::testing::Environment {
 public:
  void SetUp() override {
    const std::string log = ViewLogUnixPath();
    if (!log.empty()) SetEnvironmentVariableA("TANAVO_VIEW_LOG", log.c_str());
  }
};
::testing::Environment* const kViewLogEnvironment = ::testing::AddGlobalTestEnvironment(new ViewLogEnvironment);

TEST(GuiAttachment, AProgramDisguisedAsAPhotoIsWrittenAndNeverRun) {
  const std::string marker = ReadBytes(ProgramFolder() + "\\tanavo_marker.exe");
  ASSERT_EQ(marker.substr(0, 2), "MZ");

  // The marker does leave its file when it runs.
  const std::string ran = TempFolder("marker-runs");
  WriteBytes(ran + "\\marker.exe", marker);
  STARTUPINFOA si{};
  si.cb = sizeof si;
  PROCESS_INFORMATION pi{};
  std::string command = "\"" + ran + "\\marker.exe\"";
  ASSERT_TRUE(CreateProcessA(nullptr, &command[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi));
  WaitForSingleObject(pi.hProcess, kRunWaitMs);
  CloseHandle(pi.hThread);
  CloseHandle(pi.hProcess);
  ASSERT_TRUE(Exists(ran + "\\" + kMarkerFile));

  // The program as a photo, and under a type the prefix has no viewer for
  // (Wine runs what it has no viewer for); then a real photo.
  const std::string jpeg = std::string("\xFF\xD8\xFF\xE0\0\x10JFIF\0", 11);
  const std::string samples = ProgramFolder() + "\\..\\samples";
  const std::string dir = TempFolder("disguised");
  WriteBytes(dir + "\\mail.dat", ReadBytes(samples + "\\mail.dat") +
                                      MailWithAttachments({{"photo.jpg", marker}, {"photo.dat", marker}, {"real.jpg", jpeg}}));
  for (const char* name : {"mail.kta", "mail.kdp"}) WriteBytes(dir + "\\" + name, ReadBytes(samples + "\\" + name));

  GuiApp g;
  Responder r;
  g.LoadThreeFiles(r, dir + "\\mail.dat", dir + "\\mail.kta", dir + "\\mail.kdp");
  r.PressBox(IDOK);
  r.AnswerFile(dir + "\\maildat.ini");
  g.Command(kCmdCreateIndex);
  g.Command(kCmdDataDisplay);
  ASSERT_GT(g.app().index.count, 0);
  g.SelectRow(kDispRecordList, g.app().index.count - 1);
  ASSERT_EQ(g.app().attachments.names[1], "photo.jpg");

  g.app().state.programFolder = dir;
  const std::string viewedBefore = ViewLog();
  for (int row : {0, 1}) {
    r.PressBox(IDOK);
    g.SelectRow(kDispAttachmentList, row);
  }
  WaitPumping(kRunWaitMs);
  EXPECT_FALSE(Exists(dir + "\\" + kMarkerFile)) << "the attachment ran";
  ASSERT_EQ(r.Pending(), 0);
  const std::vector<SeenBox> boxes = r.Boxes();
  ASSERT_GE(boxes.size(), 2u);
  const std::string written[] = {dir + "\\temp.jpg", dir + "\\temp.dat"};
  for (std::size_t i = 0; i < 2; ++i) {
    EXPECT_EQ(ReadBytes(written[i]), marker) << written[i];
    const SeenBox& box = boxes[boxes.size() - 2 + i];
    EXPECT_EQ(box.caption, "警告");
    EXPECT_NE(box.text.find(written[i]), std::string::npos) << box.text;
  }
  EXPECT_EQ(ViewLog(), viewedBefore);

  // The real photo is handed to the viewer, with its Linux path.
  g.SelectRow(kDispAttachmentList, 2);
  for (int waited = 0; waited < 10000 && ViewLog() == viewedBefore; waited += 100) WaitPumping(100);
  const std::string viewed = ViewLog().substr(viewedBefore.size());
  EXPECT_EQ(viewed.rfind("feh /", 0), 0u) << viewed;
  EXPECT_NE(viewed.find("/temp.jpg\n"), std::string::npos) << viewed;
  EXPECT_EQ(r.Boxes().size(), boxes.size());
}

std::string RegistryText(const char* key) {
  char buf[512] = {};
  DWORD size = sizeof buf;
  if (RegGetValueA(HKEY_CLASSES_ROOT, key, nullptr, RRF_RT_REG_SZ, nullptr, buf, &size) != ERROR_SUCCESS) {
    return "(none)";
  }
  return buf;
}

// PDF (the manual) and the photo types open in Linux viewers.
TEST(GuiAttachment, ThePrefixOpensPdfAndPhotosInViewers) {
  const std::pair<const char*, const char*> kTypes[] = {
      {".pdf", "xpdf"}, {".jpg", "feh"}, {".jpeg", "feh"}, {".png", "feh"}, {".gif", "feh"}, {".bmp", "feh"},
  };
  for (const auto& [extension, viewer] : kTypes) {
    const std::string type = RegistryText(extension);
    const std::string command = RegistryText((type + "\\shell\\open\\command").c_str());
    EXPECT_NE(command.find(std::string("tanavo-view\" ") + viewer + " \"%1\""), std::string::npos)
        << extension << ": " << command;
  }
}

// The user manual goes to the PDF viewer.
TEST(GuiAttachment, TheManualOpensInThePdfViewer) {
    const std::string dir = TempFolder("manual");
  WriteBytes(dir + "\\使用説明書.pdf", "%PDF-1.4\n");
  GuiApp g;
  g.app().state.programFolder = dir;
  const std::string before = ViewLog();
  g.Command(kCmdUserManual);
  for (int waited = 0; waited < 10000 && ViewLog() == before; waited += 100) WaitPumping(100);
  const std::string viewed = ViewLog().substr(before.size());
  EXPECT_EQ(viewed.rfind("xpdf /", 0), 0u) << viewed;
  // The Linux path is UTF-8.
  EXPECT_NE(viewed.find(u8"/使用説明書.pdf\n"), std::string::npos) << viewed;
}

// Names Windows takes for one file get " (2)"; the written file carries the
// Mark of the Web.
TEST(GuiAttachment, NamesAreComparedAsWindowsComparesThem) {
  GuiApp g;
  const std::pair<std::string, std::string> kSame[] = {
      {"\x82\x60.txt", "\x82\x81.txt"},  // full-width A and a
      {"\x83\x9F.txt", "\x83\xBF.txt"},  // Greek alpha
      {"\x84\x40.txt", "\x84\x70.txt"},  // Cyrillic A
  };
  for (const auto& [first, second] : kSame) {
    std::vector<std::string> taken;
    SafeAttachmentName(first, 1, &taken, &g.platform().Files());
    EXPECT_NE(SafeAttachmentName(second, 2, &taken, &g.platform().Files()).find(" (2)"), std::string::npos) << second;
  }
  const std::string dir = TempFolder("zone");
  g.platform().Files().WriteFileReplacing(dir + "\\a.jpg", "x");
  g.platform().Files().MarkFromInternet(dir + "\\a.jpg");
  EXPECT_EQ(ReadBytes(dir + "\\a.jpg:Zone.Identifier"), "[ZoneTransfer]\r\nZoneId=3\r\n");
  EXPECT_EQ(ReadBytes(dir + "\\a.jpg"), "x");
}

}  // namespace
}  // namespace gui
}  // namespace tanavo
