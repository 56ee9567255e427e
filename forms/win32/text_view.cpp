#include "forms/win32/text_view.h"

#include <windowsx.h>

#include <algorithm>
#include <climits>
#include <memory>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "forms/win32/wide.h"

namespace win32 {
namespace {

constexpr int kWheelLines = 3;
constexpr UINT kCopyCommand = 1, kSelectAllCommand = 2;

// The widths of characters in the view's font, shared with the measure the
// box's rows hold, which may outlive the view: then every character takes
// one column.
struct Measuring {
  HDC dc = nullptr;  // holds the font
  int charWidth = 8;
  // Whole cells of the width of a digit, at least one for anything that shows.
  size_t columns(char32_t c) const {
    if (!dc) return 1;
    wchar_t units[2];
    int n = 1;
    if (c < 0x10000) {
      units[0] = static_cast<wchar_t>(c);
    } else {
      units[0] = static_cast<wchar_t>(0xD800 + ((c - 0x10000) >> 10));
      units[1] = static_cast<wchar_t>(0xDC00 + ((c - 0x10000) & 0x3FF));
      n = 2;
    }
    SIZE extent{};
    GetTextExtentPoint32W(dc, units, n, &extent);
    if (extent.cx <= 0) return 0;
    return std::max<size_t>(1, static_cast<size_t>((extent.cx + charWidth / 2) / charWidth));
  }
};

struct View {
  forms::TextBox* box = nullptr;
  bool wraps = false;             // words wrap at the view's width; else columns are kept
  size_t anchor = 0, caret = 0;   // the selection, in bytes
  size_t top = 0, left = 0;       // first row and first column in view
  HFONT font = nullptr;
  std::shared_ptr<Measuring> measuring = std::make_shared<Measuring>();
  int charWidth = 8, lineHeight = 16;
  bool focused = false;
  bool invalid = false;       // a paint is on its way
  bool scrollsStale = false;  // the scroll bars wait for the next paint
  bool showsEnd = false;      // scrolled to show the last row
  bool toEnd = false;         // the caret went to the end: shown at the next paint
  struct Bar {
    int max = -1, page = 0, pos = 0;
    bool operator==(const Bar&) const = default;
  };
  Bar vertical, horizontal;  // as last set

  forms::TextRows& rows() const { return box->rows(); }
  const std::string& text() const { return box->text(); }
  // For a new text: nothing selected, its start in view.
  void clear() {
    anchor = caret = top = left = 0;
    showsEnd = toEnd = false;
  }
};

View* ViewOf(HWND hwnd) { return reinterpret_cast<View*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA)); }

SIZE Cells(HWND hwnd, const View& v) {
  RECT r;
  GetClientRect(hwnd, &r);
  return {std::max<LONG>(1, r.right / v.charWidth), std::max<LONG>(1, r.bottom / v.lineHeight)};
}

void Invalidate(HWND hwnd, View& v) {
  if (v.invalid) return;
  v.invalid = true;
  InvalidateRect(hwnd, nullptr, FALSE);
}

// A scroll bar set anew only when it changes: setting one costs a redraw of
// the frame, more than the text itself.
void SetScrollBar(HWND hwnd, int bar, View::Bar& was, View::Bar now) {
  if (now == was) return;
  was = now;
  SCROLLINFO si{};
  si.cbSize = sizeof si;
  si.fMask = SIF_RANGE | SIF_PAGE | SIF_POS | SIF_DISABLENOSCROLL;
  si.nMax = now.max;
  si.nPage = static_cast<UINT>(now.page);
  si.nPos = now.pos;
  SetScrollInfo(hwnd, bar, &si, TRUE);
}

void UpdateScrollBars(HWND hwnd, View& v) {
  SIZE cells = Cells(hwnd, v);
  v.scrollsStale = false;
  SetScrollBar(hwnd, SB_VERT, v.vertical,
               {static_cast<int>(v.rows().rows()) - 1, static_cast<int>(cells.cy), static_cast<int>(v.top)});
  if (!v.wraps)
    SetScrollBar(hwnd, SB_HORZ, v.horizontal,
                 {static_cast<int>(v.rows().widest()), static_cast<int>(cells.cx), static_cast<int>(v.left)});
}

