// The real display settings editor and Data name list: typing, closing,
// reopening, saving through the dialog and the layouts of both modes.
#include <gtest/gtest.h>

#include "app/display_window.h"
#include "app/name_list_window.h"
#include "gui_support.h"

namespace tanavo {
namespace gui {
namespace {

constexpr int kCmdDisplaySettingsEditor = 1057;

RECT ClientRectOf(HWND parent, int id) {
  RECT r{};
  HWND c = GetDlgItem(parent, id);
  GetWindowRect(c, &r);
  MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&r), 2);
  return r;
}

void ExpectRect(HWND parent, int id, int x, int y, int w, int h) {
  RECT r = ClientRectOf(parent, id);
  EXPECT_EQ(r.left, x) << "control " << id;
  EXPECT_EQ(r.top, y) << "control " << id;
  EXPECT_EQ(r.right - r.left, w) << "control " << id;
  EXPECT_EQ(r.bottom - r.top, h) << "control " << id;
}

// List boxes keep to whole rows: the platform trims the height asked for to
// the last row that fits.
void ExpectListRect(HWND parent, int id, int x, int y, int w, int h) {
  RECT r = ClientRectOf(parent, id);
  EXPECT_EQ(r.left, x) << "control " << id;
  EXPECT_EQ(r.top, y) << "control " << id;
  EXPECT_EQ(r.right - r.left, w) << "control " << id;
  int row = static_cast<int>(SendMessageA(GetDlgItem(parent, id), LB_GETITEMHEIGHT, 0, 0));
  EXPECT_LE(r.bottom - r.top, h) << "control " << id;
  EXPECT_GT(r.bottom - r.top, h - row) << "control " << id;
}

bool ControlVisible(HWND parent, int id) { return IsWindowVisible(GetDlgItem(parent, id)) != 0; }

void SetControlText(HWND parent, int id, const std::string& text) {
  SendMessageA(GetDlgItem(parent, id), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()));
}

