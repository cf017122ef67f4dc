#include "platform/win32/win32_platform.h"

#include <algorithm>
#include <utility>

#include <commctrl.h>
#include <commdlg.h>
#include <shellapi.h>

#include "platform/win32/text_view_win32.h"
#include "text/bytes.h"

namespace tanavo {

namespace {

// An owner-data row is drawn from at most this many bytes: a list line is
// untrusted and may be long, and no row is wider than a screen.
constexpr std::size_t kMaxDrawnRowBytes = 1024;

struct CreateParams {
  Win32Window* window;
};

DWORD FrameStyle(FrameKind frame) {
  switch (frame) {
    case FrameKind::Overlapped: return WS_OVERLAPPEDWINDOW;
    case FrameKind::CaptionOnly: return WS_OVERLAPPED | WS_CAPTION;
    case FrameKind::CaptionSizing: return WS_OVERLAPPED | WS_CAPTION | WS_THICKFRAME | WS_MINIMIZEBOX | WS_MAXIMIZEBOX;
    case FrameKind::CaptionMinMax: return WS_OVERLAPPED | WS_CAPTION | WS_MINIMIZEBOX | WS_MAXIMIZEBOX;
  }
  return WS_OVERLAPPEDWINDOW;
}

DWORD ExtendedStyle(unsigned ex) {
  DWORD s = 0;
  if (ex & kExControlParent) s |= WS_EX_CONTROLPARENT;
  if (ex & kExStaticEdge) s |= WS_EX_STATICEDGE;
  if (ex & kExClientEdge) s |= WS_EX_CLIENTEDGE;
  if (ex & kExTopmost) s |= WS_EX_TOPMOST;
  return s;
}

LRESULT CALLBACK WindowProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  if (msg == WM_NCCREATE) {
    auto* params = reinterpret_cast<CreateParams*>(reinterpret_cast<CREATESTRUCTA*>(lp)->lpCreateParams);
    SetWindowLongPtrA(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(params->window));
    params->window->Attach(hwnd);
  }
  auto* w = reinterpret_cast<Win32Window*>(GetWindowLongPtrA(hwnd, GWLP_USERDATA));
  if (!w) return DefWindowProcA(hwnd, msg, wp, lp);
  return w->Handle(msg, wp, lp);
}

// The edit's own procedure, kept on the edit subclassed for Enter.
constexpr const char* kEditProcProperty = "TanavoEditProc";

// A single-line edit of kEnterNotify: Enter becomes the parent's command
// kNotifyEnter. Windows that are no dialog box have no default button, so
// the edit would only beep.
LRESULT CALLBACK EnterEditProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  auto old = reinterpret_cast<WNDPROC>(GetPropA(hwnd, kEditProcProperty));
  if (!old) return DefWindowProcA(hwnd, msg, wp, lp);
  if (msg == WM_KEYDOWN && wp == VK_RETURN) {
    SendMessageA(GetParent(hwnd), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(hwnd), kNotifyEnter),
                 reinterpret_cast<LPARAM>(hwnd));
    return 0;
  }
  if (msg == WM_CHAR && (wp == '\r' || wp == '\n')) return 0;  // no beep
  if (msg == WM_NCDESTROY) {
    SetWindowLongPtrA(hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(old));
    RemovePropA(hwnd, kEditProcProperty);
  }
  return CallWindowProcA(old, hwnd, msg, wp, lp);
}

}  // namespace

// ---------------------------------------------------------------- window

Win32Window::Win32Window(Win32Platform& platform, const WindowSpec& decl, const std::vector<ControlSpec>& controls,
                         WindowEvents* events)
    : platform_(platform), spec_(decl), controls_(controls), events_(events) {}

