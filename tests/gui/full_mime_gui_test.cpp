// Full decoding in the real data display: a UTF-8 mail from a phone and a
// nested HTML mail, each inside a vMessage record, read through the Windows
// charset converter. The checkpoints are the pictures in docs/images/.
#include <gtest/gtest.h>

#include <string>

#include "../full_mime_sample_mails.h"
#include "app/display_window.h"
#include "dispset/kdp_file.h"
#include "extract/kta_file.h"
#include "extract/settings.h"
#include "app/menus.h"
#include "gui_support.h"
#include "mime/full_choice.h"

namespace tanavo {
namespace gui {
namespace {


std::string VMessage(const std::string& from, const std::string& mail) {
  return "BEGIN:VMSG\r\nVERSION:1.1\r\nX-IRMS-BOX:INBOX\r\nBEGIN:VCARD\r\nVERSION:2.1\r\nEMAIL:" + from +
         "\r\nEND:VCARD\r\nBEGIN:VENV\r\nBEGIN:VBODY\r\n" + mail + "END:VBODY\r\nEND:VENV\r\nEND:VMSG\r\n";
}

std::string FullMimeSettings() {
  TagDefinition record;
  record.kind = "D_SET";
  record.name = "D_SET";
  record.rangeStartTag = "BEGIN:VMSG";
  record.rangeEndTag = "END:VMSG";
  std::string kta = EncodeEntry(record);
  for (const char* name : {"Date", "From", "To", "Subject", "Body"}) {
    TagDefinition e;
    e.kind = "Data";
    e.name = name;
    e.rangeStartTag = "BEGIN:VBODY\r\n";
    e.rangeEndTag = "END:VBODY";
    SetFullMimeEntry(e, true);
    kta += EncodeEntry(e);
  }
  return kta + EncodeEntry(record);
}

TEST(GuiFullMime, PhoneAndNestedHtmlMailInTheDataDisplay) {
  const std::string dir = TempFolder("fullmime");
  WriteBytes(dir + "\\mail.dat", VMessage("taro.yamada@example.jp", Utf8JapaneseMail()) +
                                     VMessage("ichiro.suzuki@example.co.jp", NestedHtmlMail()));
  WriteBytes(dir + "\\mail.kta", FullMimeSettings());
  WriteBytes(dir + "\\mail.kdp",
             BuildDisplaySettingsFile("??Date??  ??Subject??",
                                      "日付  : ??Date??\r\n差出人: ??From??\r\n宛先  : ??To??\r\n件名  : ??Subject??\r\n"
                                      "\r\n??Body??"));
  const std::string ini = dir + "\\maildat.ini";
  CreateIndexFile(dir + "\\mail.dat", dir + "\\mail.kta", dir + "\\mail.kdp", ini);
  GuiApp g;
  Responder r;
  g.ShowIndexInDataDisplay(r, ini);
  ASSERT_EQ(r.Pending(), 0);
  HWND display = g.WindowOfClass(kDisplayWindowClass);
  ASSERT_TRUE(IsWindowVisible(display));
  ASSERT_EQ(g.app().index.count, 2);

  g.SelectRow(kDispRecordList, 0);
  const std::string phone = WindowText(g.ControlOf(kDisplayWindowClass, kDispLayoutEdit));
  EXPECT_NE(phone.find("件名  : 週末の予定について\r\n"), std::string::npos) << phone;
  EXPECT_NE(phone.find("美術館に変更です〓"), std::string::npos) << phone;
  EXPECT_EQ(WindowText(g.ControlOf(kDisplayWindowClass, kDispStatusText)), "変換不能: 1箇所");
  Checkpoint("full-mime-utf8", display);

  g.SelectRow(kDispRecordList, 1);
  const std::string html = WindowText(g.ControlOf(kDisplayWindowClass, kDispLayoutEdit));
  EXPECT_NE(html.find("件名  : 明日の会議資料 (予算と日程)\r\n"), std::string::npos) << html;
  EXPECT_NE(html.find("明日の会議資料を添付します。"), std::string::npos) << html;
  HWND attachments = g.ControlOf(kDisplayWindowClass, kDispAttachmentList);
  EXPECT_TRUE(IsWindowVisible(attachments));
  EXPECT_EQ(SendMessageA(attachments, LB_GETCOUNT, 0, 0), 2);
  EXPECT_EQ(g.app().attachments.names[2], "資料.png");
  EXPECT_EQ(WindowText(g.ControlOf(kDisplayWindowClass, kDispStatusText)), "");
  Checkpoint("full-mime-nested-html", display);
  EXPECT_TRUE(r.Boxes().empty());
}

}  // namespace
}  // namespace gui
}  // namespace tanavo