void ScrollTo(HWND hwnd, View& v, long long top, long long left) {
  SIZE cells = Cells(hwnd, v);
  long long lastTop = std::max<long long>(0, static_cast<long long>(v.rows().rows()) - cells.cy);
  long long lastLeft = std::max<long long>(0, static_cast<long long>(v.rows().widest()) + 1 - cells.cx);
  v.top = static_cast<size_t>(std::clamp(top, 0LL, lastTop));
  v.left = v.wraps ? 0 : static_cast<size_t>(std::clamp(left, 0LL, lastLeft));  // wrapped rows fit
  v.showsEnd = static_cast<long long>(v.top) == lastTop;
  v.scrollsStale = true;
  Invalidate(hwnd, v);
}

void PlaceCaret(const View& v) {
  if (!v.focused) return;
  long long row = static_cast<long long>(v.rows().rowOf(v.caret)) - static_cast<long long>(v.top);
  long long column = static_cast<long long>(v.rows().columnOf(v.caret)) - static_cast<long long>(v.left);
  SetCaretPos(static_cast<int>(column * v.charWidth), static_cast<int>(row * v.lineHeight));
}

// The caret put at the end by pieces of output is followed once, when the
// view next looks, however many pieces came meanwhile.
void Settle(HWND hwnd, View& v) {
  if (!std::exchange(v.toEnd, false)) return;
  ScrollTo(hwnd, v, static_cast<long long>(v.rows().rows()) - Cells(hwnd, v).cy, static_cast<long long>(v.left));
  PlaceCaret(v);
}

// Brings the caret into view.
void ShowCaretLine(HWND hwnd, View& v) {
  SIZE cells = Cells(hwnd, v);
  long long row = static_cast<long long>(v.rows().rowOf(v.caret));
  long long column = static_cast<long long>(v.rows().columnOf(v.caret));
  long long top = static_cast<long long>(v.top), left = static_cast<long long>(v.left);
  if (row < top) top = row;
  if (row >= top + cells.cy) top = row - cells.cy + 1;
  if (column < left) left = column;
  if (column >= left + cells.cx) left = column - cells.cx + 1;
  ScrollTo(hwnd, v, top, left);
}

void Select(HWND hwnd, View& v, size_t caret, bool extend) {
  v.toEnd = false;
  v.caret = std::min(caret, v.text().size());
  if (!extend) v.anchor = v.caret;
  ShowCaretLine(hwnd, v);
  PlaceCaret(v);
  Invalidate(hwnd, v);
}

void Copy(HWND hwnd, const View& v) {
  size_t from = std::min(v.anchor, v.caret), to = std::max(v.anchor, v.caret);
  if (from == to || !OpenClipboard(hwnd)) return;
  std::wstring wide = Wide(std::string_view(v.text()).substr(from, to - from));
  EmptyClipboard();
  if (HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, (wide.size() + 1) * sizeof(wchar_t))) {
    std::copy_n(wide.c_str(), wide.size() + 1, static_cast<wchar_t*>(GlobalLock(memory)));
    GlobalUnlock(memory);
    if (!SetClipboardData(CF_UNICODETEXT, memory)) GlobalFree(memory);
  }
  CloseClipboard();
}

// The text straight into the caller's buffer, as much as fits: no copy of
// the whole text on the way, however long it is.
LRESULT GetText(const View& v, WPARAM room, wchar_t* out) {
  if (room == 0) return 0;
  const int most = static_cast<int>(std::min<WPARAM>(room - 1, INT_MAX));
  size_t units = std::min<size_t>(v.box->length(), static_cast<size_t>(most));
  std::string_view text = v.text();
  if (units < v.box->length()) text = text.substr(0, v.rows().offsetOfUtf16(units));
  int n = text.empty() ? 0 : MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), out, most);
  if (n == 0 && !text.empty()) {  // bytes that are not UTF-8 widen to more units than counted
    std::wstring wide = Wide(text);
    n = static_cast<int>(std::min<size_t>(wide.size(), static_cast<size_t>(most)));
    std::copy_n(wide.c_str(), n, out);
  }
  out[n] = L'\0';
  return n;
}

// What a row draws from column `left` on, as wide as the view: its UTF-16
// units, the advance of each, and the byte offset each stands for.
struct Drawn {
  std::wstring chars;
  std::vector<INT> dx;
  std::vector<size_t> offsets;
  void add(wchar_t c, int advance, size_t offset) {
    chars += c;
    dx.push_back(advance);
    offsets.push_back(offset);
  }
};

