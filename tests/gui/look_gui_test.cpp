// How the real windows look under Wine: the prefix maps the program's faces
// to fonts that exist, labels fit their controls, and the extraction settings
// window stays on the screen.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "platform/fonts.h"
#include "app/extraction_window.h"
#include "app/conversion_window.h"
#include "app/display_window.h"
#include "app/name_list_window.h"
#include "app/detail_window.h"
#include "gui_support.h"

namespace tanavo {
namespace gui {
namespace {

constexpr int kCmdExtractionSettings = 1056;
constexpr int kCmdDisplaySettings = 1057;
constexpr const char* kFontSubstitutes = "Software\\Microsoft\\Windows NT\\CurrentVersion\\FontSubstitutes";

std::string RegistryText(HKEY root, const char* key, const char* value) {
  char buf[256] = {};
  DWORD size = sizeof buf;
  if (RegGetValueA(root, key, value, RRF_RT_REG_SZ, nullptr, buf, &size) != ERROR_SUCCESS) return "(none)";
  return buf;
}

// The family of the font that a face name really gives in this prefix.
struct RealFace {
  std::string family;
  bool fixedPitch = false;
  int charset = -1;
};

RealFace Resolve(HFONT font) {
  RealFace r;
  HDC dc = GetDC(nullptr);
  HGDIOBJ old = SelectObject(dc, font);
  char buf[2048] = {};
  auto* otm = reinterpret_cast<OUTLINETEXTMETRICA*>(buf);
  if (GetOutlineTextMetricsA(dc, sizeof buf, otm) != 0) {
    r.family = buf + reinterpret_cast<std::size_t>(otm->otmpFamilyName);
    // TMPF_FIXED_PITCH set means a variable pitch, as the platform has it.
    r.fixedPitch = (otm->otmTextMetrics.tmPitchAndFamily & TMPF_FIXED_PITCH) == 0;
    r.charset = otm->otmTextMetrics.tmCharSet;
  }
  SelectObject(dc, old);
  ReleaseDC(nullptr, dc);
  return r;
}

TEST(GuiLook, PrefixMapsTheProgramsFacesToTheIpaFonts) {
  struct Substitute {
    const char* face;
    const char* font;
  };
  const Substitute kSubstitutes[] = {
      {"ＭＳ ゴシック", "IPAGothic"},   {"MS Gothic", "IPAGothic"},   {"ＭＳ Ｐゴシック", "IPAPGothic"},
      {"MS PGothic", "IPAPGothic"},     {"ＭＳ 明朝", "IPAMincho"},   {"MS Mincho", "IPAMincho"},
      {"ＭＳ Ｐ明朝", "IPAPMincho"},    {"MS PMincho", "IPAPMincho"}, {"FixedSys", "IPAGothic"},
  };
  for (const Substitute& s : kSubstitutes) {
    EXPECT_EQ(RegistryText(HKEY_LOCAL_MACHINE, kFontSubstitutes, s.face), s.font) << s.face;
  }

  // Each of the program's seven fonts is an IPA font of the pitch it asks for.
  GuiApp g;
  for (int i = 0; i < kFontCount; ++i) {
    RealFace r = Resolve(g.platform().Font(i));
    const FontSpec& f = Fonts()[i];
    EXPECT_EQ(r.family.rfind("IPA", 0), 0u) << f.face << " gives " << r.family;
    EXPECT_EQ(r.charset, SHIFTJIS_CHARSET) << f.face;
    if (f.pitch == FontPitch::Fixed) {
      EXPECT_TRUE(r.fixedPitch) << f.face << " gives " << r.family;
    }
  }

  // The caption buttons are drawn with Marlett's symbols.
  HFONT marlett = CreateFontA(-12, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, SYMBOL_CHARSET, OUT_DEFAULT_PRECIS,
                              CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH, "Marlett");
  RealFace m = Resolve(marlett);
  DeleteObject(marlett);
  EXPECT_EQ(m.family, "Marlett");
  EXPECT_EQ(m.charset, SYMBOL_CHARSET);

  // The analysis memo opens in notepad.
  EXPECT_EQ(RegistryText(HKEY_CLASSES_ROOT, ".txt", nullptr), "txtfile");
}

struct Clipped {
  std::string window;
  int id;
  std::string text;
  int textWidth;
  int controlWidth;
};

// The static labels of a window whose text, measured with the control's own
// font, is wider than the control.
std::vector<Clipped> ClippedLabels(const char* className, HWND w) {
  std::vector<Clipped> out;
  for (HWND c = GetWindow(w, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT)) {
    if (ClassOf(c) != "Static") continue;
    std::string text = WindowText(c);
    HDC dc = GetDC(c);
    HGDIOBJ old = SelectObject(dc, reinterpret_cast<HFONT>(SendMessageA(c, WM_GETFONT, 0, 0)));
    SIZE extent{};
    GetTextExtentPoint32A(dc, text.data(), static_cast<int>(text.size()), &extent);
    SelectObject(dc, old);
    ReleaseDC(c, dc);
    RECT r;
    GetClientRect(c, &r);
    if (extent.cx > r.right) out.push_back(Clipped{className, GetDlgCtrlID(c), text, extent.cx, r.right});
  }
  return out;
}

// Pairs of visible controls of a window that cover the same pixels.
std::vector<std::pair<int, int>> OverlappingControls(HWND w) {
  std::vector<HWND> shown;
  for (HWND c = GetWindow(w, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT)) {
    if (IsWindowVisible(c)) shown.push_back(c);
  }
  std::vector<std::pair<int, int>> out;
  for (std::size_t i = 0; i < shown.size(); ++i) {
    for (std::size_t j = i + 1; j < shown.size(); ++j) {
      RECT a, b, both;
      GetWindowRect(shown[i], &a);
      GetWindowRect(shown[j], &b);
      if (IntersectRect(&both, &a, &b)) out.emplace_back(GetDlgCtrlID(shown[i]), GetDlgCtrlID(shown[j]));
    }
  }
  return out;
}

TEST(GuiLook, LabelsFitTheirControlsAndNoControlsOverlap) {
  GuiApp g;
  g.Command(kCmdExtractionSettings);
  g.Command(1055);  // conversion tool
  g.Command(1057);  // display settings editor
  g.Click(kExtractionWindowClass, kExtAddData);  // a Data entry shows every field of the detail settings
  g.Click(kExtractionWindowClass, kExtDetails);
  ASSERT_TRUE(IsWindowVisible(g.WindowOfClass(kDetailWindowClass)));
  for (const char* cls : {kExtractionWindowClass, kDetailWindowClass, kConversionWindowClass, kDisplayWindowClass}) {
    HWND w = g.WindowOfClass(cls);
    ASSERT_NE(w, nullptr) << cls;
    for (const Clipped& c : ClippedLabels(cls, w)) {
      ADD_FAILURE() << c.window << " label " << c.id << " \"" << c.text << "\" is " << c.textWidth
                    << " pixels wide in a control of " << c.controlWidth;
    }
    for (const auto& pair : OverlappingControls(w)) {
      ADD_FAILURE() << cls << ": controls " << pair.first << " and " << pair.second << " overlap";
    }
  }
  // The label the issue saw cut, by name: measured the same way.
  HWND range = g.ControlOf(kDetailWindowClass, 1020);
  ASSERT_NE(range, nullptr);
  EXPECT_EQ(WindowText(range), "データ範囲識別タグ");
}

// A window laid out just before it is first shown (the display settings
// editor) paints each moved control whole: before the first paint, every
// visible control is marked for repainting over its whole client area, not
// only over the part it covered at its creation size.
TEST(GuiLook, ControlsMovedBeforeTheFirstShowArePaintedWhole) {
  GuiApp g;
  SendMessageA(g.Main(), WM_COMMAND, MAKEWPARAM(1057, 0), 0);  // no pump: nothing painted yet
  HWND w = g.WindowOfClass(kDisplayWindowClass);
  ASSERT_TRUE(IsWindowVisible(w));
  int checked = 0;
  for (HWND c = GetWindow(w, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT)) {
    if (!IsWindowVisible(c)) continue;
    RECT client, update{};
    GetClientRect(c, &client);
    GetUpdateRect(c, &update, FALSE);
    EXPECT_TRUE(EqualRect(&client, &update))
        << "control " << GetDlgCtrlID(c) << ": " << update.right << " x " << update.bottom << " of "
        << client.right << " x " << client.bottom << " to be painted";
    ++checked;
  }
  EXPECT_EQ(checked, 5);  // title, close, save, template and layout edits
  Pump();
}

// With TANAVO_SCREEN_WIDTH set (the scripts set it for a screen they start),
// the program must see that width: a Wine session started on another display
// would report that display's and place windows beyond this one's edge.
TEST(GuiPlacement, ExtractionSettingsBesideTheMainWindowWithinTheScreen) {
  int screen = GetSystemMetrics(SM_CXSCREEN);
  if (const char* want = std::getenv("TANAVO_SCREEN_WIDTH")) {
    EXPECT_EQ(screen, std::atoi(want));
  }
  GuiApp g;
  g.Command(kCmdExtractionSettings);
  HWND w = g.WindowOfClass(kExtractionWindowClass);
  ASSERT_NE(w, nullptr);
  RECT main, ext;
  GetWindowRect(g.Main(), &main);
  GetWindowRect(w, &ext);
  EXPECT_EQ(ext.top, main.top + kExtOffsetBelowMain);
  EXPECT_EQ(ext.right - ext.left, 283);
  if (main.right + 283 <= screen) {
    EXPECT_EQ(ext.left, main.right);
  } else {
    EXPECT_EQ(ext.right, screen);  // moved left, its buttons within reach
  }
  Checkpoint("extraction-settings-" + std::to_string(screen));
}

bool Overlaps(const RECT& a, const RECT& b) {
  RECT both;
  return IntersectRect(&both, &a, &b) != 0;
}

bool OnScreen(const RECT& r) {
  return r.left >= 0 && r.top >= 0 && r.right <= GetSystemMetrics(SM_CXSCREEN) &&
         r.bottom <= GetSystemMetrics(SM_CYSCREEN);
}

// The detail settings beside the extraction settings and the Data tag name
// list beside the display settings: on the screen, off the window they
// serve, and clear of the main window's menu.
TEST(GuiPlacement, DetailSettingsAndDataNameListCanBeSeen) {
  GuiApp g;
  g.Command(kCmdExtractionSettings);
  HWND ext = g.WindowOfClass(kExtractionWindowClass);
  g.Click(kExtractionWindowClass, kExtAddDSet);
  SendMessageA(GetDlgItem(ext, kExtList), LB_SETCURSEL, 0, 0);
  g.Click(kExtractionWindowClass, kExtDetails);
  HWND detail = g.WindowOfClass(kDetailWindowClass);
  ASSERT_TRUE(IsWindowVisible(detail));
  RECT main, e, d;
  GetWindowRect(g.Main(), &main);
  GetWindowRect(ext, &e);
  GetWindowRect(detail, &d);
  EXPECT_TRUE(OnScreen(d));
  EXPECT_FALSE(Overlaps(d, e));
  EXPECT_GE(d.top, main.top + GetSystemMetrics(SM_CYCAPTION) + GetSystemMetrics(SM_CYMENU));
  Pump();
  Checkpoint("detail-settings-placed-" + std::to_string(GetSystemMetrics(SM_CXSCREEN)));
  ShowWindow(detail, SW_HIDE);  // a finish would refuse the default name with a box
  g.Click(kExtractionWindowClass, kExtAddData);  // names for the list to show
  g.Click(kExtractionWindowClass, kExtAddData);

  g.Command(kCmdDisplaySettings);
  HWND editor = g.WindowOfClass(kDisplayWindowClass), names = g.WindowOfClass(kNameListWindowClass);
  ASSERT_TRUE(IsWindowVisible(names));
  RECT ed, n;
  GetWindowRect(editor, &ed);
  GetWindowRect(names, &n);
  EXPECT_TRUE(OnScreen(n));
  EXPECT_FALSE(Overlaps(n, ed));
  Pump();
  Checkpoint("data-name-list-placed-" + std::to_string(GetSystemMetrics(SM_CXSCREEN)));
}

}  // namespace
}  // namespace gui
}  // namespace tanavo