void Win32Window::CreateControls() {
  HFONT font = platform_.Font(spec_.fontIndex);
  HINSTANCE inst = reinterpret_cast<HINSTANCE>(GetWindowLongPtrA(hwnd_, GWLP_HINSTANCE));
  for (const ControlSpec& c : controls_) {
    const char* cls = "BUTTON";
    DWORD style = WS_CHILD;
    DWORD ex = 0;
    if ((c.style & kHidden) == 0) style |= WS_VISIBLE;
    if (c.style & kClientEdge) ex |= WS_EX_CLIENTEDGE;
    if (c.style & kStaticEdge) ex |= WS_EX_STATICEDGE;
    if (c.style & kVScroll) style |= WS_VSCROLL;
    if (c.style & kHScroll) style |= WS_HSCROLL;
    switch (c.kind) {
      case ControlKind::PushButton: style |= WS_TABSTOP | BS_PUSHBUTTON; break;
      case ControlKind::DefPushButton: style |= WS_TABSTOP | BS_DEFPUSHBUTTON; break;
      case ControlKind::CheckBox: style |= WS_TABSTOP | BS_AUTOCHECKBOX; break;
      case ControlKind::Static:
        cls = "STATIC";
        style |= (c.style & kCentre) ? SS_CENTER : SS_LEFT;
        break;
      case ControlKind::Edit:
        cls = "EDIT";
        style |= WS_TABSTOP | ES_LEFT;
        if (c.style & kMultiLine) style |= ES_MULTILINE;
        if (c.style & kAutoVScroll) style |= ES_AUTOVSCROLL;
        if (c.style & kAutoHScroll) style |= ES_AUTOHSCROLL;
        if (c.style & kReadOnly) style |= ES_READONLY;
        if (c.style & kWantReturn) style |= ES_WANTRETURN;
        break;
      case ControlKind::TextView:
        cls = kTextViewClass;
        style |= WS_TABSTOP;
        break;
      case ControlKind::ListBox:
        cls = "LISTBOX";
        style |= WS_TABSTOP;
        if (c.style & kNotify) style |= LBS_NOTIFY;
        // No strings held: the rows are drawn here from the row source.
        if (c.style & kOwnerData) style |= LBS_NODATA | LBS_OWNERDRAWFIXED;
        break;
    }
    if ((c.kind == ControlKind::PushButton || c.kind == ControlKind::DefPushButton ||
         c.kind == ControlKind::CheckBox) && (c.style & kCentre)) {
      style |= BS_CENTER;
    }
    HWND ctl = CreateWindowExA(ex, cls, c.caption, style, c.x, c.y, c.w, c.h, hwnd_,
                               reinterpret_cast<HMENU>(static_cast<INT_PTR>(c.id)), inst, nullptr);
    if (ctl && font) SendMessageA(ctl, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
    if (ctl && c.kind == ControlKind::Edit && (c.style & kEnterNotify) && !(c.style & kMultiLine)) {
      const LONG_PTR old = GetWindowLongPtrA(ctl, GWLP_WNDPROC);
      if (SetPropA(ctl, kEditProcProperty, reinterpret_cast<HANDLE>(old))) {
        SetWindowLongPtrA(ctl, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(EnterEditProc));
      }
    }
    // An owner-drawn list keeps the height it measured before it had its
    // font; rows as high as the font's, as the list of strings has them.
    if (ctl && c.kind == ControlKind::ListBox && (c.style & kOwnerData)) {
      SendMessageA(ctl, LB_SETITEMHEIGHT, 0, static_cast<LPARAM>(RowHeight()));
    }
  }
}

int Win32Window::RowHeight() const {
  HDC dc = GetDC(hwnd_);
  HGDIOBJ old = nullptr;
  if (HFONT font = platform_.Font(spec_.fontIndex)) old = SelectObject(dc, font);
  TEXTMETRICA tm{};
  GetTextMetricsA(dc, &tm);
  if (old) SelectObject(dc, old);
  ReleaseDC(hwnd_, dc);
  return tm.tmHeight > 0 ? static_cast<int>(tm.tmHeight) : 16;
}

bool Win32Window::IsOwnerData(HWND control) const {
  return control && (GetWindowLongA(control, GWL_STYLE) & LBS_NODATA) != 0;
}

// Draws one row of an owner-data list as the list of strings draws its
// rows: the text one pixel in, the selection in the system's colours, the
// focus rectangle around the caret row.
bool Win32Window::DrawSourceRow(const DRAWITEMSTRUCT& d) const {
  auto it = rowSources_.find(static_cast<int>(d.CtlID));
  if (d.CtlType != ODT_LISTBOX || it == rowSources_.end()) return false;
  RECT rc = d.rcItem;
  if (d.itemAction == ODA_FOCUS) {
    DrawFocusRect(d.hDC, &rc);
    return true;
  }
  const bool selected = (d.itemState & ODS_SELECTED) != 0;
  const bool disabled = (d.itemState & ODS_DISABLED) != 0;
  COLORREF oldBack = SetBkColor(d.hDC, GetSysColor(selected ? COLOR_HIGHLIGHT : COLOR_WINDOW));
  COLORREF oldText = SetTextColor(d.hDC, GetSysColor(disabled   ? COLOR_GRAYTEXT
                                                     : selected ? COLOR_HIGHLIGHTTEXT
                                                                : COLOR_WINDOWTEXT));
  HGDIOBJ oldFont = nullptr;
  if (HFONT font = reinterpret_cast<HFONT>(SendMessageA(d.hwndItem, WM_GETFONT, 0, 0))) {
    oldFont = SelectObject(d.hDC, font);
  }
  std::string text;
  if (d.itemID != static_cast<UINT>(-1)) text = it->second(static_cast<int>(d.itemID));
  text.resize(std::min({text.find('\0'), text.size(), kMaxDrawnRowBytes}));
  ExtTextOutA(d.hDC, rc.left + 1, rc.top, ETO_OPAQUE | ETO_CLIPPED, &rc, text.data(),
              static_cast<UINT>(text.size()), nullptr);
  if (d.itemState & ODS_FOCUS) DrawFocusRect(d.hDC, &rc);
  if (oldFont) SelectObject(d.hDC, oldFont);
  SetTextColor(d.hDC, oldText);
  SetBkColor(d.hDC, oldBack);
  return true;
}

LRESULT Win32Window::Handle(UINT msg, WPARAM wp, LPARAM lp) {
  switch (msg) {
    case WM_CREATE:
      if (spec_.menuBar && platform_.MenuBarHandle()) SetMenu(hwnd_, platform_.MenuBarHandle());
      CreateControls();
      if (spec_.statusBar) platform_.CreateStatusBar(hwnd_);
      if (events_) events_->OnCreate(*this);
      if (!spec_.menuBar) {
        // Tool windows are top-level and hand the focus back to the main window.
        SetParent(hwnd_, nullptr);
        if (platform_.MainHandle()) SetFocus(platform_.MainHandle());
      }
      return 0;
    case WM_SIZE:
      if (spec_.statusBar && platform_.StatusBar()) SendMessageA(platform_.StatusBar(), WM_SIZE, wp, lp);
      if (events_) events_->OnSize(LOWORD(lp), HIWORD(lp));
      return 0;
    case WM_COMMAND:
      if (events_) events_->OnCommand(LOWORD(wp), HIWORD(wp));
      return 0;
    case WM_MEASUREITEM: {
      auto* m = reinterpret_cast<MEASUREITEMSTRUCT*>(lp);
      if (m->CtlType != ODT_LISTBOX) break;
      m->itemHeight = static_cast<UINT>(RowHeight());
      return TRUE;
    }
    case WM_DRAWITEM:
      if (DrawSourceRow(*reinterpret_cast<const DRAWITEMSTRUCT*>(lp))) return TRUE;
      break;
    case WM_CLOSE:
      if (!events_ || events_->OnCloseRequest()) {
        DestroyWindow(hwnd_);
      } else {
        ::ShowWindow(hwnd_, SW_HIDE);
      }
      return 0;
    case WM_DESTROY:
      if (spec_.menuBar) {
        platform_.ReleaseResources();
        PostQuitMessage(0);
      }
      return 0;
    default: break;
  }
  return DefWindowProcA(hwnd_, msg, wp, lp);
}

std::string Win32Window::Text(int id) const {
  HWND c = Control(id);
  if (!c) return std::string();
  int n = GetWindowTextLengthA(c);
  if (n <= 0) return std::string();
  std::string t(static_cast<std::size_t>(n) + 1, '\0');
  int got = GetWindowTextA(c, &t[0], n + 1);
  t.resize(got > 0 ? static_cast<std::size_t>(got) : 0);
  return t;
}

void Win32Window::SetText(int id, const std::string& text) {
  if (HWND c = Control(id)) SetWindowTextA(c, text.c_str());
}

void Win32Window::ShowBytes(int id, std::string_view bytes) {
  HWND c = Control(id);
  if (c && !ShowTextViewBytes(c, bytes)) SetText(id, std::string(bytes));
}

void Win32Window::Show(int id, bool shown) {
  if (HWND c = Control(id)) ::ShowWindow(c, shown ? SW_SHOW : SW_HIDE);
}

bool Win32Window::IsShown(int id) const {
  HWND c = Control(id);
  return c && (GetWindowLongA(c, GWL_STYLE) & WS_VISIBLE) != 0;
}

void Win32Window::Enable(int id, bool enabled) {
  if (HWND c = Control(id)) EnableWindow(c, enabled ? TRUE : FALSE);
}

bool Win32Window::IsEnabled(int id) const {
  HWND c = Control(id);
  return c && IsWindowEnabled(c);
}

void Win32Window::Move(int id, int x, int y, int w, int h) {
  if (HWND c = Control(id)) {
    // Moved without repainting now, but marked for the next paint: the
    // control whole, its frame included, and the place it left. Otherwise
    // only the part it covered before is drawn (a frame cut to its old size,
    // a label cut at its old height), the first time a window is shown.
    RECT old;
    GetWindowRect(c, &old);
    MapWindowPoints(HWND_DESKTOP, hwnd_, reinterpret_cast<POINT*>(&old), 2);
    MoveWindow(c, x, y, w, h, FALSE);
    InvalidateRect(hwnd_, &old, TRUE);
    RedrawWindow(c, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN);
  }
}

Rect Win32Window::ControlRect(int id) const {
  HWND c = Control(id);
  if (!c) return Rect{};
  RECT r;
  GetWindowRect(c, &r);
  MapWindowPoints(HWND_DESKTOP, hwnd_, reinterpret_cast<POINT*>(&r), 2);
  return Rect{r.left, r.top, r.right, r.bottom};
}

void Win32Window::SetTextLimit(int id, std::size_t bytes) {
  if (HWND c = Control(id)) SendMessageA(c, EM_SETLIMITTEXT, static_cast<WPARAM>(bytes), 0);
}

std::size_t Win32Window::TextLimit(int id) const {
  HWND c = Control(id);
  return c ? static_cast<std::size_t>(SendMessageA(c, EM_GETLIMITTEXT, 0, 0)) : 0;
}

void Win32Window::Focus(int id) {
  if (HWND c = Control(id)) SetFocus(c);
}

bool Win32Window::HasFocus(int id) const {
  HWND c = Control(id);
  return c && GetFocus() == c;
}

void Win32Window::SetCaretToEnd(int id) {
  if (HWND c = Control(id)) {
    int n = GetWindowTextLengthA(c);
    SendMessageA(c, EM_SETSEL, static_cast<WPARAM>(n), static_cast<LPARAM>(n));
  }
}

bool Win32Window::IsChecked(int id) const {
  HWND c = Control(id);
  return c && SendMessageA(c, BM_GETCHECK, 0, 0) == BST_CHECKED;
}

void Win32Window::SetChecked(int id, bool checked) {
  if (HWND c = Control(id)) SendMessageA(c, BM_SETCHECK, checked ? BST_CHECKED : BST_UNCHECKED, 0);
}

void Win32Window::ListClear(int id) {
  if (HWND c = Control(id)) SendMessageA(c, LB_RESETCONTENT, 0, 0);
  rowSources_.erase(id);
}

void Win32Window::ListAdd(int id, const std::string& row) {
  HWND c = Control(id);
  if (c && !IsOwnerData(c)) SendMessageA(c, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(row.c_str()));
}

void Win32Window::ListSetRows(int id, const std::vector<std::string>& rows) {
  HWND c = Control(id);
  if (!c) return;
  SendMessageA(c, WM_SETREDRAW, FALSE, 0);
  SendMessageA(c, LB_RESETCONTENT, 0, 0);
  std::size_t bytes = 0;
  for (const std::string& r : rows) bytes += r.size() + 1;
  SendMessageA(c, LB_INITSTORAGE, static_cast<WPARAM>(rows.size()), static_cast<LPARAM>(bytes));
  for (const std::string& r : rows) SendMessageA(c, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(r.c_str()));
  SendMessageA(c, WM_SETREDRAW, TRUE, 0);
  InvalidateRect(c, nullptr, TRUE);
}

void Win32Window::ListSetRowSource(int id, int count, ListRowSource rows) {
  HWND c = Control(id);
  if (!c) return;
  if (!IsOwnerData(c)) {
    Window::ListSetRowSource(id, count, std::move(rows));
    return;
  }
  SendMessageA(c, WM_SETREDRAW, FALSE, 0);
  SendMessageA(c, LB_RESETCONTENT, 0, 0);
  rowSources_.erase(id);
  if (rows && count > 0) {
    rowSources_[id] = std::move(rows);
    if (SendMessageA(c, LB_SETCOUNT, static_cast<WPARAM>(count), 0) < 0) {
      SendMessageA(c, LB_RESETCONTENT, 0, 0);  // no room: an empty list, not a wrong one
      rowSources_.erase(id);
    }
  }
  SendMessageA(c, WM_SETREDRAW, TRUE, 0);
  InvalidateRect(c, nullptr, TRUE);
}

void Win32Window::ListInsert(int id, int row, const std::string& text) {
  HWND c = Control(id);
  if (c && !IsOwnerData(c)) {
    SendMessageA(c, LB_INSERTSTRING, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(text.c_str()));
  }
}

void Win32Window::ListDelete(int id, int row) {
  HWND c = Control(id);
  if (c && !IsOwnerData(c)) SendMessageA(c, LB_DELETESTRING, static_cast<WPARAM>(row), 0);
}

int Win32Window::ListCount(int id) const {
  HWND c = Control(id);
  if (!c) return 0;
  LRESULT n = SendMessageA(c, LB_GETCOUNT, 0, 0);
  return n == LB_ERR ? 0 : static_cast<int>(n);
}

std::string Win32Window::ListRow(int id, int row) const {
  HWND c = Control(id);
  if (!c) return std::string();
  if (IsOwnerData(c)) {
    auto it = rowSources_.find(id);
    if (it == rowSources_.end() || row < 0 || row >= ListCount(id)) return std::string();
    std::string t = it->second(row);
    return t.substr(0, t.find('\0'));
  }
  LRESULT n = SendMessageA(c, LB_GETTEXTLEN, static_cast<WPARAM>(row), 0);
  if (n == LB_ERR || n <= 0) return std::string();
  // Room for a double-byte count too: the ANSI length may be reported in
  // either unit.
  std::string t(static_cast<std::size_t>(n) * 2 + 2, '\0');
  LRESULT got = SendMessageA(c, LB_GETTEXT, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&t[0]));
  if (got == LB_ERR) return std::string();
  t.resize(t.find('\0'));
  return t;
}