void DrawnRow(const View& v, size_t i, size_t columns, Drawn& d) {
  const forms::TextRows& rows = v.rows();
  const size_t end = rows.rowStart(i) + rows.row(i).size();
  size_t at = rows.rowStart(i), column = 0;
  // Past the columns left of the view...
  while (at < end && column < v.left) {
    forms::TextRows::Character c = rows.character(at, column);
    column += c.columns;
    at += c.bytes;
  }
  for (size_t pad = column; pad > v.left; --pad) d.add(L' ', v.charWidth, at);  // a tab cut by the edge
  // ...then only as many characters as the view is wide.
  while (at < end && column < v.left + columns + 1) {
    forms::TextRows::Character c = rows.character(at, column);
    if (v.text()[at] == '\t') {
      for (size_t k = 0; k < c.columns; ++k) d.add(L' ', v.charWidth, at);
    } else if (v.text()[at] != '\r') {
      wchar_t units[2];
      int n = MultiByteToWideChar(CP_UTF8, 0, v.text().data() + at, static_cast<int>(c.bytes), units, 2);
      for (int k = 0; k < n; ++k) d.add(units[k], k == 0 ? static_cast<int>(c.columns) * v.charWidth : 0, at);
    }
    column += c.columns;
    at += c.bytes;
  }
}

void Paint(HWND hwnd, View& v) {
  Settle(hwnd, v);
  if (v.scrollsStale) UpdateScrollBars(hwnd, v);
  v.invalid = false;
  PAINTSTRUCT ps;
  HDC dc = BeginPaint(hwnd, &ps);
  RECT client;
  GetClientRect(hwnd, &client);
  HGDIOBJ oldFont = SelectObject(dc, v.font);
  const COLORREF text = GetSysColor(COLOR_WINDOWTEXT), back = GetSysColor(COLOR_3DFACE);
  const COLORREF selText = GetSysColor(COLOR_HIGHLIGHTTEXT), selBack = GetSysColor(COLOR_HIGHLIGHT);
  const size_t selFrom = std::min(v.anchor, v.caret), selTo = std::max(v.anchor, v.caret);
  SIZE cells = Cells(hwnd, v);
  const size_t rows = v.rows().rows();
  Drawn d;
  for (LONG row = 0; row <= cells.cy; ++row) {
    RECT band{0, row * v.lineHeight, client.right, (row + 1) * v.lineHeight};
    size_t i = v.top + static_cast<size_t>(row);
    d = {};
    if (i < rows) DrawnRow(v, i, static_cast<size_t>(cells.cx), d);
    SetTextColor(dc, text);
    SetBkColor(dc, back);
    ExtTextOutW(dc, 0, band.top, ETO_OPAQUE | ETO_CLIPPED, &band, d.chars.c_str(),
                static_cast<UINT>(d.chars.size()), d.dx.data());
    // The selected part drawn again over it, in the selection's colours.
    size_t first = d.chars.size(), last = 0;
    for (size_t k = 0; k < d.offsets.size(); ++k)
      if (d.offsets[k] >= selFrom && d.offsets[k] < selTo) first = std::min(first, k), last = k + 1;
    if (first < last) {
      int x0 = 0;
      for (size_t k = 0; k < first; ++k) x0 += d.dx[k];
      int x1 = x0;
      for (size_t k = first; k < last; ++k) x1 += d.dx[k];
      RECT sel{x0, band.top, x1, band.bottom};
      SetTextColor(dc, selText);
      SetBkColor(dc, selBack);
      ExtTextOutW(dc, x0, band.top, ETO_OPAQUE | ETO_CLIPPED, &sel, d.chars.c_str() + first,
                  static_cast<UINT>(last - first), d.dx.data() + first);
    }
  }
  SelectObject(dc, oldFont);
  EndPaint(hwnd, &ps);
}

// Where the caret ends a row: at its line break, or on a row that wraps
// before its last character, as the offset after it begins the next row.
size_t RowEnd(const forms::TextRows& rows, size_t row) {
  const size_t start = rows.rowStart(row), end = start + rows.row(row).size();
  const bool wraps = row + 1 < rows.rows() && end == rows.rowStart(row + 1);
  return wraps && end > start ? rows.previous(end) : end;
}

// The character boundary of a row nearest a column, on the row.
size_t OnRow(const forms::TextRows& rows, size_t row, size_t column) {
  return std::min(rows.offsetAt(row, column), RowEnd(rows, row));
}

