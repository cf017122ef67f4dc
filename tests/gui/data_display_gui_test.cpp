// The data display in the real windows: an index of the bundled samples made
// and loaded through the real dialogs, a record chosen in the record list,
// and one of its attachments opened.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "codec/codec.h"
#include "display/attachment.h"
#include "app/display_window.h"
#include "app/menus.h"
#include "index/index_creation.h"
#include "state/record_index.h"
#include "../support/entries.h"
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

// The record list holds no rows: it is given their count and asks for the
// rows it draws. An index of a million records of a real mobile file, made by
// index creation, opens at once, scrolls to the end and chooses by keyboard
// and mouse as a list of strings does, rendering the record chosen.
TEST(GuiDataDisplay, AMillionRecordsOpenScrollAndChoose) {
  constexpr int kRows = 1000000;
  GuiApp g;
  App& app = g.app();
  std::string mobile;
  mobile.reserve(static_cast<std::size_t>(kRows) * 24);
  for (int n = 1; n <= kRows; ++n) mobile += "<R>\r\nF:" + std::to_string(n) + "\r\n</R>\r\n";
  app.state.mobileFile = std::move(mobile);
  SetTable(app.extraction, {Def("D_SET", "R", "<R>", "</R>"), Item("From", "F:", "\r\n"), Def("D_SET", "R", "<R>", "</R>")});
  app.display.listLineTemplate = "line ??From??";
  app.display.layoutText = "record ??From??";
  SetRecordCapacity(app.index, kAllRecords);
  ASSERT_EQ(CreateIndex(app), 0);
  RecordIndex& index = app.index;
  ASSERT_EQ(index.count, kRows);
  EXPECT_EQ(app.coverage.findings.size(), 0u);
  Responder r;
  g.Command(kCmdDataDisplay);
  EXPECT_TRUE(r.Boxes().empty());
  HWND w = g.WindowOfClass(kDisplayWindowClass);
  HWND list = GetDlgItem(w, kDispRecordList);
  ASSERT_TRUE(GetWindowLongA(list, GWL_STYLE) & LBS_NODATA);
  EXPECT_EQ(SendMessageA(list, LB_GETCOUNT, 0, 0), kRows);
  EXPECT_EQ(SendMessageA(list, LB_GETCURSEL, 0, 0), LB_ERR);
  EXPECT_EQ(GetFocus(), list);
  EXPECT_EQ(WindowText(GetDlgItem(w, kDispLayoutEdit)), "record 1");
  // As high as the rows of the list of strings beside it, in the same font.
  EXPECT_EQ(SendMessageA(list, LB_GETITEMHEIGHT, 0, 0),
            SendMessageA(GetDlgItem(w, kDispAttachmentList), LB_GETITEMHEIGHT, 0, 0));
  Window* display = app.displayWindow->window;
  EXPECT_EQ(display->ListRow(kDispRecordList, 0), "(1)line 1");
  EXPECT_EQ(display->ListRow(kDispRecordList, kRows - 1), "(1000000)line 1000000");
  EXPECT_EQ(display->ListRow(kDispRecordList, kRows), "");
  Checkpoint("data-display-million", w);

  // Only the rows on screen are drawn, so only they are asked for.
  std::vector<int> asked;
  display->ListSetRowSource(kDispRecordList, kRows, [&asked, &index](int row) {
    asked.push_back(row);
    return RecordListRow(index, row + 1);
  });
  UpdateWindow(list);
  EXPECT_FALSE(asked.empty());
  EXPECT_LT(asked.size(), 200u);
  for (int row : asked) EXPECT_LT(row, 100);

  // End: the last row chosen and scrolled into view; the window is told, as
  // a click tells it, and renders that record (there is none behind it here).
  // With no row chosen, a list box takes the first key as choosing the row
  // that has the focus, the first.
  SendMessageA(list, WM_KEYDOWN, VK_END, 0);
  Pump();
  EXPECT_EQ(SendMessageA(list, LB_GETCURSEL, 0, 0), 0);
  asked.clear();
  SendMessageA(list, WM_KEYDOWN, VK_END, 0);
  Pump();
  UpdateWindow(list);
  EXPECT_EQ(SendMessageA(list, LB_GETCURSEL, 0, 0), kRows - 1);
  EXPECT_GT(SendMessageA(list, LB_GETTOPINDEX, 0, 0), kRows - 100);
  EXPECT_EQ(WindowText(GetDlgItem(w, kDispLayoutEdit)), "record 1000000");
  ASSERT_FALSE(asked.empty());
  // The rows at the end, and the first once more as its choice is taken off.
  EXPECT_LT(asked.size(), 200u);
  for (int row : asked) EXPECT_TRUE(row == 0 || row > kRows - 100) << row;
  Checkpoint("data-display-million-end", w);

  // Up and page up move the selection as in any list.
  SendMessageA(list, WM_KEYDOWN, VK_UP, 0);
  EXPECT_EQ(SendMessageA(list, LB_GETCURSEL, 0, 0), kRows - 2);
  SendMessageA(list, WM_KEYDOWN, VK_PRIOR, 0);
  const LRESULT paged = SendMessageA(list, LB_GETCURSEL, 0, 0);
  EXPECT_LT(paged, kRows - 2);
  EXPECT_GT(paged, kRows - 100);

  // A click on the second row shown chooses it.
  const LRESULT top = SendMessageA(list, LB_GETTOPINDEX, 0, 0);
  const int rowHeight = static_cast<int>(SendMessageA(list, LB_GETITEMHEIGHT, 0, 0));
  const LPARAM at = MAKELPARAM(5, rowHeight + rowHeight / 2);
  SendMessageA(list, WM_LBUTTONDOWN, MK_LBUTTON, at);
  SendMessageA(list, WM_LBUTTONUP, 0, at);
  Pump();
  EXPECT_EQ(SendMessageA(list, LB_GETCURSEL, 0, 0), top + 1);
  EXPECT_EQ(WindowText(GetDlgItem(w, kDispLayoutEdit)), "record " + std::to_string(top + 2));

  // Home goes back to the first row.
  SendMessageA(list, WM_KEYDOWN, VK_HOME, 0);
  EXPECT_EQ(SendMessageA(list, LB_GETCURSEL, 0, 0), 0);
  EXPECT_EQ(SendMessageA(list, LB_GETTOPINDEX, 0, 0), 0);
}

}  // namespace
}  // namespace gui
}  // namespace tanavo