int Win32Window::ListSelection(int id) const {
  HWND c = Control(id);
  if (!c) return -1;
  LRESULT s = SendMessageA(c, LB_GETCURSEL, 0, 0);
  return s == LB_ERR ? -1 : static_cast<int>(s);
}

void Win32Window::ListSelect(int id, int row) {
  if (HWND c = Control(id)) SendMessageA(c, LB_SETCURSEL, static_cast<WPARAM>(row), 0);
}

void Win32Window::ShowWindow(bool shown) { ::ShowWindow(hwnd_, shown ? SW_SHOW : SW_HIDE); }

bool Win32Window::IsVisible() const { return IsWindowVisible(hwnd_) != 0; }

void Win32Window::ClientSize(int* w, int* h) const {
  RECT r{};
  GetClientRect(hwnd_, &r);
  *w = r.right - r.left;
  *h = r.bottom - r.top;
}

Rect Win32Window::Placement() const {
  WINDOWPLACEMENT wp{};
  wp.length = sizeof wp;
  GetWindowPlacement(hwnd_, &wp);
  const RECT& r = wp.rcNormalPosition;
  return Rect{r.left, r.top, r.right, r.bottom};
}

void Win32Window::SetPlacement(const Rect& r) {
  WINDOWPLACEMENT wp{};
  wp.length = sizeof wp;
  GetWindowPlacement(hwnd_, &wp);
  wp.rcNormalPosition = RECT{r.left, r.top, r.right, r.bottom};
  wp.showCmd = IsWindowVisible(hwnd_) ? SW_SHOWNORMAL : SW_HIDE;
  wp.flags = 0;
  SetWindowPlacement(hwnd_, &wp);
}

