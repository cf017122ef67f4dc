// The data display in the real windows: an index of the bundled samples made
// and loaded through the real dialogs, a record chosen in the record list,
// and one of its attachments opened.
#include <gtest/gtest.h>

#include <string>

#include "codec/codec.h"
#include "display/attachment.h"
#include "app/display_window.h"
#include "app/menus.h"
#include "gui_support.h"

namespace tanavo {
namespace gui {
namespace {


TEST(GuiDataDisplay, RecordsAndAnAttachmentOfTheSamples) {
  const std::string samples = ProgramFolder() + "\\..\\samples";
  const std::string dir = TempFolder("display");
  for (const char* name : {"mail.dat", "mail.kta", "mail.kdp"}) {
    WriteBytes(dir + "\\" + name, ReadBytes(samples + "\\" + name));
  }
  ASSERT_FALSE(ReadBytes(dir + "\\mail.dat").empty());
  const std::string ini = dir + "\\maildat.ini";
  CreateIndexFile(dir + "\\mail.dat", dir + "\\mail.kta", dir + "\\mail.kdp", ini);
  GuiApp g;
  Responder r;
  g.ShowIndexInDataDisplay(r, ini);
  ASSERT_EQ(r.Pending(), 0);
  HWND display = g.WindowOfClass(kDisplayWindowClass);
  ASSERT_TRUE(IsWindowVisible(display));
  HWND recordList = g.ControlOf(kDisplayWindowClass, kDispRecordList);
  const int records = static_cast<int>(SendMessageA(recordList, LB_GETCOUNT, 0, 0));
  EXPECT_EQ(records, g.app().index.count);
  ASSERT_GT(records, 1);
  Checkpoint("data-display-first");

  g.SelectRow(kDispRecordList, 1);
  const std::string second = WindowText(g.ControlOf(kDisplayWindowClass, kDispLayoutEdit));
  EXPECT_FALSE(second.empty());
  EXPECT_NE(second, g.app().display.layoutText);

  // The first mail with attachments.
  HWND attachments = g.ControlOf(kDisplayWindowClass, kDispAttachmentList);
  int mail = -1;
  for (int row = 0; row < records && mail < 0; ++row) {
    g.SelectRow(kDispRecordList, row);
    if (IsWindowVisible(attachments) && SendMessageA(attachments, LB_GETCOUNT, 0, 0) > 0) mail = row;
  }
  ASSERT_GE(mail, 0) << "no sample mail has an attachment";
  EXPECT_EQ(WindowText(g.ControlOf(kDisplayWindowClass, kDispAttachmentLabel)), "添付ファイル");
  Checkpoint("data-display-attachments");

  g.app().state.programFolder = dir;  // the temporary file goes beside the test files
  const std::string ext = TemporaryExtension(g.app().attachments.names[1], '\\');
  g.SelectRow(kDispAttachmentList, 0);
  EXPECT_EQ(ReadBytes(dir + "\\temp." + ext), DecodeBase64(g.app().attachments.contents[1]));
  EXPECT_EQ(WindowText(g.ControlOf(kDisplayWindowClass, kDispAttachmentLabel)), "添付ファイル");
  EXPECT_EQ(WindowText(g.ControlOf(kDisplayWindowClass, kDispStatusText)), "");
}

}  // namespace
}  // namespace gui
}  // namespace tanavo
