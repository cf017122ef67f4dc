#include "platform/win32/text_view_win32.h"

#include <windowsx.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "text/bytes.h"
#include "textview/text_view_model.h"

namespace tanavo {

const char kTextViewClass[] = "TanavoTextView";

namespace {

constexpr std::size_t kDefaultLimit = 30000;  // the edit control's, until told otherwise
constexpr std::size_t kMaxLimit = 0x7FFFFFFE;
constexpr int kWheelDelta = 120;
constexpr UINT kMenuCopy = 1;
constexpr UINT kMenuSelectAll = 2;
constexpr LCID kJapaneseLocale = 0x0411;

struct View {
  TextViewModel model;
  HFONT font = nullptr;
  int lineHeight = 16;
  int cellWidth = 8;
  std::size_t limit = kDefaultLimit;
  bool dragging = false;
  int wheel = 0;
};

View* ViewOf(HWND hwnd) { return reinterpret_cast<View*>(GetWindowLongPtrA(hwnd, GWLP_USERDATA)); }

void Measure(HWND hwnd, View& v) {
  HDC dc = GetDC(hwnd);
  HGDIOBJ old = SelectObject(dc, v.font ? static_cast<HGDIOBJ>(v.font) : GetStockObject(SYSTEM_FONT));
  TEXTMETRICA tm{};
  GetTextMetricsA(dc, &tm);
  SIZE one{};
  GetTextExtentPoint32A(dc, "0", 1, &one);
  SelectObject(dc, old);
  ReleaseDC(hwnd, dc);
  v.lineHeight = std::max<int>(1, tm.tmHeight);
  v.cellWidth = std::max<int>(1, one.cx > 0 ? one.cx : tm.tmAveCharWidth);
}

void UpdatePage(HWND hwnd, View& v) {
  RECT rc;
  GetClientRect(hwnd, &rc);
  v.model.SetPage(static_cast<std::size_t>(std::max<LONG>(rc.bottom / v.lineHeight, 1)),
                  static_cast<std::size_t>(std::max<LONG>(rc.right / v.cellWidth, 1)));
}

void UpdateScrollBars(HWND hwnd, const View& v) {
  SCROLLINFO si{};
  si.cbSize = sizeof si;
  si.fMask = SIF_RANGE | SIF_PAGE | SIF_POS | SIF_DISABLENOSCROLL;
  si.nMax = static_cast<int>(v.model.Lines().LineCount() - 1);
  si.nPage = static_cast<UINT>(v.model.PageLines());
  si.nPos = static_cast<int>(v.model.TopLine());
  SetScrollInfo(hwnd, SB_VERT, &si, TRUE);
  si.nMax = static_cast<int>(v.model.Lines().MaxColumns());
  si.nPage = static_cast<UINT>(v.model.PageColumns());
  si.nPos = static_cast<int>(v.model.LeftColumn());
  SetScrollInfo(hwnd, SB_HORZ, &si, TRUE);
}

void PlaceCaret(HWND hwnd, const View& v) {
  if (GetFocus() != hwnd) return;
  const std::size_t line = v.model.CaretLine();
  const std::size_t col = v.model.CaretColumn();
  int x = -v.cellWidth * 4, y = -v.lineHeight * 2;  // out of sight when scrolled away
  if (line >= v.model.TopLine() && line < v.model.TopLine() + v.model.PageLines() + 1 && col >= v.model.LeftColumn()) {
    x = static_cast<int>(col - v.model.LeftColumn()) * v.cellWidth;
    y = static_cast<int>(line - v.model.TopLine()) * v.lineHeight;
  }
  SetCaretPos(x, y);
}

// After anything that may move the text, the caret or the selection.
void Refresh(HWND hwnd, View& v) {
  UpdateScrollBars(hwnd, v);
  InvalidateRect(hwnd, nullptr, FALSE);
  PlaceCaret(hwnd, v);
}

void DrawLine(HDC dc, const View& v, std::size_t line, int y, std::size_t selStart, std::size_t selEnd, bool showSel,
              COLORREF text, COLORREF back) {
  const LineIndex& lines = v.model.Lines();
  const std::string_view s = lines.Line(line);
  const std::size_t base = lines.LineStart(line);
  const LineSlice slice = VisibleSlice(s, v.model.LeftColumn(), v.model.PageColumns() + 1);
  std::string buf;
  std::vector<INT> dx;
  std::size_t col = slice.column;
  std::size_t segColumn = col;
  bool segSelected = false;
  auto flush = [&]() {
    if (!buf.empty()) {
      SetTextColor(dc, segSelected ? GetSysColor(COLOR_HIGHLIGHTTEXT) : text);
      SetBkColor(dc, segSelected ? GetSysColor(COLOR_HIGHLIGHT) : back);
      const int x = static_cast<int>(segColumn - v.model.LeftColumn()) * v.cellWidth;
      ExtTextOutA(dc, x, y, 0, nullptr, buf.data(), static_cast<UINT>(buf.size()), dx.data());
    }
    buf.clear();
    dx.clear();
    segColumn = col;
  };
  for (std::size_t j = slice.begin; j < slice.end;) {
    const bool selected = showSel && base + j >= selStart && base + j < selEnd;
    if (selected != segSelected) {
      flush();
      segSelected = selected;
    }
    const std::size_t w = CharColumns(s, j, col);
    const std::size_t bytes = CharBytes(s, j);
    if (s[j] == '\t') {
      buf.append(w, ' ');
      dx.insert(dx.end(), w, v.cellWidth);
    } else {
      buf.append(s.substr(j, bytes));
      dx.insert(dx.end(), bytes, v.cellWidth);  // a double-byte character: two cells
    }
    col += w;
    j += bytes;
  }
  flush();
}

void Paint(HWND hwnd, View& v) {
  PAINTSTRUCT ps;
  HDC dc = BeginPaint(hwnd, &ps);
  // Colours and background as a read-only edit control asks its parent.
  HBRUSH brush = reinterpret_cast<HBRUSH>(SendMessageA(GetParent(hwnd), WM_CTLCOLORSTATIC,
                                                       reinterpret_cast<WPARAM>(dc), reinterpret_cast<LPARAM>(hwnd)));
  if (!brush) brush = GetSysColorBrush(COLOR_BTNFACE);
  const COLORREF text = GetTextColor(dc);
  const COLORREF back = GetBkColor(dc);
  FillRect(dc, &ps.rcPaint, brush);
  HGDIOBJ old = v.font ? SelectObject(dc, v.font) : nullptr;
  SetBkMode(dc, OPAQUE);
  const bool showSel = GetFocus() == hwnd && v.model.SelectionStart() != v.model.SelectionEnd();
  const std::size_t first = v.model.TopLine() + static_cast<std::size_t>(std::max<LONG>(ps.rcPaint.top, 0) / v.lineHeight);
  const std::size_t last = v.model.TopLine() + static_cast<std::size_t>(std::max<LONG>(ps.rcPaint.bottom, 0) / v.lineHeight);
  for (std::size_t line = first; line <= last && line < v.model.Lines().LineCount(); ++line) {
    DrawLine(dc, v, line, static_cast<int>(line - v.model.TopLine()) * v.lineHeight, v.model.SelectionStart(),
             v.model.SelectionEnd(), showSel, text, back);
  }
  if (old) SelectObject(dc, old);
  EndPaint(hwnd, &ps);
}

void CopySelection(HWND hwnd, const View& v) {
  const std::string_view bytes = v.model.SelectedBytes();
  if (bytes.empty() || !OpenClipboard(hwnd)) return;
  EmptyClipboard();
  if (HGLOBAL g = GlobalAlloc(GMEM_MOVEABLE, bytes.size() + 1)) {
    if (auto* p = static_cast<char*>(GlobalLock(g))) {
      std::memcpy(p, bytes.data(), bytes.size());
      p[bytes.size()] = '\0';
      GlobalUnlock(g);
      if (!SetClipboardData(CF_TEXT, g)) GlobalFree(g);
    } else {
      GlobalFree(g);
    }
  }
  // The text is code page 932 whatever the user's keyboard: the locale tells
  // the clipboard how to convert it for Unicode readers.
  if (HGLOBAL l = GlobalAlloc(GMEM_MOVEABLE, sizeof(LCID))) {
    if (auto* p = static_cast<LCID*>(GlobalLock(l))) {
      *p = kJapaneseLocale;
      GlobalUnlock(l);
      if (!SetClipboardData(CF_LOCALE, l)) GlobalFree(l);
    } else {
      GlobalFree(l);
    }
  }
  CloseClipboard();
}

void Scroll(HWND hwnd, View& v, int bar, WPARAM wp) {
  const bool vert = bar == SB_VERT;
  const int64_t pos = static_cast<int64_t>(vert ? v.model.TopLine() : v.model.LeftColumn());
  const int64_t page = static_cast<int64_t>(vert ? v.model.PageLines() : v.model.PageColumns());
  const int64_t max = static_cast<int64_t>(vert ? v.model.MaxTopLine() : v.model.MaxLeftColumn());
  int64_t to = pos;
  switch (LOWORD(wp)) {
    case SB_LINEUP: to = pos - 1; break;
    case SB_LINEDOWN: to = pos + 1; break;
    case SB_PAGEUP: to = pos - std::max<int64_t>(page - 1, 1); break;
    case SB_PAGEDOWN: to = pos + std::max<int64_t>(page - 1, 1); break;
    case SB_TOP: to = 0; break;
    case SB_BOTTOM: to = max; break;
    case SB_THUMBTRACK:
    case SB_THUMBPOSITION: {
      // The message carries 16 bits only; the bar holds the 32-bit position.
      SCROLLINFO si{};
      si.cbSize = sizeof si;
      si.fMask = SIF_TRACKPOS;
      GetScrollInfo(hwnd, bar, &si);
      to = si.nTrackPos;
      break;
    }
    default: return;
  }
  if (vert) {
    v.model.ScrollToLine(to);
  } else {
    v.model.ScrollToColumn(to);
  }
  Refresh(hwnd, v);
}

void LinePoint(const View& v, LPARAM lp, int64_t* line, int64_t* column) {
  const int x = GET_X_LPARAM(lp), y = GET_Y_LPARAM(lp);
  const int row = y >= 0 ? y / v.lineHeight : -1 - (-y - 1) / v.lineHeight;
  *line = static_cast<int64_t>(v.model.TopLine()) + row;
  // Nearest boundary: a click on a character's right half goes after it.
  *column = static_cast<int64_t>(v.model.LeftColumn()) + (x >= 0 ? (x + v.cellWidth / 2) / v.cellWidth : 0);
}

// Dragging past an edge scrolls towards it.
void FollowDrag(HWND hwnd, View& v, LPARAM lp) {
  RECT rc;
  GetClientRect(hwnd, &rc);
  const int y = GET_Y_LPARAM(lp), x = GET_X_LPARAM(lp);
  if (y < 0) v.model.ScrollToLine(static_cast<int64_t>(v.model.TopLine()) - 1);
  if (y >= rc.bottom) v.model.ScrollToLine(static_cast<int64_t>(v.model.TopLine()) + 1);
  if (x < 0) v.model.ScrollToColumn(static_cast<int64_t>(v.model.LeftColumn()) - 1);
  if (x >= rc.right) v.model.ScrollToColumn(static_cast<int64_t>(v.model.LeftColumn()) + 1);
}

bool KeyDown(HWND hwnd, View& v, WPARAM key) {
  const bool shift = GetKeyState(VK_SHIFT) < 0;
  const bool ctrl = GetKeyState(VK_CONTROL) < 0;
  ViewKey k;
  switch (key) {
    case VK_LEFT: k = ViewKey::Left; break;
    case VK_RIGHT: k = ViewKey::Right; break;
    case VK_UP: k = ViewKey::Up; break;
    case VK_DOWN: k = ViewKey::Down; break;
    case VK_PRIOR: k = ViewKey::PageUp; break;
    case VK_NEXT: k = ViewKey::PageDown; break;
    case VK_HOME: k = ViewKey::Home; break;
    case VK_END: k = ViewKey::End; break;
    case 'A':
      if (!ctrl) return false;
      v.model.SelectAll();
      Refresh(hwnd, v);
      return true;
    case 'C':
    case VK_INSERT:
      if (!ctrl) return false;
      CopySelection(hwnd, v);
      return true;
    default: return false;
  }
  v.model.Key(k, shift, ctrl);
  Refresh(hwnd, v);
  return true;
}

void ContextMenu(HWND hwnd, View& v, LPARAM lp) {
  POINT pt{GET_X_LPARAM(lp), GET_Y_LPARAM(lp)};
  if (pt.x == -1 && pt.y == -1) {  // from the keyboard: at the caret
    GetCaretPos(&pt);
    ClientToScreen(hwnd, &pt);
  }
  HMENU menu = CreatePopupMenu();
  const bool selected = v.model.SelectionStart() != v.model.SelectionEnd();
  AppendMenuA(menu, MF_STRING | (selected ? 0u : MF_GRAYED), kMenuCopy, "コピー(&C)");
  AppendMenuA(menu, MF_SEPARATOR, 0, nullptr);
  AppendMenuA(menu, MF_STRING | (v.model.Text().empty() ? MF_GRAYED : 0u), kMenuSelectAll, "すべて選択(&A)");
  SetFocus(hwnd);
  const UINT cmd = TrackPopupMenu(menu, TPM_RETURNCMD | TPM_RIGHTBUTTON, pt.x, pt.y, 0, hwnd, nullptr);
  DestroyMenu(menu);
  if (cmd == kMenuCopy) CopySelection(hwnd, v);
  if (cmd == kMenuSelectAll) {
    v.model.SelectAll();
    Refresh(hwnd, v);
  }
}

LRESULT CALLBACK TextViewProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  View* v = ViewOf(hwnd);
  if (msg == WM_NCCREATE) {
    v = new View;
    SetWindowLongPtrA(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(v));
    Measure(hwnd, *v);
    return DefWindowProcA(hwnd, msg, wp, lp);
  }
  if (!v) return DefWindowProcA(hwnd, msg, wp, lp);
  switch (msg) {
    case WM_NCDESTROY:
      SetWindowLongPtrA(hwnd, GWLP_USERDATA, 0);
      delete v;
      return 0;
    case WM_CREATE:
      UpdatePage(hwnd, *v);
      UpdateScrollBars(hwnd, *v);
      return 0;
    case WM_SETFONT:
      v->font = reinterpret_cast<HFONT>(wp);
      Measure(hwnd, *v);
      UpdatePage(hwnd, *v);
      UpdateScrollBars(hwnd, *v);
      if (LOWORD(lp)) InvalidateRect(hwnd, nullptr, TRUE);
      return 0;
    case WM_GETFONT: return reinterpret_cast<LRESULT>(v->font);
    case WM_SIZE:
      UpdatePage(hwnd, *v);
      Refresh(hwnd, *v);
      return 0;
    case WM_SETTEXT:
      v->model.Adopt(lp ? std::string(reinterpret_cast<const char*>(lp)) : std::string());
      Refresh(hwnd, *v);
      return TRUE;
    case WM_GETTEXT: {
      if (wp == 0 || !lp) return 0;
      const std::string_view cut = CutOnCharBoundary(v->model.Text(), static_cast<std::size_t>(wp) - 1);
      std::memcpy(reinterpret_cast<char*>(lp), cut.data(), cut.size());
      reinterpret_cast<char*>(lp)[cut.size()] = '\0';
      return static_cast<LRESULT>(cut.size());
    }
    case WM_GETTEXTLENGTH: return static_cast<LRESULT>(v->model.Text().size());
    case EM_SETLIMITTEXT:
      v->limit = wp == 0 ? kMaxLimit : std::min<std::size_t>(static_cast<std::size_t>(wp), kMaxLimit);
      return 0;
    case EM_GETLIMITTEXT: return static_cast<LRESULT>(v->limit);
    case EM_SETSEL:
      v->model.SetSelection(static_cast<int32_t>(wp), static_cast<int32_t>(lp));
      Refresh(hwnd, *v);
      return 0;
    case EM_GETSEL: {
      const auto start = static_cast<DWORD>(v->model.SelectionStart());
      const auto end = static_cast<DWORD>(v->model.SelectionEnd());
      if (wp) *reinterpret_cast<DWORD*>(wp) = start;
      if (lp) *reinterpret_cast<DWORD*>(lp) = end;
      return (start > 0xFFFF || end > 0xFFFF) ? -1 : static_cast<LRESULT>(MAKELONG(start, end));
    }
    case EM_GETLINECOUNT: return static_cast<LRESULT>(v->model.Lines().LineCount());
    case EM_GETFIRSTVISIBLELINE: return static_cast<LRESULT>(v->model.TopLine());
    case EM_LINESCROLL:
      v->model.ScrollToColumn(static_cast<int64_t>(v->model.LeftColumn()) + static_cast<int32_t>(wp));
      v->model.ScrollToLine(static_cast<int64_t>(v->model.TopLine()) + static_cast<int32_t>(lp));
      Refresh(hwnd, *v);
      return TRUE;
    case EM_SCROLLCARET:
      v->model.ScrollCaretIntoView();
      Refresh(hwnd, *v);
      return TRUE;
    case WM_COPY: CopySelection(hwnd, *v); return 0;
    case WM_CUT:
    case WM_PASTE:
    case WM_CLEAR:
    case WM_UNDO:
      return 0;  // read-only
    case WM_ERASEBKGND: return 1;  // painting fills the background
    case WM_PAINT: Paint(hwnd, *v); return 0;
    case WM_VSCROLL: Scroll(hwnd, *v, SB_VERT, wp); return 0;
    case WM_HSCROLL: Scroll(hwnd, *v, SB_HORZ, wp); return 0;
    case WM_MOUSEWHEEL: {
      UINT perNotch = 3;
      SystemParametersInfoA(SPI_GETWHEELSCROLLLINES, 0, &perNotch, 0);
      v->wheel += GET_WHEEL_DELTA_WPARAM(wp);
      const int notches = v->wheel / kWheelDelta;
      v->wheel -= notches * kWheelDelta;
      const int64_t lines = perNotch == WHEEL_PAGESCROLL ? static_cast<int64_t>(v->model.PageLines())
                                                         : static_cast<int64_t>(perNotch);
      v->model.ScrollToLine(static_cast<int64_t>(v->model.TopLine()) - notches * lines);
      Refresh(hwnd, *v);
      return 0;
    }
    case WM_GETDLGCODE: return DLGC_WANTARROWS | DLGC_WANTCHARS;
    case WM_KEYDOWN:
      if (KeyDown(hwnd, *v, wp)) return 0;
      break;
    case WM_CHAR: return 0;
    case WM_SETFOCUS:
      CreateCaret(hwnd, nullptr, 1, v->lineHeight);
      PlaceCaret(hwnd, *v);
      ShowCaret(hwnd);
      InvalidateRect(hwnd, nullptr, FALSE);
      // As the edit control does, so that parents keep hearing of it.
      SendMessageA(GetParent(hwnd), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(hwnd), EN_SETFOCUS),
                   reinterpret_cast<LPARAM>(hwnd));
      return 0;
    case WM_KILLFOCUS:
      DestroyCaret();
      InvalidateRect(hwnd, nullptr, FALSE);
      return 0;
    case WM_LBUTTONDOWN: {
      SetFocus(hwnd);
      SetCapture(hwnd);
      v->dragging = true;
      int64_t line, column;
      LinePoint(*v, lp, &line, &column);
      v->model.Press(line, column, (wp & MK_SHIFT) != 0);
      Refresh(hwnd, *v);
      return 0;
    }
    case WM_MOUSEMOVE:
      if (v->dragging) {
        FollowDrag(hwnd, *v, lp);
        int64_t line, column;
        LinePoint(*v, lp, &line, &column);
        v->model.DragTo(line, column);
        Refresh(hwnd, *v);
      }
      return 0;
    case WM_LBUTTONUP:
    case WM_CAPTURECHANGED:
      if (v->dragging) {
        v->dragging = false;
        if (msg == WM_LBUTTONUP) ReleaseCapture();
      }
      return 0;
    case WM_LBUTTONDBLCLK: {
      int64_t line, column;
      const int x = GET_X_LPARAM(lp);
      LinePoint(*v, lp, &line, &column);
      // The word under the pointer: the character's cell, not the nearest boundary.
      column = static_cast<int64_t>(v->model.LeftColumn()) + (x >= 0 ? x / v->cellWidth : 0);
      v->model.SelectWordAt(line, column);
      Refresh(hwnd, *v);
      return 0;
    }
    case WM_CONTEXTMENU: ContextMenu(hwnd, *v, lp); return 0;
    default: break;
  }
  return DefWindowProcA(hwnd, msg, wp, lp);
}

}  // namespace

void RegisterTextViewClass(HINSTANCE instance) {
  WNDCLASSEXA wc{};
  wc.cbSize = sizeof wc;
  if (GetClassInfoExA(instance, kTextViewClass, &wc)) return;
  wc.cbSize = sizeof wc;
  wc.style = CS_DBLCLKS;
  wc.lpfnWndProc = TextViewProc;
  wc.hInstance = instance;
  wc.hCursor = LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_IBEAM));
  wc.lpszClassName = kTextViewClass;
  RegisterClassExA(&wc);
}

bool ShowTextViewBytes(HWND hwnd, std::string_view bytes) {
  char cls[32] = {};
  GetClassNameA(hwnd, cls, sizeof cls);
  if (std::strcmp(cls, kTextViewClass) != 0) return false;
  View* v = ViewOf(hwnd);
  if (!v) return false;
  v->model.SetText(bytes);
  Refresh(hwnd, *v);
  return true;
}

}  // namespace tanavo