void Win32Window::BringToTop() { SetWindowPos(hwnd_, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE); }

void Win32Window::FocusWindow() { SetFocus(hwnd_); }

void Win32Window::SendClose() { SendMessageA(hwnd_, WM_CLOSE, 0, 0); }

// ---------------------------------------------------------------- platform

Win32Platform::Win32Platform(HINSTANCE instance) : instance_(instance) {
  INITCOMMONCONTROLSEX icc{sizeof icc, 0xFF};
  InitCommonControlsEx(&icc);
  RegisterTextViewClass(instance_);
  for (int i = 0; i < kFontCount; ++i) {
    const FontSpec& f = Fonts()[i];
    DWORD out = f.precision == FontPrecision::Stroke ? OUT_STROKE_PRECIS : OUT_STRING_PRECIS;
    DWORD pitch = f.pitch == FontPitch::Fixed ? FIXED_PITCH : VARIABLE_PITCH;
    DWORD family = f.family == FontFamily::Roman ? FF_ROMAN : f.family == FontFamily::Modern ? FF_MODERN : FF_DONTCARE;
    fonts_[i] = CreateFontA(f.height, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, SHIFTJIS_CHARSET, out,
                            CLIP_STROKE_PRECIS, DRAFT_QUALITY, pitch | family, f.face);
  }
  brush_ = CreateSolidBrush(GetSysColor(COLOR_BTNFACE));
}

