// The read-only text view in the real windows: a mobile file of tens of
// megabytes shown, read back, selected, copied and scrolled; the keys and the
// mouse; the settings check result window with a long result.
#include <gtest/gtest.h>

#include <string>

#include "../../bench/mail_dump.h"
#include "app/main_window.h"
#include "app/result_window.h"
#include "app/extraction_window.h"
#include "extract/kta_file.h"
#include "files/extraction_file.h"
#include "gui_support.h"

namespace tanavo {
namespace gui {
namespace {

constexpr int kCmdOpenMobile = 1047;
constexpr int kCmdLoadSettings = 1048;
constexpr int kCheckButton = 1013;
constexpr int kBigDumpMails = 2500;
constexpr int kCmdRawUtf8 = 1061;

std::string ClipboardText(HWND owner) {
  std::string text;
  if (!OpenClipboard(owner)) return text;
  if (HANDLE h = GetClipboardData(CF_TEXT)) {
    if (const char* p = static_cast<const char*>(GlobalLock(h))) {
      text.assign(p, strnlen(p, GlobalSize(h)));
      GlobalUnlock(h);
    }
  }
  CloseClipboard();
  return text;
}

int FirstVisibleLine(HWND view) { return static_cast<int>(SendMessageA(view, EM_GETFIRSTVISIBLELINE, 0, 0)); }

// Keys as a user presses them: the view reads Shift and Ctrl from the key state.
void PressKey(HWND view, WPARAM key, bool shift = false, bool ctrl = false) {
  BYTE state[256] = {};
  GetKeyboardState(state);
  state[VK_SHIFT] = shift ? 0x80 : 0;
  state[VK_CONTROL] = ctrl ? 0x80 : 0;
  SetKeyboardState(state);
  SendMessageA(view, WM_KEYDOWN, key, 0);
  state[VK_SHIFT] = state[VK_CONTROL] = 0;
  SetKeyboardState(state);
}

void Selection(HWND view, DWORD* start, DWORD* end) {
  SendMessageA(view, EM_GETSEL, reinterpret_cast<WPARAM>(start), reinterpret_cast<LPARAM>(end));
}

TEST(GuiTextView, BigMobileFileReadBackCopiedAndScrolled) {
  const std::string dump = MailDump(kBigDumpMails);
  const std::string dir = TempFolder("textview");
  WriteBytes(dir + "\\dump.dat", dump);
  GuiApp g;
  Responder r;
  r.AnswerFile(dir + "\\dump.dat");
  g.Command(kCmdOpenMobile);
  ASSERT_EQ(r.Pending(), 0);
  HWND view = GetDlgItem(g.Main(), kRawTextView);
  ASSERT_EQ(static_cast<std::size_t>(GetWindowTextLengthA(view)), dump.size());
  EXPECT_TRUE(WindowText(view) == dump);  // not EXPECT_EQ: no 45 MiB in the log
  EXPECT_EQ(SendMessageA(view, EM_GETLIMITTEXT, 0, 0), static_cast<LRESULT>(dump.size() + 1000));

  SendMessageA(view, EM_SETSEL, 0, -1);
  DWORD start = 1, end = 0;
  Selection(view, &start, &end);
  EXPECT_EQ(start, 0u);
  EXPECT_EQ(end, dump.size());
  SendMessageA(view, WM_COPY, 0, 0);
  EXPECT_TRUE(ClipboardText(g.Main()) == dump);

  const int lines = static_cast<int>(SendMessageA(view, EM_GETLINECOUNT, 0, 0));
  EXPECT_GT(lines, 0xFFFF);  // past what 16-bit scroll positions reach
  SendMessageA(view, EM_SETSEL, 0, 0);
  SendMessageA(view, EM_LINESCROLL, 0, lines / 2);
  EXPECT_EQ(FirstVisibleLine(view), lines / 2);
  Checkpoint("textview-45mib-middle", g.Main());
  SendMessageA(view, WM_VSCROLL, SB_BOTTOM, 0);
  SCROLLINFO si{};
  si.cbSize = sizeof si;
  si.fMask = SIF_ALL;
  GetScrollInfo(view, SB_VERT, &si);
  EXPECT_EQ(si.nMax, lines - 1);
  EXPECT_EQ(si.nPos, FirstVisibleLine(view));
  EXPECT_EQ(FirstVisibleLine(view) + static_cast<int>(si.nPage), lines);
  Checkpoint("textview-45mib-last-line", g.Main());
}

bool RawUtf8Checked(HWND main) {
  return (GetMenuState(GetMenu(main), kCmdRawUtf8, MF_BYCOMMAND) & MF_CHECKED) != 0;
}

// A UTF-8 file shown readably by the menu's choice: the view shows a copy
// converted to Shift_JIS, selects and copies on its characters, the mobile
// file stays as read, and the next run shows the file the same way.
TEST(GuiTextView, AUtf8FileIsShownConvertedAndTheChoiceRemembered) {
  const std::string utf8 =
      "BEGIN:VCARD\r\nVERSION:4.0\r\nN:\xE4\xBC\x8A\xE8\x97\xA4;\xE7\xBE\x8E\xE5\x92\xB2;;;\r\n"
      "FN:\xE4\xBC\x8A\xE8\x97\xA4 \xE7\xBE\x8E\xE5\x92\xB2\r\nNOTE:\xE8\xAA\x95\xE7\x94\x9F\xE6\x97\xA5"
      "\xF0\x9F\x8E\x82\r\nEND:VCARD\r\n";
  const std::string shown = "BEGIN:VCARD\r\nVERSION:4.0\r\nN:伊藤;美咲;;;\r\nFN:伊藤 美咲\r\nNOTE:誕生日〓\r\nEND:VCARD\r\n";
  const std::string dir = TempFolder("rawutf8");
  WriteBytes(dir + "\\book.vcf", utf8);
  {
    GuiApp g;
    g.app().state.programFolder = dir;  // the list goes beside the test file
    Responder r;
    r.AnswerFile(dir + "\\book.vcf");
    g.Command(kCmdOpenMobile);
    ASSERT_EQ(r.Pending(), 0);
    HWND view = GetDlgItem(g.Main(), kRawTextView);
    EXPECT_EQ(WindowText(view), utf8);
    EXPECT_FALSE(RawUtf8Checked(g.Main()));

    g.Command(kCmdRawUtf8);
    EXPECT_TRUE(RawUtf8Checked(g.Main()));
    EXPECT_EQ(WindowText(view), shown);
    EXPECT_EQ(g.app().state.mobileFile, utf8);
    const DWORD at = static_cast<DWORD>(shown.find("伊藤 美咲"));
    SendMessageA(view, EM_SETSEL, at, at + 9);  // positions in the text shown
    DWORD start = 0, end = 0;
    Selection(view, &start, &end);
    EXPECT_EQ(start, at);
    EXPECT_EQ(end, at + 9);
    SendMessageA(view, WM_COPY, 0, 0);
    EXPECT_EQ(ClipboardText(g.Main()), "伊藤 美咲");
    Checkpoint("raw-view-utf8", g.Main());
    const std::string list = ReadBytes(dir + "\\TanavoUtf8.cfg");
    EXPECT_EQ(list.substr(0, 9), "Utf8View=") << list;
    EXPECT_EQ(list.substr(list.size() < 10 ? 0 : list.size() - 10), "BOOK.VCF\r\n") << list;
    EXPECT_TRUE(r.Boxes().empty());
  }
  GuiApp g;
  g.app().state.programFolder = dir;
  Responder r;
  r.AnswerFile(dir + "\\book.vcf");
  g.Command(kCmdOpenMobile);
  ASSERT_EQ(r.Pending(), 0);
  EXPECT_TRUE(RawUtf8Checked(g.Main()));
  EXPECT_EQ(WindowText(GetDlgItem(g.Main(), kRawTextView)), shown);
  g.Command(kCmdRawUtf8);  // back to the bytes, and forgotten
  EXPECT_FALSE(RawUtf8Checked(g.Main()));
  EXPECT_EQ(WindowText(GetDlgItem(g.Main(), kRawTextView)), utf8);
  EXPECT_EQ(ReadBytes(dir + "\\TanavoUtf8.cfg"), "");
}

TEST(GuiTextView, KeysAndMouseSelectOnCharacterBoundaries) {
  GuiApp g;
  HWND view = GetDlgItem(g.Main(), kRawTextView);
  SetWindowTextA(view, "abc 日本語\r\nline two\r\n");
  SetFocus(view);
  DWORD start = 0, end = 0;
  PressKey(view, VK_END, true);  // Shift+End: the first line
  Selection(view, &start, &end);
  EXPECT_EQ(start, 0u);
  EXPECT_EQ(end, 10u);
  PressKey(view, VK_LEFT, true);  // back over 語, both bytes
  Selection(view, &start, &end);
  EXPECT_EQ(end, 8u);
  PressKey(view, VK_END, false, true);  // Ctrl+End
  Selection(view, &start, &end);
  EXPECT_EQ(start, 22u);
  EXPECT_EQ(end, 22u);
  PressKey(view, 'A', false, true);  // Ctrl+A, Ctrl+C
  PressKey(view, 'C', false, true);
  EXPECT_EQ(ClipboardText(g.Main()), "abc 日本語\r\nline two\r\n");

  // A double click takes the word under the pointer; a drag selects.
  TEXTMETRICA tm{};
  HDC dc = GetDC(view);
  SelectObject(dc, reinterpret_cast<HFONT>(SendMessageA(view, WM_GETFONT, 0, 0)));
  GetTextMetricsA(dc, &tm);
  SIZE cell{};
  GetTextExtentPoint32A(dc, "0", 1, &cell);
  ReleaseDC(view, dc);
  const LPARAM onJapanese = MAKELPARAM(cell.cx * 6 + 1, tm.tmHeight / 2);
  SendMessageA(view, WM_LBUTTONDBLCLK, MK_LBUTTON, onJapanese);
  Selection(view, &start, &end);
  EXPECT_EQ(start, 4u);
  EXPECT_EQ(end, 10u);
  SendMessageA(view, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(0, tm.tmHeight / 2));
  SendMessageA(view, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(cell.cx * 5 + 1, tm.tmHeight + tm.tmHeight / 2));
  SendMessageA(view, WM_LBUTTONUP, 0, MAKELPARAM(cell.cx * 5 + 1, tm.tmHeight + tm.tmHeight / 2));
  Selection(view, &start, &end);
  EXPECT_EQ(start, 0u);
  EXPECT_EQ(end, 17u);  // "line " of the second line
}

TEST(GuiTextView, CheckResultWindowShowsALongResult) {
  std::string record = "<R>\r\n";
  for (int i = 0; i < 100000; ++i) record += "F:" + std::to_string(i) + " 件名のテキスト\r\n";
  record += "</R>";
  const TagDefinition d = Flagged(Def(EntryKind::DSet, "D_SET", "<R>", "</R>"), false, false);
  const std::string dir = TempFolder("textview-check");
  WriteBytes(dir + "\\phone.dat", record);
  WriteBytes(dir + "\\one.kta", EncodeEntry(d));
  GuiApp g;
  Responder r;
  r.AnswerFile(dir + "\\phone.dat");
  g.Command(kCmdOpenMobile);
  r.AnswerFile(dir + "\\one.kta");
  g.Command(kCmdLoadSettings);
  ASSERT_EQ(r.Pending(), 0);
  g.Click(kExtractionWindowClass, kCheckButton);
  HWND view = g.ControlOf(kResultWindowClass, kResultTextView);
  EXPECT_TRUE(WindowText(view) == "D_SET\r\n" + record + "\r\n\r\n");
  SendMessageA(view, WM_VSCROLL, SB_BOTTOM, 0);
  EXPECT_GT(FirstVisibleLine(view), 100000 - 30);
  Checkpoint("textview-check-result-end", g.WindowOfClass(kResultWindowClass));
}

}  // namespace
}  // namespace gui
}  // namespace tanavo
