#include "forms/win32/text_view.h"

#include <windowsx.h>

#include <algorithm>
#include <string>
#include <string_view>
#include <vector>

#include "forms/win32/wide.h"

namespace win32 {
namespace {

constexpr int kTabWidth = 8;
constexpr int kWheelLines = 3;
constexpr UINT kCopyCommand = 1, kSelectAllCommand = 2;

bool IsContinuation(char c) { return (static_cast<unsigned char>(c) & 0xC0) == 0x80; }

// The columns a character takes at `column`: a tab to the next stop, a
// carriage return none, anything else one.
int Width(char c, size_t column) {
  if (c == '\t') return kTabWidth - static_cast<int>(column % kTabWidth);
  return c == '\r' ? 0 : 1;
}

struct View {
  static constexpr size_t kNone = static_cast<size_t>(-1);

  forms::TextBox* box = nullptr;
  bool wraps = false;             // words wrap at the view's width; else columns are kept
  size_t columns = kNone;         // the width rows wrap at
  std::vector<size_t> starts{0};  // where each row starts, in bytes
  size_t indexed = 0;             // bytes of the text the index covers
  size_t lastColumns = 0;         // columns of the last row so far
  size_t lastBreak = kNone;       // where the last row may wrap: just after its last blank
  size_t widest = 0;              // columns of the widest row
  size_t anchor = 0, caret = 0;   // the selection, in bytes
  size_t top = 0, left = 0;       // first row and first column in view
  HFONT font = nullptr;
  int charWidth = 8, lineHeight = 16;
  bool focused = false;
  bool invalid = false;   // a paint is on its way
  bool scrollsStale = false;  // the scroll bars wait for the next paint
  bool showsEnd = false;      // scrolled to show the last row
  struct Bar {
    int max = -1, page = 0, pos = 0;
    bool operator==(const Bar&) const = default;
  };
  Bar vertical, horizontal;  // as last set

  std::string_view text() const { return box->text(); }
  size_t lines() const { return starts.size(); }
  // The row's bytes, its line break not included.
  std::string_view line(size_t i) const {
    size_t end = i + 1 < starts.size() ? starts[i + 1] : text().size();
    if (end > starts[i] && text()[end - 1] == '\n') --end;
    return text().substr(starts[i], end - starts[i]);
  }
  size_t lineOf(size_t offset) const {
    return static_cast<size_t>(std::upper_bound(starts.begin(), starts.end(), offset) - starts.begin()) - 1;
  }
  size_t columnOf(size_t offset) const {
    size_t i = lineOf(offset), column = 0;
    std::string_view l = line(i);
    for (size_t at = 0; at < l.size() && starts[i] + at < offset; ++at)
      if (!IsContinuation(l[at])) column += Width(l[at], column);
    return column;
  }
  // The offset of the character at or just before `column` of row i.
  size_t offsetAt(size_t i, size_t column) const {
    std::string_view l = line(i);
    size_t at = 0, col = 0;
    while (at < l.size()) {
      size_t next = at + 1;
      while (next < l.size() && IsContinuation(l[next])) ++next;
      int w = Width(l[at], col);
      if (col + w > column && w > 0) {
        if (column - col >= static_cast<size_t>(w + 1) / 2) at = next;  // nearer its end
        break;
      }
      col += w;
      at = next;
    }
    return starts[i] + at;
  }