Win32Platform::~Win32Platform() { ReleaseResources(); }

HFONT Win32Platform::Font(int index) const {
  return index >= 0 && index < kFontCount ? fonts_[index] : nullptr;
}

void Win32Platform::BuildMenus() {
  if (!main_ || !main_->Declaration().menuBar) return;
  menuBar_ = CreateMenu();
  const std::vector<MenuSpec>& bar = *main_->Declaration().menuBar;
  // Each item goes in at position 0, so they are inserted last first.
  for (auto m = bar.rbegin(); m != bar.rend(); ++m) {
    HMENU popup = CreatePopupMenu();
    for (auto it = m->items.rbegin(); it != m->items.rend(); ++it) {
      MENUITEMINFOA mi{};
      mi.cbSize = sizeof mi;
      if (!it->caption) {
        mi.fMask = MIIM_FTYPE;
        mi.fType = MFT_SEPARATOR;
      } else {
        mi.fMask = MIIM_ID | MIIM_STRING | MIIM_FTYPE;
        mi.fType = MFT_STRING;
        mi.wID = static_cast<UINT>(it->id);
        mi.dwTypeData = const_cast<char*>(it->caption);
      }
      InsertMenuItemA(popup, 0, TRUE, &mi);
    }
    MENUITEMINFOA top{};
    top.cbSize = sizeof top;
    top.fMask = MIIM_SUBMENU | MIIM_STRING | MIIM_FTYPE;
    top.fType = MFT_STRING;
    top.hSubMenu = popup;
    top.dwTypeData = const_cast<char*>(m->caption);
    InsertMenuItemA(menuBar_, 0, TRUE, &top);
  }
}