// The offset under a point of the client area.
size_t HitTest(const View& v, int x, int y) {
  long long row = static_cast<long long>(v.top) + (y < 0 ? -1 : y / v.lineHeight);
  if (row < 0) return 0;
  if (row >= static_cast<long long>(v.rows().rows())) return v.text().size();
  long long column = static_cast<long long>(v.left) * v.charWidth + std::max(0, x);
  return OnRow(v.rows(), static_cast<size_t>(row),
               static_cast<size_t>(column / v.charWidth) + (column % v.charWidth * 2 >= v.charWidth ? 1 : 0));
}

void OnKey(HWND hwnd, View& v, WPARAM key) {
  bool shift = GetKeyState(VK_SHIFT) < 0, ctrl = GetKeyState(VK_CONTROL) < 0;
  if (ctrl && key == 'A') {
    v.anchor = 0;
    return Select(hwnd, v, v.text().size(), true);
  }
  if (ctrl && (key == 'C' || key == VK_INSERT)) return Copy(hwnd, v);
  const forms::TextRows& rows = v.rows();
  SIZE cells = Cells(hwnd, v);
  size_t row = rows.rowOf(v.caret), column = rows.columnOf(v.caret);
  auto toRow = [&](long long target) {
    target = std::clamp(target, 0LL, static_cast<long long>(rows.rows()) - 1);
    Select(hwnd, v, OnRow(rows, static_cast<size_t>(target), column), shift);
  };
  switch (key) {
    case VK_LEFT: return Select(hwnd, v, rows.previous(v.caret), shift);
    case VK_RIGHT: return Select(hwnd, v, rows.next(v.caret), shift);
    case VK_UP: return toRow(static_cast<long long>(row) - 1);
    case VK_DOWN: return toRow(static_cast<long long>(row) + 1);
    case VK_PRIOR: return toRow(static_cast<long long>(row) - cells.cy);
    case VK_NEXT: return toRow(static_cast<long long>(row) + cells.cy);
    case VK_HOME: return Select(hwnd, v, ctrl ? 0 : rows.rowStart(row), shift);
    case VK_END:
      return Select(hwnd, v, ctrl ? v.text().size() : RowEnd(rows, row), shift);
    default: break;
  }
}

void OnScroll(HWND hwnd, View& v, int bar, WORD request) {
  SCROLLINFO si{};
  si.cbSize = sizeof si;
  si.fMask = SIF_ALL;
  GetScrollInfo(hwnd, bar, &si);
  long long pos = si.nPos, page = si.nPage;
  switch (request) {
    case SB_LINEUP: pos -= 1; break;
    case SB_LINEDOWN: pos += 1; break;
    case SB_PAGEUP: pos -= page; break;
    case SB_PAGEDOWN: pos += page; break;
    case SB_THUMBTRACK:
    case SB_THUMBPOSITION: pos = si.nTrackPos; break;
    case SB_TOP: pos = 0; break;
    case SB_BOTTOM: pos = si.nMax; break;
    default: return;
  }
  if (bar == SB_VERT) ScrollTo(hwnd, v, pos, static_cast<long long>(v.left));
  else ScrollTo(hwnd, v, static_cast<long long>(v.top), pos);
  PlaceCaret(v);
}

// The width rows wrap at: the columns the view shows.
void Rewrap(HWND hwnd, View& v) {
  if (!v.wraps) return;
  v.rows().wrapAt(static_cast<size_t>(Cells(hwnd, v).cx));
  v.top = std::min(v.top, v.rows().rows() - 1);
  v.scrollsStale = true;
  Invalidate(hwnd, v);
}

void SetFont(HWND hwnd, View& v, HFONT from) {
  LOGFONTW face{};
  GetObjectW(from ? from : static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT)), sizeof face, &face);
  // Console output lines up in columns: a fixed-pitch face of the same size.
  face.lfPitchAndFamily = FIXED_PITCH | FF_MODERN;
  lstrcpynW(face.lfFaceName, L"Courier New", LF_FACESIZE);
  HFONT font = CreateFontIndirectW(&face);
  Measuring& m = *v.measuring;
  if (!m.dc) m.dc = CreateCompatibleDC(nullptr);
  SelectObject(m.dc, font);
  if (v.font) DeleteObject(v.font);
  v.font = font;
  TEXTMETRICW tm{};
  GetTextMetricsW(m.dc, &tm);
  SIZE zero{};
  GetTextExtentPoint32W(m.dc, L"0", 1, &zero);
  v.charWidth = m.charWidth = std::max<LONG>(1, zero.cx);
  v.lineHeight = std::max<LONG>(1, tm.tmHeight);
  v.rows().setMeasure([m = v.measuring](char32_t c) { return m->columns(c); });
  v.scrollsStale = true;
  Invalidate(hwnd, v);
  Rewrap(hwnd, v);
}

