// The real extraction settings and detail settings windows: a table built by
// clicking, details applied, saved through the dialog byte for byte and read
// back through the menu.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/detail_window.h"
#include "app/extraction_window.h"
#include "gui_support.h"

namespace tanavo {
namespace gui {
namespace {

constexpr int kCmdLoadExtractionSettings = 1048;
constexpr int kCmdExtractionSettings = 1056;

void ExpectRect(HWND parent, int id, int x, int y, int w, int h) {
  RECT r{};
  GetWindowRect(GetDlgItem(parent, id), &r);
  MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&r), 2);
  EXPECT_EQ(r.left, x) << "control " << id;
  EXPECT_EQ(r.top, y) << "control " << id;
  EXPECT_EQ(r.right - r.left, w) << "control " << id;
  if (id != kExtList) {  // a list keeps to whole rows
    EXPECT_EQ(r.bottom - r.top, h) << "control " << id;
  }
}

std::vector<std::string> ListLines(HWND w) {
  HWND list = GetDlgItem(w, kExtList);
  std::vector<std::string> out;
  int n = static_cast<int>(SendMessageA(list, LB_GETCOUNT, 0, 0));
  for (int i = 0; i < n; ++i) {
    std::string row(static_cast<std::size_t>(SendMessageA(list, LB_GETTEXTLEN, i, 0)) + 1, '\0');
    int got = static_cast<int>(SendMessageA(list, LB_GETTEXT, i, reinterpret_cast<LPARAM>(&row[0])));
    row.resize(got > 0 ? static_cast<std::size_t>(got) : 0);
    out.push_back(row);
  }
  return out;
}

void SelectLine(HWND w, int row) { SendMessageA(GetDlgItem(w, kExtList), LB_SETCURSEL, row, 0); }

void SetControlText(HWND parent, int id, const std::string& text) {
  SendMessageA(GetDlgItem(parent, id), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()));
}

// A value padded to its 50-byte field.
std::string F(const std::string& v) { return v + std::string(50 - v.size(), ' '); }

// An entry in the file's order of fields, for one with only these fields set.
std::string Entry(const std::string& kind, const std::string& name, const std::string& rangeStart = "",
                  const std::string& rangeEnd = "", const std::string& multiple = "",
                  const std::string& afterPrevious = "") {
  return F("") + F("") + F("") + F("") + F("") + F("") + F("") + F("") + F(afterPrevious) + F(multiple) +
         F(name) + F(rangeEnd) + F(rangeStart) + F(kind) + F("") + F("");
}