Window* Win32Platform::CreateAppWindow(const WindowSpec& decl, const std::vector<ControlSpec>& controls,
                                       WindowEvents* events) {
  windows_.push_back(std::make_unique<Win32Window>(*this, decl, controls, events));
  Win32Window* w = windows_.back().get();
  if (decl.menuBar) {
    main_ = w;
    BuildMenus();
  }
  WNDCLASSEXA wc{};
  wc.cbSize = sizeof wc;
  wc.style = CS_HREDRAW | CS_VREDRAW | CS_DBLCLKS;
  wc.lpfnWndProc = WindowProc;
  wc.hInstance = instance_;
  wc.hIcon = LoadIconA(nullptr, reinterpret_cast<LPCSTR>(IDI_APPLICATION));
  wc.hIconSm = LoadIconA(nullptr, reinterpret_cast<LPCSTR>(IDI_WINLOGO));
  wc.hCursor = LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_ARROW));
  wc.hbrBackground = brush_;
  wc.lpszClassName = decl.className;
  RegisterClassExA(&wc);
  CreateParams params{w};
  DWORD style = FrameStyle(decl.frame) | (decl.visible ? WS_VISIBLE : 0);
  HWND hwnd = CreateWindowExA(ExtendedStyle(decl.exStyle), decl.className, decl.title, style, CW_USEDEFAULT,
                              CW_USEDEFAULT, decl.width, decl.height, nullptr, nullptr, instance_, &params);
  if (hwnd && decl.visible) UpdateWindow(hwnd);
  return w;
}

