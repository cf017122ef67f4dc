// The case file in the real data display: a Japanese search with its hit
// count, the next hit, the sort button, a tag with a note through the tag
// window and the filter to tagged records. The checkpoints are the pictures
// of the manual's chapter on search.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/case_display.h"
#include "app/display_window.h"
#include "app/tag_window.h"
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

struct Sent {
  const char* date;
  const char* from;
  const char* subject;
  const char* body;
};

// 会議 is in mails 1, 3 and 6; by time they come 6, 3, 1.
const Sent kMails[] = {
    {"Fri, 12 Apr 2013 18:20:00 +0900", "tanaka@example.jp", "来週の予定", "来週の会議は水曜の十時からです。"},
    {"Mon, 1 Apr 2013 09:00:00 +0900", "suzuki@example.jp", "お花見", "桜が満開です。土曜にお花見をしませんか。"},
    {"Wed, 10 Apr 2013 13:05:00 +0900", "sato@example.jp", "議事録", "本日の会議の議事録を添えます。"},
    {"Thu, 4 Apr 2013 21:40:00 +0900", "yamada@example.jp", "Re: お花見", "行きます！お弁当を持っていきます。"},
    {"Sat, 6 Apr 2013 10:15:00 +0900", "ito@example.jp", "写真", "昨日の写真を送ります。"},
    {"Tue, 9 Apr 2013 08:30:00 +0900", "kato@example.jp", "会議室の予約", "会議室Ａを十時から押さえました。"},
};

std::string Dump() {
  std::string dump;
  for (const Sent& m : kMails) {
    dump += std::string("<MAIL>\r\nDate: ") + m.date + "\r\nFrom: " + m.from + "\r\nSubject: " + m.subject +
            "\r\nContent-Type: text/plain; charset=Shift_JIS\r\n\r\n" + m.body + "\r\n</MAIL>\r\n";
  }
  return dump;
}

TEST(GuiCase, SearchSortAndTagsInTheDataDisplay) {
  const std::string dir = TempFolder("case");
  WriteBytes(dir + "\\mail.dat", Dump());
  WriteBytes(dir + "\\mail.kta", MailSettings());
  WriteBytes(dir + "\\mail.kdp",
             BuildDisplaySettingsFile("??Date                          ????From              ????Subject??",
                                      "日付  : ??Date??\r\n差出人: ??From??\r\n件名  : ??Subject??\r\n\r\n??Body??"));
  const std::string ini = dir + "\\maildat.ini";
  CreateIndexFile(dir + "\\mail.dat", dir + "\\mail.kta", dir + "\\mail.kdp", ini);
  GuiApp g;
  Responder r;
  g.ShowIndexInDataDisplay(r, ini);
  ASSERT_EQ(r.Pending(), 0);
  HWND display = g.WindowOfClass(kDisplayWindowClass);
  ASSERT_TRUE(IsWindowVisible(display));
  Window& d = *g.app().displayWindow->window;
  ASSERT_EQ(d.ListCount(kDispRecordList), 6);
  EXPECT_FALSE(IsWindowVisible(g.ControlOf(kDisplayWindowClass, kDispHitCount)));
  EXPECT_TRUE(IsWindowVisible(g.ControlOf(kDisplayWindowClass, kDispSearchEdit)));

  // A Japanese word typed in the field: the case is made, the hits listed.
  SetWindowTextA(g.ControlOf(kDisplayWindowClass, kDispSearchEdit), "会議");
  g.Click(kDisplayWindowClass, kDispSearchButton);
  EXPECT_EQ(d.Text(kDispHitCount), "ヒット 3件");
  ASSERT_EQ(d.ListCount(kDispRecordList), 3);
  EXPECT_EQ(d.ListRow(kDispRecordList, 1).rfind("(3)", 0), 0u) << d.ListRow(kDispRecordList, 1);
  EXPECT_EQ(d.ListSelection(kDispRecordList), 0);
  EXPECT_NE(d.Text(kDispLayoutEdit).find("来週の会議"), std::string::npos);
  g.Click(kDisplayWindowClass, kDispNextHit);
  EXPECT_EQ(d.ListSelection(kDispRecordList), 1);
  EXPECT_NE(d.Text(kDispLayoutEdit).find("本日の会議"), std::string::npos);
  Checkpoint("case-search", display);

  // By time, the hits and then all records.
  g.Click(kDisplayWindowClass, kDispSortButton);
  EXPECT_EQ(d.Text(kDispSortButton), "時刻順");
  const int byTime[] = {6, 3, 1};
  for (int row = 0; row < 3; ++row) {
    EXPECT_EQ(d.ListRow(kDispRecordList, row).rfind("(" + std::to_string(byTime[row]) + ")", 0), 0u);
  }
  g.Click(kDisplayWindowClass, kDispAllRecords);
  EXPECT_EQ(d.ListCount(kDispRecordList), 6);
  EXPECT_EQ(d.ListRow(kDispRecordList, 0).rfind("(2)", 0), 0u);
  EXPECT_FALSE(IsWindowVisible(g.ControlOf(kDisplayWindowClass, kDispHitCount)));

  // A tag with a note on the record on display (3, the minutes).
  g.Click(kDisplayWindowClass, kDispTagButton);
  HWND tags = g.WindowOfClass(kTagWindowClass);
  ASSERT_TRUE(IsWindowVisible(tags));
  EXPECT_EQ(WindowText(GetDlgItem(tags, kTagRecordText)).rfind("(3)", 0), 0u);
  SetWindowTextA(GetDlgItem(tags, kTagNoteEdit), "出席者の確認が必要");
  g.Click(kTagWindowClass, kTagAddButton);
  EXPECT_EQ(SendMessageA(GetDlgItem(tags, kTagList), LB_GETCOUNT, 0, 0), 1);
  const int row = d.ListSelection(kDispRecordList);
  EXPECT_EQ(d.ListRow(kDispRecordList, row).rfind("★(3)", 0), 0u) << d.ListRow(kDispRecordList, row);
  Checkpoint("case-tag");

  // The filter: the tagged record alone.
  SendMessageA(g.ControlOf(kDisplayWindowClass, kDispTaggedOnly), BM_CLICK, 0, 0);
  Pump();
  EXPECT_EQ(SendMessageA(g.ControlOf(kDisplayWindowClass, kDispTaggedOnly), BM_GETCHECK, 0, 0), BST_CHECKED);
  EXPECT_EQ(d.ListCount(kDispRecordList), 1);
  EXPECT_EQ(d.Text(kDispHitCount), "タグ 1件");
  g.Click(kTagWindowClass, kTagClose);
  EXPECT_FALSE(IsWindowVisible(tags));
  Checkpoint("case-tagged", display);

  // Enter in the search field searches as the button does.
  SendMessageA(g.ControlOf(kDisplayWindowClass, kDispTaggedOnly), BM_CLICK, 0, 0);
  Pump();
  HWND field = g.ControlOf(kDisplayWindowClass, kDispSearchEdit);
  SetWindowTextA(field, "会議");
  SendMessageA(field, WM_KEYDOWN, VK_RETURN, 0);
  SendMessageA(field, WM_CHAR, '\r', 0);
  Pump();
  EXPECT_EQ(d.Text(kDispHitCount), "ヒット 3件");
  EXPECT_EQ(d.ListCount(kDispRecordList), 3);
  EXPECT_EQ(WindowText(field), "会議");
  EXPECT_TRUE(r.Boxes().empty());
}

}  // namespace
}  // namespace gui
}  // namespace tanavo
