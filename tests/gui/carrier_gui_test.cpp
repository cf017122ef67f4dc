// Carrier emoji in the real data display: an au phone mail, its emoji in the
// mail's JIS codes, shown as marks that name them and counted in the status
// text. The checkpoint is the picture of it.
#include <gtest/gtest.h>

#include <string>

#include "app/display_window.h"
#include "dispset/kdp_file.h"
#include "extract/kta_file.h"
#include "extract/settings.h"
#include "gui_support.h"
#include "mime/full_choice.h"

namespace tanavo {
namespace gui {
namespace {

std::string MailSettings() {
  TagDefinition record;
  record.kind = "D_SET";
  record.name = "D_SET";
  record.rangeStartTag = "<MAIL>";
  record.rangeEndTag = "</MAIL>";
  std::string kta = EncodeEntry(record);
  for (const char* name : {"Date", "From", "Subject", "Body"}) {
    TagDefinition e;
    e.kind = "Data";
    e.name = name;
    e.rangeStartTag = "<MAIL>\r\n";
    e.rangeEndTag = "</MAIL>";
    SetFullMimeEntry(e, true);
    kta += EncodeEntry(e);
  }
  return kta + EncodeEntry(record);
}

std::size_t Count(const std::string& text, const std::string& what) {
  std::size_t n = 0;
  for (std::size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + what.size())) ++n;
  return n;
}

TEST(GuiCarrierEmoji, AuMailShowsMarksCountedInTheDataDisplay) {
  const std::string mail = ReadBytes(ProgramFolder() + "\\..\\tests\\data\\mail\\jpmobile-au-attached.eml");
  ASSERT_FALSE(mail.empty());
  const std::string dir = TempFolder("carrier");
  WriteBytes(dir + "\\mail.dat", "<MAIL>\r\n" + mail + "</MAIL>\r\n");
  WriteBytes(dir + "\\mail.kta", MailSettings());
  WriteBytes(dir + "\\mail.kdp", BuildDisplaySettingsFile("??Subject??", "日付  : ??Date??\r\n差出人: ??From??\r\n"
                                                                          "件名  : ??Subject??\r\n\r\n??Body??"));
  const std::string ini = dir + "\\maildat.ini";
  CreateIndexFile(dir + "\\mail.dat", dir + "\\mail.kta", dir + "\\mail.kdp", ini);
  GuiApp g;
  Responder r;
  g.ShowIndexInDataDisplay(r, ini);
  ASSERT_EQ(r.Pending(), 0);
  HWND display = g.WindowOfClass(kDisplayWindowClass);
  ASSERT_TRUE(IsWindowVisible(display));

  g.SelectRow(kDispRecordList, 0);
  const std::string shown = WindowText(g.ControlOf(kDisplayWindowClass, kDispLayoutEdit));
  EXPECT_NE(shown.find("件名  : 題名x〓[警告]\r\n"), std::string::npos) << shown;
  // No byte of an emoji code reaches the window, where code page 932 would
  // draw it as a dot.
  EXPECT_EQ(shown.find("x\xEB\x59"), std::string::npos) << shown;
  const std::size_t marks = Count(shown, "〓[");
  EXPECT_GE(marks, 2u);
  EXPECT_EQ(WindowText(g.ControlOf(kDisplayWindowClass, kDispStatusText)), "絵文字: " + std::to_string(marks));
  // The record list's line shows the mark too; the index keeps the bytes.
  EXPECT_EQ(g.app().displayWindow->window->ListRow(kDispRecordList, 0), "(1)題名x〓[警告]");
  EXPECT_EQ(g.app().index.lines[1], "題名x\xEB\x59");
  Checkpoint("carrier-emoji-au", display);
  EXPECT_TRUE(r.Boxes().empty());
}

}  // namespace
}  // namespace gui
}  // namespace tanavo