TEST(GuiExtractionSettings, BuiltByClickingSavedAndReadBack) {
  std::string path = TempFolder("kta") + "\\mail.kta";
  DeleteFileA(path.c_str());
  GuiApp g;
  Responder r;
  g.Command(kCmdExtractionSettings);
  HWND w = g.WindowOfClass(kExtractionWindowClass);
  ASSERT_NE(w, nullptr);
  EXPECT_TRUE(IsWindowVisible(w));
  EXPECT_EQ(WindowText(w), "データ抽出設定");

  // Beside the main window, 20 pixels below its top, within the screen.
  WINDOWPLACEMENT mp{}, wp{};
  mp.length = sizeof mp;
  wp.length = sizeof wp;
  GetWindowPlacement(g.Main(), &mp);
  GetWindowPlacement(w, &wp);
  int width = wp.rcNormalPosition.right - wp.rcNormalPosition.left;
  EXPECT_EQ(width, 283);
  EXPECT_EQ(wp.rcNormalPosition.bottom - wp.rcNormalPosition.top, 361);
  int screen = GetSystemMetrics(SM_CXSCREEN);
  int left = mp.rcNormalPosition.right + width > screen ? screen - width : mp.rcNormalPosition.right;
  EXPECT_EQ(wp.rcNormalPosition.left, left);
  EXPECT_EQ(wp.rcNormalPosition.top, mp.rcNormalPosition.top + 20);

  ExpectRect(w, kExtAddDSet, 14, 54, 100, 25);
  ExpectRect(w, kExtAddGroup, 14, 107, 100, 25);
  ExpectRect(w, kExtList, 132, 30, 131, 260);
  ExpectRect(w, kExtAddData, 14, 161, 100, 25);
  ExpectRect(w, kExtDelete, 35, 249, 60, 25);
  ExpectRect(w, kExtClose, 219, 5, 40, 20);
  ExpectRect(w, kExtDetails, 35, 300, 60, 25);
  ExpectRect(w, kExtSave, 130, 5, 60, 20);
  ExpectRect(w, kExtCheck, 170, 300, 60, 25);
  EXPECT_EQ(WindowText(GetDlgItem(w, kExtCheck)), "確　　認");
  EXPECT_EQ(WindowText(GetDlgItem(w, kExtGroupCaption)), "グループデータの区切り");

  g.Click(kExtractionWindowClass, kExtAddDSet);
  g.Click(kExtractionWindowClass, kExtAddGroup);
  g.Click(kExtractionWindowClass, kExtAddData);
  g.Click(kExtractionWindowClass, kExtAddData);
  EXPECT_EQ(ListLines(w), (std::vector<std::string>{"D_SET", " Group01", "  Data01", "  Data02", " Group01", "D_SET"}));

  // Details of Data01: a default name is refused first.
  SelectLine(w, 2);
  g.Click(kExtractionWindowClass, kExtDetails);
  HWND d = g.WindowOfClass(kDetailWindowClass);
  ASSERT_NE(d, nullptr);
  EXPECT_TRUE(IsWindowVisible(d));
  EXPECT_EQ(WindowText(GetDlgItem(d, kDetailTitle)), "Data01の詳細設定");
  EXPECT_EQ(SendMessageA(GetDlgItem(d, kDetailName), EM_GETLIMITTEXT, 0, 0), 203);
  EXPECT_TRUE(IsWindowEnabled(GetDlgItem(d, kDetailContentStart)));
  EXPECT_TRUE(IsWindowVisible(GetDlgItem(d, kDetailApplyToMultiple)));
  r.PressBox(IDOK);
  g.Click(kDetailWindowClass, kDetailFinish);
  EXPECT_EQ(r.Pending(), 0);
  ASSERT_EQ(r.Boxes().size(), 1u);
  EXPECT_EQ(r.Boxes()[0].caption, "変数のテスト");
  EXPECT_EQ(r.Boxes()[0].text, "データ名称が設定されていません!!");
  EXPECT_TRUE(IsWindowVisible(d));

  SetControlText(d, kDetailName, "Subject");
  SetControlText(d, kDetailRangeStart, "Subject:");
  SetFocus(GetDlgItem(d, kDetailRangeStart));  // the token buttons use the field focused last
  Pump();
  g.Click(kDetailWindowClass, kDetailTokenSpace);
  EXPECT_EQ(WindowText(GetDlgItem(d, kDetailRangeStart)), "Subject:[SP]");
  SetControlText(d, kDetailRangeEnd, "[CR][LF]");
  SendMessageA(GetDlgItem(d, kDetailApplyToMultiple), BM_CLICK, 0, 0);
  Pump();
  EXPECT_EQ(SendMessageA(GetDlgItem(d, kDetailApplyToMultiple), BM_GETCHECK, 0, 0), BST_CHECKED);
  Checkpoint("detail-settings");
  g.Click(kDetailWindowClass, kDetailFinish);
  EXPECT_FALSE(IsWindowVisible(d));
  EXPECT_EQ(ListLines(w)[2], "  Subject");
  EXPECT_EQ(SendMessageA(GetDlgItem(w, kExtList), LB_GETCURSEL, 0, 0), 2);

  // A D_SET shows no flags and greys out the content tags.
  SelectLine(w, 0);
  g.Click(kExtractionWindowClass, kExtDetails);
  EXPECT_FALSE(IsWindowVisible(GetDlgItem(d, kDetailApplyToMultiple)));
  EXPECT_FALSE(IsWindowEnabled(GetDlgItem(d, kDetailContentStart)));
  Checkpoint("detail-settings-dset");
  SetControlText(d, kDetailName, "Mail");
  g.Click(kDetailWindowClass, kDetailFinish);
  EXPECT_FALSE(IsWindowVisible(d));
  Checkpoint("extraction-settings");

  r.AnswerFile(path);
  g.Click(kExtractionWindowClass, kExtSave);
  EXPECT_EQ(r.Pending(), 0);
  // A D_SET's flags are stored as the window showed them, off; entries never
  // applied keep theirs empty. Renaming does not renumber: Data02 stays.
  std::string expected = Entry("D_SET", "Mail", "", "", "N", "N") + Entry("Group", "Group01") +
                         Entry("Data", "Subject", "Subject:[SP]", "\r\n", "Y", "N") + Entry("Data", "Data02") +
                         Entry("Group", "Group01") + Entry("D_SET", "Mail", "", "", "N", "N");
  EXPECT_EQ(ReadBytes(path), expected);
  EXPECT_EQ(g.StatusText(3), "抽出 : mail.kta");
  EXPECT_EQ(r.Boxes().size(), 1u);

  // Read back through the menu: the open window shows the file's table.
  ResetSettings(g.app().extraction);
  r.AnswerFile(path);
  g.Command(kCmdLoadExtractionSettings);
  EXPECT_EQ(r.Pending(), 0);
  const std::vector<std::string> lines{"Mail", " Group01", "  Subject", "  Data02", " Group01", "Mail"};
  EXPECT_EQ(ListLines(w), lines);
  EXPECT_EQ(g.StatusText(3), "抽出: mail.kta");
  EXPECT_EQ(g.app().extraction.entries[2].rangeEndTag, "\r\n");
  EXPECT_EQ(g.app().extraction.entries[2].rangeStartTag, "Subject: ");

  // Closed by its button or a close request, it comes back from the menu.
  g.Click(kExtractionWindowClass, kExtClose);
  EXPECT_FALSE(IsWindowVisible(w));
  SendMessageA(w, WM_CLOSE, 0, 0);
  Pump();
  EXPECT_TRUE(IsWindow(w));
  g.Command(kCmdExtractionSettings);
  EXPECT_TRUE(IsWindowVisible(w));
  EXPECT_EQ(ListLines(w), lines);
}

}  // namespace
}  // namespace gui
}  // namespace tanavo