TEST(GuiDisplaySettings, TypedTextsSurviveCloseAndReopen) {
  GuiApp g;
  g.app().extraction.entries[0] = TagDefinition{};
  g.app().extraction.entries[0].kind = "D_SET";
  g.app().extraction.entries[0].name = "メール";
  g.app().extraction.entries[1].kind = "Data";
  g.app().extraction.entries[1].name = "From";
  g.app().extraction.entries[2].kind = "Data";
  g.app().extraction.entries[2].name = "件名";
  g.Command(kCmdDisplaySettingsEditor);
  HWND w = g.WindowOfClass(kDisplayWindowClass);
  HWND names = g.WindowOfClass(kNameListWindowClass);
  ASSERT_NE(w, nullptr);
  EXPECT_TRUE(IsWindowVisible(w));
  EXPECT_TRUE(IsWindowVisible(names));
  EXPECT_EQ(WindowText(GetDlgItem(w, kDispTitle)), "表示設定");
  for (int id : {kDispTitle, kDispClose, kDispSave, kDispTemplateEdit, kDispLayoutEdit})
    EXPECT_TRUE(ControlVisible(w, id)) << id;
  for (int id : {kDispRecordList, kDispAttachmentList, kDispAttachmentLabel, kDispStatusText})
    EXPECT_FALSE(ControlVisible(w, id)) << id;
  EXPECT_EQ(SendMessageA(GetDlgItem(w, kDispTemplateEdit), EM_GETLIMITTEXT, 0, 0), 1024);
  EXPECT_EQ(SendMessageA(GetDlgItem(w, kDispLayoutEdit), EM_GETLIMITTEXT, 0, 0), 262144);
  EXPECT_EQ(WindowText(GetDlgItem(names, kNameListEdit)), "From\r\n件名\r\n");
  RECT nc;
  GetClientRect(names, &nc);
  ExpectRect(names, kNameListEdit, 0, 0, nc.right, nc.bottom);

  SetControlText(w, kDispTemplateEdit, "??From?? ??件名??");
  SetControlText(w, kDispLayoutEdit, "差出人: ??From??\r\n件名: ??件名??");
  Checkpoint("display-settings-editor");
  g.Click(kDisplayWindowClass, kDispClose);
  EXPECT_FALSE(IsWindowVisible(w));
  EXPECT_FALSE(IsWindowVisible(names));
  EXPECT_EQ(g.app().display.listLineTemplate, "??From?? ??件名??");
  EXPECT_EQ(g.app().display.layoutText, "差出人: ??From??\r\n件名: ??件名??");

  SetControlText(w, kDispTemplateEdit, "not taken over");
  g.Command(kCmdDisplaySettingsEditor);
  EXPECT_TRUE(IsWindowVisible(w));
  EXPECT_EQ(WindowText(GetDlgItem(w, kDispTemplateEdit)), "??From?? ??件名??");
  EXPECT_EQ(WindowText(GetDlgItem(w, kDispLayoutEdit)), "差出人: ??From??\r\n件名: ??件名??");
  // Beside the editor, where a user would put it, so that the picture shows both.
  SetWindowPos(names, nullptr, 800, 0, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  Pump();
  Checkpoint("display-settings-name-list");

  // A close request hides the windows; the menu command brings them back.
  SendMessageA(w, WM_CLOSE, 0, 0);
  SendMessageA(names, WM_CLOSE, 0, 0);
  Pump();
  EXPECT_TRUE(IsWindow(w));
  EXPECT_TRUE(IsWindow(names));
  EXPECT_FALSE(IsWindowVisible(w));
  g.Command(kCmdDisplaySettingsEditor);
  EXPECT_TRUE(IsWindowVisible(w));
}

TEST(GuiDisplaySettings, SavedThroughTheDialogByteForByte) {
  std::string path = TempFolder("kdp") + "\\mail.kdp";
  DeleteFileA(path.c_str());  // left by an earlier run with the same process id
  GuiApp g;
  Responder r;
  g.Command(kCmdDisplaySettingsEditor);
  HWND w = g.WindowOfClass(kDisplayWindowClass);
  SetControlText(w, kDispTemplateEdit, "??From??");
  SetControlText(w, kDispLayoutEdit, "");
  r.AnswerFile(path);
  g.Click(kDisplayWindowClass, kDispSave);
  EXPECT_EQ(r.Pending(), 0);
  EXPECT_EQ(ReadBytes(path), "Pz9Gcm9tPz8=\r\nAA==");
  EXPECT_EQ(g.StatusText(4), "表示: mail.kdp");
  EXPECT_TRUE(r.Boxes().empty());

  // Saved again over the file, after the dialog's overwrite question.
  SetControlText(w, kDispLayoutEdit, "L");
  r.AnswerFile(path);
  r.PressBox(IDYES);
  g.Click(kDisplayWindowClass, kDispSave);
  EXPECT_EQ(r.Pending(), 0);
  EXPECT_EQ(ReadBytes(path), "Pz9Gcm9tPz8=\r\nTAA=");

  // Read back through the menu command.
  g.app().display.listLineTemplate.clear();
  g.app().display.layoutText.clear();
  r.AnswerFile(path);
  g.Command(1049);
  EXPECT_EQ(r.Pending(), 0);
  EXPECT_EQ(g.app().display.listLineTemplate, "??From??");
  EXPECT_EQ(g.app().display.layoutText, "L");
  EXPECT_EQ(g.StatusText(0), "");
}

TEST(GuiDisplaySettings, EachModeLaysTheControlsOutOnResize) {
  GuiApp g;
  g.Command(kCmdDisplaySettingsEditor);
  HWND w = g.WindowOfClass(kDisplayWindowClass);
  for (int outer : {790, 1100, 500}) {
    SetWindowPos(w, nullptr, 0, 0, outer, outer * 3 / 4, SWP_NOMOVE | SWP_NOZORDER);
    Pump();
    RECT rc;
    GetClientRect(w, &rc);
    int cw = rc.right, ch = rc.bottom;
    ExpectRect(w, kDispTitle, 10, 10, 100, 25);
    ExpectRect(w, kDispClose, cw - 80, 5, 60, 25);
    ExpectRect(w, kDispSave, cw - 180, 5, 70, 25);
    ExpectRect(w, kDispTemplateEdit, 0, 40, cw - 15, 25);
    ExpectRect(w, kDispLayoutEdit, 0, 70, cw, ch - 70);
  }

  g.app().display.mode = "DISP";  // as the data display leaves it
  for (int outer : {790, 1100, 600}) {
    SetWindowPos(w, nullptr, 0, 0, outer, outer * 3 / 4, SWP_NOMOVE | SWP_NOZORDER);
    Pump();
    RECT rc;
    GetClientRect(w, &rc);
    int cw = rc.right, ch = rc.bottom;
    ExpectRect(w, kDispTemplateEdit, 110, 5, cw - 300, 30);
    ExpectListRect(w, kDispRecordList, 0, 40, cw, 200);
    ExpectRect(w, kDispLayoutEdit, 0, 245, cw, ch - 305);
    ExpectListRect(w, kDispAttachmentList, 100, ch - 55, cw - 250, 50);
    ExpectRect(w, kDispAttachmentLabel, 0, ch - 35, 100, 25);
    ExpectRect(w, kDispStatusText, cw - 150, ch - 35, 150, 25);
  }
}

}  // namespace
}  // namespace gui
}  // namespace tanavo
