// The real settings check result window: the check button of the extraction
// settings window, going on and back, the layout and closing.
#include <gtest/gtest.h>

#include <string>

#include "display/item_decoder.h"
#include "app/result_window.h"
#include "app/extraction_window.h"
#include "extract/kta_file.h"
#include "files/extraction_file.h"
#include "gui_support.h"
#include "../support/entries.h"

namespace tanavo {
namespace gui {
namespace {

constexpr int kCmdOpenMobile = 1047;
constexpr int kCmdLoadSettings = 1048;
constexpr int kCheckButton = 1013;

// One settings file entry as the program saves it.
std::string KtaEntry(const std::string& kind, const std::string& name, const std::string& start,
                     const std::string& end) {
  return EncodeEntry(Flagged(Def(kind, name, start, end), false, false));
}

const std::string kRecords[] = {"<R>\r\nF:一通目\r\n</R>", "<R>\r\nF:二通目\r\n</R>", "<R>\r\nF:三通目\r\n</R>"};
const std::string kItems[] = {"F:一通目\r\n", "F:二通目\r\n", "F:三通目\r\n"};

std::string Shown(App& app, int record) {
  return "D_SET\r\n" + kRecords[record] + "\r\n\r\nData01\r\n" + kItems[record] + "\r\n抽出結果\r\n" +
         DecodeItem(app, 1, kItems[record], TextOnlyDecoding()).text + "\r\n\r\n";
}

TEST(GuiTrialExtraction, CheckThenNextAndBackInTheRealWindows) {
  std::string dir = TempFolder("trial");
  WriteBytes(dir + "\\phone.dat", kRecords[0] + "\r\n" + kRecords[1] + "\r\n" + kRecords[2] + "\r\n");
  WriteBytes(dir + "\\mail.kta", KtaEntry("D_SET", "D_SET", "<R>", "</R>") + KtaEntry("Data", "Data01", "F:", "\r\n") +
                                     KtaEntry("D_SET", "D_SET", "<R>", "</R>"));
  GuiApp g;
  Responder r;
  r.AnswerFile(dir + "\\phone.dat");
  g.Command(kCmdOpenMobile);
  r.AnswerFile(dir + "\\mail.kta");
  g.Command(kCmdLoadSettings);
  ASSERT_EQ(r.Pending(), 0);

  HWND result = g.WindowOfClass(kResultWindowClass);
  HWND view = g.ControlOf(kResultWindowClass, kResultTextView);
  EXPECT_FALSE(IsWindowVisible(result));
  g.Click(kExtractionWindowClass, kCheckButton);
  EXPECT_TRUE(IsWindowVisible(result));
  EXPECT_EQ(WindowText(view), Shown(g.app(), 0));
  Checkpoint("result-window");

  g.Click(kResultWindowClass, kResultNextButton);
  EXPECT_EQ(WindowText(view), Shown(g.app(), 1));
  g.Click(kResultWindowClass, kResultNextButton);
  EXPECT_EQ(WindowText(view), Shown(g.app(), 2));
  r.PressBox(IDOK, "no-dset-warning");
  g.Click(kResultWindowClass, kResultNextButton);  // no fourth record
  EXPECT_EQ(r.Pending(), 0);
  std::vector<SeenBox> boxes = r.Boxes();
  ASSERT_EQ(boxes.size(), 1u);
  EXPECT_EQ(boxes[0].caption, "警告");
  EXPECT_EQ(boxes[0].text, "D_SETタグが検出されませんでした!!");
  EXPECT_EQ(WindowText(view), Shown(g.app(), 2));
  g.Click(kResultWindowClass, kResultBackButton);
  EXPECT_EQ(WindowText(view), Shown(g.app(), 1));

  SetWindowPos(result, nullptr, 0, 0, 600, 420, SWP_NOMOVE | SWP_NOZORDER);
  Pump();
  RECT client, next;
  GetClientRect(result, &client);
  GetWindowRect(g.ControlOf(kResultWindowClass, kResultNextButton), &next);
  MapWindowPoints(nullptr, result, reinterpret_cast<POINT*>(&next), 2);
  EXPECT_EQ(next.left, client.right - 50);
  EXPECT_EQ(next.top, client.bottom - 25);
  RECT viewRect;
  GetWindowRect(view, &viewRect);
  EXPECT_EQ(viewRect.right - viewRect.left, client.right);
  EXPECT_EQ(viewRect.bottom - viewRect.top, client.bottom - 60);
  Checkpoint("result-window-resized");

  g.Click(kResultWindowClass, kResultCloseButton);
  EXPECT_FALSE(IsWindowVisible(result));
  EXPECT_EQ(WindowText(view), "");
}

}  // namespace
}  // namespace gui
}  // namespace tanavo