  // Indexes the text from where the index ends: a line break starts a row,
  // and so does a character that would pass the width while wrapping, at
  // the blank before it when the row has one.
  void index() {
    std::string_view t = text();
    for (size_t at = indexed; at < t.size(); ++at) {
      char c = t[at];
      if (c == '\n') {
        widest = std::max(widest, lastColumns);
        starts.push_back(at + 1);
        lastColumns = 0;
        lastBreak = kNone;
        continue;
      }
      if (IsContinuation(c)) continue;
      if (wraps && c != ' ' && lastColumns > 0 && lastColumns + Width(c, lastColumns) > columns) {
        size_t from = lastBreak != kNone ? lastBreak : at;
        starts.push_back(from);
        lastColumns = 0;
        lastBreak = kNone;
        for (size_t k = from; k < at; ++k)
          if (!IsContinuation(t[k])) lastColumns += Width(t[k], lastColumns);
      }
      lastColumns += Width(c, lastColumns);
      if (c == ' ') lastBreak = at + 1;
    }
    indexed = t.size();
    widest = std::max(widest, lastColumns);
  }
  // Nothing indexed yet.
  void reset() {
    starts.assign(1, 0);
    indexed = lastColumns = widest = 0;
    lastBreak = kNone;
  }
  // The whole text indexed anew, the selection kept.
  void reindex() {
    reset();
    index();
    anchor = std::min(anchor, text().size());
    caret = std::min(caret, text().size());
    top = std::min(top, lines() - 1);
  }
  // For a new text: nothing indexed, nothing selected, its start in view.
  void clear() {
    reset();
    anchor = caret = top = left = 0;
    showsEnd = false;
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
               {static_cast<int>(v.lines()) - 1, static_cast<int>(cells.cy), static_cast<int>(v.top)});
  if (!v.wraps)
    SetScrollBar(hwnd, SB_HORZ, v.horizontal,
                 {static_cast<int>(v.widest), static_cast<int>(cells.cx), static_cast<int>(v.left)});
}

void ScrollTo(HWND hwnd, View& v, long long top, long long left) {
  SIZE cells = Cells(hwnd, v);
  long long lastTop = std::max<long long>(0, static_cast<long long>(v.lines()) - cells.cy);
  long long lastLeft = std::max<long long>(0, static_cast<long long>(v.widest) + 1 - cells.cx);
  v.top = static_cast<size_t>(std::clamp(top, 0LL, lastTop));
  v.left = static_cast<size_t>(std::clamp(left, 0LL, lastLeft));
  v.showsEnd = static_cast<long long>(v.top) == lastTop;
  v.scrollsStale = true;
  Invalidate(hwnd, v);
}

void PlaceCaret(const View& v) {
  if (!v.focused) return;
  bool atEnd = v.caret == v.text().size();
  long long line = static_cast<long long>(v.lineOf(v.caret)) - static_cast<long long>(v.top);
  long long column = static_cast<long long>(atEnd ? v.lastColumns : v.columnOf(v.caret)) -
                     static_cast<long long>(v.left);
  SetCaretPos(static_cast<int>(column * v.charWidth), static_cast<int>(line * v.lineHeight));
}

// Brings the caret into view.
void ShowCaretLine(HWND hwnd, View& v) {
  SIZE cells = Cells(hwnd, v);
  long long line = static_cast<long long>(v.lineOf(v.caret));
  long long column = static_cast<long long>(v.columnOf(v.caret));
  long long top = static_cast<long long>(v.top), left = static_cast<long long>(v.left);
  if (line < top) top = line;
  if (line >= top + cells.cy) top = line - cells.cy + 1;
  if (column < left) left = column;
  if (column >= left + cells.cx) left = column - cells.cx + 1;
  ScrollTo(hwnd, v, top, left);
}

void Select(HWND hwnd, View& v, size_t caret, bool extend) {
  v.caret = std::min(caret, v.text().size());
  if (!extend) v.anchor = v.caret;
  ShowCaretLine(hwnd, v);
  PlaceCaret(v);
  Invalidate(hwnd, v);
}

size_t Utf16Index(const View& v, size_t offset) { return forms::Utf16Length(v.text().substr(0, offset)); }

size_t OffsetOfUtf16(const View& v, size_t units) {
  std::string_view t = v.text();
  size_t at = 0, counted = 0;
  while (at < t.size() && counted < units) {
    unsigned char c = static_cast<unsigned char>(t[at]);
    counted += c >= 0xF0 ? 2 : 1;
    ++at;
    while (at < t.size() && IsContinuation(t[at])) ++at;
  }
  return at;
}

void Copy(HWND hwnd, const View& v) {
  size_t from = std::min(v.anchor, v.caret), to = std::max(v.anchor, v.caret);
  if (from == to || !OpenClipboard(hwnd)) return;
  std::wstring wide = Wide(v.text().substr(from, to - from));
  EmptyClipboard();
  if (HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, (wide.size() + 1) * sizeof(wchar_t))) {
    std::copy_n(wide.c_str(), wide.size() + 1, static_cast<wchar_t*>(GlobalLock(memory)));
    GlobalUnlock(memory);
    if (!SetClipboardData(CF_UNICODETEXT, memory)) GlobalFree(memory);
  }
  CloseClipboard();
}

void Paint(HWND hwnd, View& v) {
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
  std::wstring chars;
  std::vector<INT> dx;
  std::vector<size_t> offsets;  // the byte offset of each UTF-16 unit drawn
  for (LONG row = 0; row <= cells.cy; ++row) {
    RECT band{0, row * v.lineHeight, client.right, (row + 1) * v.lineHeight};
    size_t i = v.top + static_cast<size_t>(row);
    chars.clear();
    dx.clear();
    offsets.clear();
    if (i < v.lines()) {
      std::string_view l = v.line(i);
      size_t at = 0, column = 0;
      // Past the columns left of the view...
      while (at < l.size() && column < v.left) {
        if (!IsContinuation(l[at])) column += Width(l[at], column);
        ++at;
      }
      while (at < l.size() && IsContinuation(l[at])) ++at;
      for (size_t pad = column; pad > v.left; --pad) {  // a tab cut by the edge
        chars += L' ';
        dx.push_back(v.charWidth);
        offsets.push_back(v.starts[i] + at);
      }
      // ...then only as many characters as the view is wide.
      while (at < l.size() && column < v.left + static_cast<size_t>(cells.cx) + 1) {
        size_t next = at + 1;
        while (next < l.size() && IsContinuation(l[next])) ++next;
        int w = Width(l[at], column);
        std::wstring unit = l[at] == '\t' ? std::wstring(static_cast<size_t>(w), L' ')
                                          : w == 0 ? std::wstring() : Wide(l.substr(at, next - at));
        for (size_t k = 0; k < unit.size(); ++k) {
          chars += unit[k];
          bool pairStart = unit.size() == 2 && k == 0 && l[at] != '\t';
          dx.push_back(l[at] == '\t' || unit.size() == 1 || pairStart ? v.charWidth : 0);
          offsets.push_back(v.starts[i] + at);
        }
        column += w;
        at = next;
      }
    }
    SetTextColor(dc, text);
    SetBkColor(dc, back);
    ExtTextOutW(dc, 0, band.top, ETO_OPAQUE | ETO_CLIPPED, &band, chars.c_str(),
                static_cast<UINT>(chars.size()), dx.data());
    // The selected part drawn again over it, in the selection's colours.
    size_t first = chars.size(), last = 0;
    for (size_t k = 0; k < offsets.size(); ++k)
      if (offsets[k] >= selFrom && offsets[k] < selTo) first = std::min(first, k), last = k + 1;
    if (first < last) {
      int x0 = 0;
      for (size_t k = 0; k < first; ++k) x0 += dx[k];
      int x1 = x0;
      for (size_t k = first; k < last; ++k) x1 += dx[k];
      RECT sel{x0, band.top, x1, band.bottom};
      SetTextColor(dc, selText);
      SetBkColor(dc, selBack);
      ExtTextOutW(dc, x0, band.top, ETO_OPAQUE | ETO_CLIPPED, &sel, chars.c_str() + first,
                  static_cast<UINT>(last - first), dx.data() + first);
    }
  }
  SelectObject(dc, oldFont);
  EndPaint(hwnd, &ps);
}

// The offset under a point of the client area.
size_t HitTest(const View& v, int x, int y) {
  long long line = static_cast<long long>(v.top) + (y < 0 ? -1 : y / v.lineHeight);
  if (line < 0) return 0;
  if (line >= static_cast<long long>(v.lines())) return v.text().size();
  long long column = static_cast<long long>(v.left) * v.charWidth + std::max(0, x);
  return v.offsetAt(static_cast<size_t>(line), static_cast<size_t>(column / v.charWidth) +
                                                   (column % v.charWidth * 2 >= v.charWidth ? 1 : 0));
}

void OnKey(HWND hwnd, View& v, WPARAM key) {
  bool shift = GetKeyState(VK_SHIFT) < 0, ctrl = GetKeyState(VK_CONTROL) < 0;
  if (ctrl && key == 'A') {
    v.anchor = 0;
    return Select(hwnd, v, v.text().size(), true);
  }
  if (ctrl && (key == 'C' || key == VK_INSERT)) return Copy(hwnd, v);
  SIZE cells = Cells(hwnd, v);
  size_t line = v.lineOf(v.caret), column = v.columnOf(v.caret);
  auto toLine = [&](long long target) {
    target = std::clamp(target, 0LL, static_cast<long long>(v.lines()) - 1);
    Select(hwnd, v, v.offsetAt(static_cast<size_t>(target), column), shift);
  };
  std::string_view t = v.text();
  switch (key) {
    case VK_LEFT: {
      size_t at = v.caret;
      if (at > 0) --at;
      while (at > 0 && IsContinuation(t[at])) --at;
      if (at > 0 && t[at] == '\n' && t[at - 1] == '\r') --at;
      return Select(hwnd, v, at, shift);
    }
    case VK_RIGHT: {
      size_t at = v.caret;
      if (at < t.size() && t[at] == '\r' && at + 1 < t.size() && t[at + 1] == '\n') ++at;
      if (at < t.size()) ++at;
      while (at < t.size() && IsContinuation(t[at])) ++at;
      return Select(hwnd, v, at, shift);
    }
    case VK_UP: return toLine(static_cast<long long>(line) - 1);
    case VK_DOWN: return toLine(static_cast<long long>(line) + 1);
    case VK_PRIOR: return toLine(static_cast<long long>(line) - cells.cy);
    case VK_NEXT: return toLine(static_cast<long long>(line) + cells.cy);
    case VK_HOME: return Select(hwnd, v, ctrl ? 0 : v.starts[line], shift);
    case VK_END: return Select(hwnd, v, ctrl ? t.size() : v.starts[line] + v.line(line).size(), shift);
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
  size_t columns = static_cast<size_t>(Cells(hwnd, v).cx);
  if (columns == v.columns) return;
  v.columns = columns;
  v.reindex();
  v.scrollsStale = true;
  Invalidate(hwnd, v);
}

void SetFont(HWND hwnd, View& v, HFONT from) {
  LOGFONTW face{};
  GetObjectW(from ? from : static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT)), sizeof face, &face);
  // Console output lines up in columns: a fixed-pitch face of the same size.
  face.lfPitchAndFamily = FIXED_PITCH | FF_MODERN;
  lstrcpynW(face.lfFaceName, L"Courier New", LF_FACESIZE);
  if (v.font) DeleteObject(v.font);
  v.font = CreateFontIndirectW(&face);
  HDC dc = GetDC(hwnd);
  HGDIOBJ old = SelectObject(dc, v.font);
  TEXTMETRICW tm{};
  GetTextMetricsW(dc, &tm);
  SIZE zero{};
  GetTextExtentPoint32W(dc, L"0", 1, &zero);
  SelectObject(dc, old);
  ReleaseDC(hwnd, dc);
  v.charWidth = std::max<LONG>(1, zero.cx);
  v.lineHeight = std::max<LONG>(1, tm.tmHeight);
  v.scrollsStale = true;
  Invalidate(hwnd, v);
  Rewrap(hwnd, v);
}