// The box may be gone already, or live on: it is not touched.
void Destroy(HWND hwnd, View* v) {
  if (v->measuring->dc) DeleteDC(std::exchange(v->measuring->dc, nullptr));
  if (v->font) DeleteObject(v->font);
  delete v;
  SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
}

LRESULT CALLBACK ViewProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  if (msg == WM_NCCREATE) {
    auto* v = new View;
    v->box = static_cast<forms::TextBox*>(reinterpret_cast<CREATESTRUCTW*>(lp)->lpCreateParams);
    v->wraps = !v->box->streaming();
    if (!v->wraps) v->rows().wrapAt(0);
    SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(v));
    return DefWindowProcW(hwnd, msg, wp, lp);
  }
  View* v = ViewOf(hwnd);
  if (!v) return DefWindowProcW(hwnd, msg, wp, lp);
  // What the user or a program asks next sees the caret where the output put it.
  if (msg != WM_PAINT && msg != WM_GETTEXTLENGTH && msg != WM_NCDESTROY) Settle(hwnd, *v);
  switch (msg) {
    case WM_NCDESTROY:
      Destroy(hwnd, v);
      break;
    case WM_SETFONT:
      SetFont(hwnd, *v, reinterpret_cast<HFONT>(wp));
      return 0;
    case WM_GETFONT:
      return reinterpret_cast<LRESULT>(v->font);
    case WM_PAINT:
      Paint(hwnd, *v);
      return 0;
    case WM_ERASEBKGND:
      return 1;
    case WM_SIZE:
      Rewrap(hwnd, *v);
      // A view that showed its last row goes on showing it, larger or smaller.
      ScrollTo(hwnd, *v, v->showsEnd ? static_cast<long long>(v->rows().rows()) : static_cast<long long>(v->top),
               static_cast<long long>(v->left));
      UpdateScrollBars(hwnd, *v);
      return 0;
    case WM_VSCROLL:
    case WM_HSCROLL:
      OnScroll(hwnd, *v, msg == WM_VSCROLL ? SB_VERT : SB_HORZ, LOWORD(wp));
      return 0;
    case WM_MOUSEWHEEL:
      ScrollTo(hwnd, *v,
               static_cast<long long>(v->top) - GET_WHEEL_DELTA_WPARAM(wp) / WHEEL_DELTA * kWheelLines,
               static_cast<long long>(v->left));
      PlaceCaret(*v);
      return 0;
    case WM_SETFOCUS:
      v->focused = true;
      CreateCaret(hwnd, nullptr, 1, v->lineHeight);
      PlaceCaret(*v);
      ShowCaret(hwnd);
      return 0;
    case WM_KILLFOCUS:
      v->focused = false;
      DestroyCaret();
      return 0;
    case WM_LBUTTONDOWN:
      SetFocus(hwnd);
      SetCapture(hwnd);
      Select(hwnd, *v, HitTest(*v, GET_X_LPARAM(lp), GET_Y_LPARAM(lp)), (wp & MK_SHIFT) != 0);
      return 0;
    case WM_MOUSEMOVE:
      if (GetCapture() == hwnd)
        Select(hwnd, *v, HitTest(*v, GET_X_LPARAM(lp), GET_Y_LPARAM(lp)), true);
      return 0;
    case WM_LBUTTONUP:
      if (GetCapture() == hwnd) ReleaseCapture();
      return 0;
    case WM_CONTEXTMENU: {
      HMENU menu = CreatePopupMenu();
      AppendMenuW(menu, v->anchor == v->caret ? MF_GRAYED : MF_ENABLED, kCopyCommand, L"&Copy");
      AppendMenuW(menu, MF_ENABLED, kSelectAllCommand, L"Select &All");
      POINT at{GET_X_LPARAM(lp), GET_Y_LPARAM(lp)};
      if (at.x == -1 && at.y == -1) GetCursorPos(&at);
      UINT chosen = TrackPopupMenu(menu, TPM_RETURNCMD | TPM_RIGHTBUTTON, at.x, at.y, 0, hwnd, nullptr);
      DestroyMenu(menu);
      if (chosen == kCopyCommand) Copy(hwnd, *v);
      if (chosen == kSelectAllCommand) {
        v->anchor = 0;
        Select(hwnd, *v, v->text().size(), true);
      }
      return 0;
    }
    case WM_GETDLGCODE:
      return DLGC_WANTARROWS;
    case WM_KEYDOWN:
      OnKey(hwnd, *v, wp);
      return 0;
    case WM_COPY:
      Copy(hwnd, *v);
      return 0;
    case WM_GETTEXTLENGTH:
      return static_cast<LRESULT>(v->box->length());
    case WM_GETTEXT:
      return GetText(*v, wp, reinterpret_cast<wchar_t*>(lp));
    case WM_SETTEXT:
      // Text set from outside is the box's text, as with any text box.
      v->clear();
      v->box->userEdit(lp ? Utf8(reinterpret_cast<const wchar_t*>(lp)) : std::string());
      v->scrollsStale = true;
      Invalidate(hwnd, *v);
      return TRUE;
    case EM_GETSEL: {
      size_t from = v->rows().utf16Of(std::min(v->anchor, v->caret));
      size_t to = v->rows().utf16Of(std::max(v->anchor, v->caret));
      if (wp) *reinterpret_cast<DWORD*>(wp) = static_cast<DWORD>(from);
      if (lp) *reinterpret_cast<DWORD*>(lp) = static_cast<DWORD>(to);
      return MAKELRESULT(std::min<size_t>(from, 0xFFFF), std::min<size_t>(to, 0xFFFF));
    }
    case EM_SETSEL: {
      auto end = static_cast<long long>(static_cast<LONG>(lp));
      auto start = static_cast<long long>(static_cast<LONG>(wp));
      size_t size = v->text().size();
      v->anchor = start < 0 ? v->caret : v->rows().offsetOfUtf16(static_cast<size_t>(start));
      Select(hwnd, *v, end < 0 ? size : v->rows().offsetOfUtf16(static_cast<size_t>(end)), true);
      return 0;
    }
    case EM_GETLINECOUNT:
      return static_cast<LRESULT>(v->rows().rows());
    case EM_SCROLLCARET:
      ShowCaretLine(hwnd, *v);
      return TRUE;
    default:
      break;
  }
  return DefWindowProcW(hwnd, msg, wp, lp);
}

}  // namespace