Win32Window* Win32Platform::WindowOfClass(const std::string& className) const {
  for (const auto& w : windows_) {
    if (className == w->Declaration().className) return w.get();
  }
  return nullptr;
}

void Win32Platform::CreateStatusBar(HWND parent) {
  INITCOMMONCONTROLSEX icc{sizeof icc, ICC_BAR_CLASSES};
  InitCommonControlsEx(&icc);
  statusBar_ = CreateStatusWindowA(WS_CHILD | WS_VISIBLE | CCS_BOTTOM | SBARS_SIZEGRIP | SBARS_TOOLTIPS, "", parent, 70);
}

void Win32Platform::ReleaseResources() {
  if (menuBar_) {
    DestroyMenu(menuBar_);  // takes the five drop-down menus with it
    menuBar_ = nullptr;
  }
  for (HFONT& f : fonts_) {
    if (f) DeleteObject(f);
    f = nullptr;
  }
  if (brush_) {
    DeleteObject(brush_);
    brush_ = nullptr;
  }
}

void Win32Platform::Shutdown() {
  for (auto it = windows_.rbegin(); it != windows_.rend(); ++it) {
    if (IsWindow((*it)->Handle())) DestroyWindow((*it)->Handle());
  }
  for (const auto& w : windows_) UnregisterClassA(w->Declaration().className, instance_);
  statusBar_ = nullptr;
  ReleaseResources();
}

BoxAnswer Win32Platform::MessageBox(BoxOwner owner, const std::string& text, const std::string& caption,
                                    BoxIcon icon, BoxButtons buttons) {
  UINT type = buttons == BoxButtons::YesNo ? MB_YESNO : buttons == BoxButtons::OkCancel ? MB_OKCANCEL : MB_OK;
  if (icon == BoxIcon::Warning) type |= MB_ICONWARNING;
  HWND hwndOwner = owner == BoxOwner::Main ? MainHandle() : nullptr;
  int r = MessageBoxA(hwndOwner, text.c_str(), caption.c_str(), type);
  switch (r) {
    case IDYES: return BoxAnswer::Yes;
    case IDNO: return BoxAnswer::No;
    case IDCANCEL: return BoxAnswer::Cancel;
    default: return BoxAnswer::Ok;
  }
}