LRESULT CALLBACK ViewProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  if (msg == WM_NCCREATE) {
    auto* v = new View;
    v->box = static_cast<forms::TextBox*>(reinterpret_cast<CREATESTRUCTW*>(lp)->lpCreateParams);
    v->wraps = !v->box->streaming();
    v->index();
    SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(v));
    return DefWindowProcW(hwnd, msg, wp, lp);
  }
  View* v = ViewOf(hwnd);
  if (!v) return DefWindowProcW(hwnd, msg, wp, lp);
  switch (msg) {
    case WM_NCDESTROY:
      if (v->font) DeleteObject(v->font);
      delete v;
      SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
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
      ScrollTo(hwnd, *v, v->showsEnd ? static_cast<long long>(v->lines()) : static_cast<long long>(v->top),
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
    case WM_GETTEXT: {
      if (wp == 0) return 0;
      std::wstring wide = Wide(v->text());
      size_t n = std::min<size_t>(wide.size(), wp - 1);
      auto* out = reinterpret_cast<wchar_t*>(lp);
      std::copy_n(wide.c_str(), n, out);
      out[n] = L'\0';
      return static_cast<LRESULT>(n);
    }
    case WM_SETTEXT:
      // Text set from outside is the box's text, as with any text box.
      v->clear();
      v->box->userEdit(lp ? Utf8(reinterpret_cast<const wchar_t*>(lp)) : std::string());
      v->index();
      v->scrollsStale = true;
      Invalidate(hwnd, *v);
      return TRUE;
    case EM_GETSEL: {
      size_t from = Utf16Index(*v, std::min(v->anchor, v->caret));
      size_t to = Utf16Index(*v, std::max(v->anchor, v->caret));
      if (wp) *reinterpret_cast<DWORD*>(wp) = static_cast<DWORD>(from);
      if (lp) *reinterpret_cast<DWORD*>(lp) = static_cast<DWORD>(to);
      return MAKELRESULT(std::min<size_t>(from, 0xFFFF), std::min<size_t>(to, 0xFFFF));
    }
    case EM_SETSEL: {
      auto end = static_cast<long long>(static_cast<LONG>(lp));
      auto start = static_cast<long long>(static_cast<LONG>(wp));
      size_t size = v->text().size();
      v->anchor = start < 0 ? v->caret : OffsetOfUtf16(*v, static_cast<size_t>(start));
      Select(hwnd, *v, end < 0 ? size : OffsetOfUtf16(*v, static_cast<size_t>(end)), true);
      return 0;
    }
    case EM_GETLINECOUNT:
      return static_cast<LRESULT>(v->lines());
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

void TextChanged(HWND hwnd, forms::Prop prop) {
  View* v = ViewOf(hwnd);
  if (!v) return;
  if (prop == forms::Prop::Text) v->clear();
  v->index();
  if (prop == forms::Prop::Caret) {
    size_t size = v->text().size();
    // The caret at the end, as each piece of output puts it, follows it
    // without a look at the text; anywhere else is found by counting.
    size_t at = v->box->selStart() >= v->box->length() ? size : OffsetOfUtf16(*v, v->box->selStart());
    v->anchor = v->caret = at;
    if (at == size) {
      SIZE cells = Cells(hwnd, *v);
      ScrollTo(hwnd, *v, static_cast<long long>(v->lines()) - cells.cy, static_cast<long long>(v->left));
      PlaceCaret(*v);
    } else {
      ShowCaretLine(hwnd, *v);
    }
  }
  v->scrollsStale = true;
  Invalidate(hwnd, *v);
}

}  // namespace win32