bool IsTextView(const forms::Control& c) {
  if (c.kind() != forms::Kind::TextBox) return false;
  auto& box = static_cast<const forms::TextBox&>(c);
  return box.multiLine() && box.readOnly();
}

void RegisterTextView(HINSTANCE instance) {
  WNDCLASSEXW wc{};
  wc.cbSize = sizeof wc;
  wc.style = CS_DBLCLKS;
  wc.lpfnWndProc = ViewProc;
  wc.hInstance = instance;
  wc.hCursor = LoadCursorW(nullptr, IDC_IBEAM);
  wc.lpszClassName = kTextViewClass;
  RegisterClassExW(&wc);
}

HWND CreateTextView(HINSTANCE instance, HWND parent, int id, forms::TextBox& box) {
  DWORD scrolls = box.streaming() ? WS_VSCROLL | WS_HSCROLL : WS_VSCROLL;
  return CreateWindowExW(WS_EX_CLIENTEDGE, kTextViewClass, nullptr, WS_CHILD | WS_TABSTOP | scrolls,
                         0, 0, 0, 0, parent, reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
                         instance, &box);
}

// Costs nothing per piece of output: the rows are found, and the caret
// followed, when the view is next painted.
void TextChanged(HWND hwnd, forms::Prop prop) {
  View* v = ViewOf(hwnd);
  if (!v) return;
  if (prop == forms::Prop::Text) v->clear();
  if (prop == forms::Prop::Caret) {
    forms::TextBox& box = *v->box;
    if (box.selStart() >= box.length()) {
      v->anchor = v->caret = v->text().size();
      v->toEnd = true;
    } else {
      v->toEnd = false;
      v->anchor = v->caret = v->rows().offsetOfUtf16(box.selStart());
      ShowCaretLine(hwnd, *v);
    }
  }
  v->scrollsStale = true;
  Invalidate(hwnd, *v);
}

}  // namespace win32