bool Win32Platform::FileDialog(bool save, const FileDialogSpec& decl, std::string* path) {
  std::string filter;
  for (const FileFilter& f : decl.filters) {
    filter += f.label;
    filter.push_back('\0');
    filter += f.pattern;
    filter.push_back('\0');
  }
  filter.push_back('\0');
  char buffer[kPathBufferBytes] = {};
  std::string_view proposed = CutOnCharBoundary(decl.fileName, sizeof buffer - 1);
  proposed = proposed.substr(0, proposed.find('\0'));
  proposed.copy(buffer, proposed.size());
  OPENFILENAMEA ofn{};
  ofn.lStructSize = sizeof ofn;
  ofn.hwndOwner = MainHandle();
  ofn.lpstrFilter = filter.c_str();
  ofn.nFilterIndex = static_cast<DWORD>(decl.filterIndex);
  ofn.lpstrFile = buffer;
  ofn.nMaxFile = sizeof buffer;
  ofn.lpstrTitle = decl.title.c_str();
  ofn.lpstrDefExt = decl.defaultExtension.c_str();
  // Saving must be able to name a new file, and asks before replacing one.
  ofn.Flags = save ? (OFN_PATHMUSTEXIST | OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT)
                   : (OFN_FILEMUSTEXIST | OFN_PATHMUSTEXIST | OFN_HIDEREADONLY);
  BOOL ok = save ? GetSaveFileNameA(&ofn) : GetOpenFileNameA(&ofn);
  if (!ok) return false;
  buffer[sizeof buffer - 1] = '\0';
  *path = buffer;
  return true;
}

bool Win32Platform::OpenFileDialog(const FileDialogSpec& decl, std::string* path) {
  return FileDialog(false, decl, path);
}

bool Win32Platform::SaveFileDialog(const FileDialogSpec& decl, std::string* path) {
  return FileDialog(true, decl, path);
}

void Win32Platform::SetStatusParts(const int (&rightEdges)[kStatusParts]) {
  if (!statusBar_) return;
  int edges[kStatusParts];
  for (int i = 0; i < kStatusParts; ++i) edges[i] = rightEdges[i];
  SendMessageA(statusBar_, SB_SETPARTS, kStatusParts, reinterpret_cast<LPARAM>(edges));
}

void Win32Platform::SetStatusText(int part, const std::string& text) {
  if (!statusBar_ || part < 0 || part >= kStatusParts) return;
  SendMessageA(statusBar_, SB_SETTEXTA, static_cast<WPARAM>(part), reinterpret_cast<LPARAM>(text.c_str()));
  if (statusTipShown_[part]) SetStatusTip(part, "");
}

void Win32Platform::SetMenuChecked(int command, bool checked) {
  // By command: the item is found in whichever drop-down menu holds it.
  if (menuBar_) CheckMenuItem(menuBar_, static_cast<UINT>(command), MF_BYCOMMAND | (checked ? MF_CHECKED : MF_UNCHECKED));
}

void Win32Platform::SetStatusTip(int part, const std::string& tip) {
  if (!statusBar_ || part < 0 || part >= kStatusParts) return;
  SendMessageA(statusBar_, SB_SETTIPTEXTA, static_cast<WPARAM>(part), reinterpret_cast<LPARAM>(tip.c_str()));
  statusTipShown_[part] = !tip.empty() && tip[0] != '\0';
}

void Win32Platform::OpenWithShell(const std::string& path) {
  ShellExecuteA(nullptr, "open", path.c_str(), nullptr, nullptr, SW_SHOWNORMAL);
}

int Win32Platform::ScreenWidth() { return GetSystemMetrics(SM_CXSCREEN); }

int Win32Platform::ScreenHeight() { return GetSystemMetrics(SM_CYSCREEN); }

int Win32Platform::Run() {
  MSG msg;
  for (;;) {
    BOOL r = GetMessageA(&msg, nullptr, 0, 0);
    if (r == 0 || r == -1) break;  // quit, or a failed retrieval: end like a quit
    TranslateMessage(&msg);
    DispatchMessageA(&msg);
  }
  return 0;
}

}  // namespace tanavo
