#include "forms/win32/win32_backend.h"

#include <commctrl.h>

#include <algorithm>
#include <vector>

#include "forms/win32/accessible_name.h"
#include "forms/win32/font_scale.h"
#include "forms/win32/output_view.h"
#include "platform/win32/wide.h"

namespace win32 {
namespace {

constexpr wchar_t kFormClass[] = L"VorlaneForm";
constexpr int kFirstId = 100;
constexpr int kComboDropHeight = 200;  // list part of a drop-down, in pixels
constexpr UINT_PTR kFormTimer = 1;  // a form's onTimer

// The part of the window's screen not taken by the task bar.
RECT WorkArea(HWND hwnd) {
  MONITORINFO mi{};
  mi.cbSize = sizeof mi;
  GetMonitorInfoW(MonitorFromWindow(hwnd, MONITOR_DEFAULTTONEAREST), &mi);
  return mi.rcWork;
}

int Depth(const forms::Control& control) {
  int depth = 0;
  for (const forms::Control* c = control.container(); c != nullptr; c = c->container()) ++depth;
  return depth;
}

struct NativeKind {
  const wchar_t* cls;
  DWORD style;
  DWORD exStyle;
};

NativeKind KindOf(const forms::Control& control) {
  using forms::Kind;
  switch (control.kind()) {
    case Kind::Frame:
      return {L"BUTTON", BS_GROUPBOX, 0};
    case Kind::Label:
      return {L"STATIC", SS_LEFT, 0};
    case Kind::TextBox: {
      auto& box = static_cast<const forms::TextBox&>(control);
      DWORD style = WS_TABSTOP | (box.readOnly() ? ES_READONLY : 0);
      style |= box.multiLine() ? ES_MULTILINE | ES_AUTOVSCROLL | WS_VSCROLL : ES_AUTOHSCROLL;
      return {L"EDIT", style, WS_EX_CLIENTEDGE};
    }
    case Kind::ComboBox:
      return {L"COMBOBOX", CBS_DROPDOWNLIST | WS_VSCROLL | WS_TABSTOP, 0};
    case Kind::CheckBox:
      return {L"BUTTON", BS_3STATE | WS_TABSTOP, 0};
    case Kind::OptionButton:
      return {L"BUTTON", BS_RADIOBUTTON | WS_TABSTOP, 0};
    case Kind::CommandButton:
      return {L"BUTTON", BS_PUSHBUTTON | WS_TABSTOP, 0};
    case Kind::FileListBox:
      return {L"LISTBOX", LBS_NOTIFY | WS_VSCROLL | WS_TABSTOP, WS_EX_CLIENTEDGE};
    case Kind::Form:
      break;
  }
  return {L"STATIC", 0, 0};
}

bool IsOutputView(const forms::Control& c) {
  return c.kind() == forms::Kind::TextBox && static_cast<const forms::TextBox&>(c).streaming();
}

DWORD FormStyle(const forms::Form& form) {
  return form.style() == forms::Style::Main ? WS_OVERLAPPEDWINDOW
                                            : WS_POPUP | WS_CAPTION | WS_SYSMENU;
}

DWORD FormExStyle(const forms::Form& form) {
  return form.style() == forms::Style::Main ? WS_EX_APPWINDOW : WS_EX_DLGMODALFRAME;
}

}  // namespace

struct Win32Backend::Window {
  explicit Window(forms::Form& f) : form(f) {}
  forms::Form& form;
  HWND hwnd = nullptr;
  HWND tooltip = nullptr;
  HFONT font = nullptr;
  UINT dpi = 96;
  Scale scale;
  SIZE designSize{};  // the whole window at its design's size
  bool centred = false;
  bool modal = false;
  std::vector<HWND> controls;  // by the control's place in the form
  ~Window() {
    if (hwnd) DestroyWindow(hwnd);
    if (font) DeleteObject(font);
  }
};

Win32Backend::Win32Backend(HINSTANCE instance) : instance_(instance) {
  INITCOMMONCONTROLSEX icc{sizeof icc, ICC_STANDARD_CLASSES | ICC_TAB_CLASSES};
  InitCommonControlsEx(&icc);
  WNDCLASSEXW wc{};
  wc.cbSize = sizeof wc;
  wc.lpfnWndProc = FormProc;
  wc.hInstance = instance;
  wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
  wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
  wc.hIcon = LoadIconW(instance, L"APPICON");
  wc.lpszClassName = kFormClass;
  RegisterClassExW(&wc);
  RegisterOutputView(instance);
}

Win32Backend::~Win32Backend() { windows_.clear(); }

HWND Win32Backend::window(const forms::Form* form) const {
  auto it = windows_.find(form);
  return it == windows_.end() ? nullptr : it->second->hwnd;
}

HWND Win32Backend::control(const forms::Control& control) const {
  auto it = windows_.find(&control.form());
  if (it == windows_.end()) return nullptr;
  const auto& all = control.form().controls();
  for (size_t i = 0; i < all.size(); ++i)
    if (all[i].get() == &control) return it->second->controls[i];
  return it->second->hwnd;
}

Scale Win32Backend::scale(const forms::Form& form) const {
  auto it = windows_.find(&form);
  return it == windows_.end() ? Scale{} : it->second->scale;
}

HWND Win32Backend::mainWindow() const {
  for (const auto& [form, window] : windows_)
    if (form->style() == forms::Style::Main) return window->hwnd;
  return nullptr;
}

Win32Backend::Window& Win32Backend::create(forms::Form& form) {
  auto owned = std::make_unique<Window>(form);
  Window& w = *owned;
  windows_[&form] = std::move(owned);
  HWND owner = form.style() == forms::Style::Dialog ? mainWindow() : nullptr;
  w.hwnd = CreateWindowExW(FormExStyle(form), kFormClass, Wide(form.text()).c_str(),
                           FormStyle(form), CW_USEDEFAULT, CW_USEDEFAULT, 100, 100, owner,
                           nullptr, instance_, nullptr);
  SetWindowLongPtrW(w.hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
  w.dpi = GetDpiForWindow(w.hwnd);
  w.tooltip = CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_ALWAYSTIP,
                              0, 0, 0, 0, w.hwnd, nullptr, instance_, nullptr);

  const auto& all = form.controls();
  w.controls.resize(all.size());
  for (size_t i = 0; i < all.size(); ++i) {
    forms::Control& c = *all[i];
    NativeKind kind = KindOf(c);
    const int id = kFirstId + static_cast<int>(i);
    HWND hwnd = IsOutputView(c)
                    ? CreateOutputView(instance_, w.hwnd, id, static_cast<forms::TextBox&>(c))
                    : CreateWindowExW(kind.exStyle, kind.cls, Wide(c.text()).c_str(),
                                      WS_CHILD | kind.style, 0, 0, 0, 0, w.hwnd,
                                      reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
                                      instance_, nullptr);
    w.controls[i] = hwnd;
    SetPropW(hwnd, L"VorlaneName",
             reinterpret_cast<HANDLE>(static_cast<UINT_PTR>(GlobalAddAtomW(Wide(c.codeName()).c_str()))));
    // The output view answers for itself; edits and lists are standard controls.
    const bool edit = c.kind() == forms::Kind::TextBox && !IsOutputView(c);
    if (edit) {
      if (static_cast<forms::TextBox&>(c).multiLine()) SendMessageW(hwnd, EM_SETLIMITTEXT, 0, 0);
      SetWindowSubclass(hwnd, EditProc, 0, reinterpret_cast<DWORD_PTR>(&c));
    }
    if (edit || c.kind() == forms::Kind::ComboBox || c.kind() == forms::Kind::FileListBox)
      SetWindowSubclass(hwnd, NamedProc, 0, reinterpret_cast<DWORD_PTR>(&c));
    if (!c.tooltip().empty()) {
      std::wstring tip = Wide(c.tooltip());
      TTTOOLINFOW ti{};
      ti.cbSize = sizeof ti;
      ti.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
      ti.hwnd = w.hwnd;
      ti.uId = reinterpret_cast<UINT_PTR>(hwnd);
      ti.lpszText = tip.data();
      SendMessageW(w.tooltip, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&ti));
    }
    bool list = c.kind() == forms::Kind::ComboBox || c.kind() == forms::Kind::FileListBox;
    mirror(w, c, hwnd, list ? forms::Prop::List : forms::Prop::Value);
    mirror(w, c, hwnd, forms::Prop::Enabled);
  }

  // Tab order is window order: focusable controls by tab index, frames beneath all.
  std::vector<size_t> order(all.size());
  for (size_t i = 0; i < order.size(); ++i) order[i] = i;
  std::stable_sort(order.begin(), order.end(), [&](size_t a, size_t b) {
    bool fa = all[a]->kind() == forms::Kind::Frame, fb = all[b]->kind() == forms::Kind::Frame;
    if (fa != fb) return fb;
    if (fa) return Depth(*all[a]) > Depth(*all[b]);
    return all[a]->tabIndex() < all[b]->tabIndex();
  });
  HWND after = HWND_TOP;
  for (size_t i : order) {
    SetWindowPos(w.controls[i], after, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    after = w.controls[i];
  }
  layout(w);
  updateVisibility(w);
  return w;
}

void Win32Backend::layout(Window& w) {
  NONCLIENTMETRICSW metrics{};
  metrics.cbSize = sizeof metrics;
  SystemParametersInfoForDpi(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0, w.dpi);
  LOGFONTW face = metrics.lfMessageFont;
  if (w.font) DeleteObject(w.font);
  w.font = CreateFontIndirectW(&face);
  w.scale = FontScale(w.form, w.hwnd, w.font, w.dpi);

  // A window that would not fit its screen's work area shrinks as a whole,
  // its font with it; the frame around the client area stays as it is.
  const forms::Form& form = w.form;
  auto outer = [&] {
    SIZE client{w.scale.X(form.clientWidth()), w.scale.Y(form.clientHeight())};
    RECT r{0, 0, client.cx, client.cy};
    AdjustWindowRectExForDpi(&r, FormStyle(form), FALSE, FormExStyle(form), w.dpi);
    SIZE size{r.right - r.left, r.bottom - r.top};
    if (form.windowHeight()) size.cy = w.scale.Y(form.windowHeight());
    return std::pair{size, SIZE{size.cx - client.cx, size.cy - client.cy}};
  };
  auto [size, frame] = outer();
  RECT work = WorkArea(w.hwnd);
  double fit = std::min({1.0, double(work.right - work.left - frame.cx) / (size.cx - frame.cx),
                         double(work.bottom - work.top - frame.cy) / (size.cy - frame.cy)});
  if (fit < 1.0) {
    face.lfHeight = static_cast<LONG>(face.lfHeight * fit);
    DeleteObject(w.font);
    w.font = CreateFontIndirectW(&face);
    w.scale = w.scale.times(fit);
    size = outer().first;
  }
  w.designSize = size;
  SetWindowPos(w.hwnd, nullptr, 0, 0, size.cx, size.cy,
               SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  // A window grown by code moves up as far as it must to stay on the screen.
  if (w.centred) {
    RECT r;
    GetWindowRect(w.hwnd, &r);
    if (r.bottom > work.bottom) {
      int top = std::max(work.top, r.top - (r.bottom - work.bottom));
      SetWindowPos(w.hwnd, nullptr, r.left, top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    }
  }

  for (HWND control : w.controls)
    SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(w.font), FALSE);
  place(w);
}

void Win32Backend::place(Window& w) {
  // What the user grew the window by goes to the controls that stretch.
  RECT client;
  GetClientRect(w.hwnd, &client);
  SIZE extra{std::max<LONG>(0, client.right - w.scale.X(w.form.clientWidth())),
             std::max<LONG>(0, client.bottom - w.scale.Y(w.form.clientHeight()))};
  const auto& all = w.form.controls();
  for (size_t i = 0; i < all.size(); ++i) {
    RECT r = PlaceOf(*all[i], w.scale);
    if (all[i]->stretchesWidth()) r.right += extra.cx;
    if (all[i]->stretchesHeight()) r.bottom += extra.cy;
    if (all[i]->movesDown()) OffsetRect(&r, 0, extra.cy);
    int h = r.bottom - r.top;
    if (all[i]->kind() == forms::Kind::ComboBox) h += MulDiv(kComboDropHeight, w.dpi, 96);
    MoveWindow(w.controls[i], r.left, r.top, r.right - r.left, h, TRUE);
  }
}

void Win32Backend::updateVisibility(Window& w) {
  const auto& all = w.form.controls();
  for (size_t i = 0; i < all.size(); ++i)
    ShowWindow(w.controls[i], all[i]->shown() ? SW_SHOWNA : SW_HIDE);
}

void Win32Backend::show(forms::Form& form) {
  auto it = windows_.find(&form);
  Window& w = it == windows_.end() ? create(form) : *it->second;
  if (!w.centred) {
    RECT r;
    GetWindowRect(w.hwnd, &r);
    RECT work = WorkArea(w.hwnd);
    int x = (work.left + work.right - (r.right - r.left)) / 2;
    int y = (work.top + work.bottom - (r.bottom - r.top)) / 2;
    SetWindowPos(w.hwnd, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    w.centred = true;
  }
  ShowWindow(w.hwnd, SW_SHOW);
  SetForegroundWindow(w.hwnd);
  // The keyboard starts in the first control of the tab order.
  if (HWND first = GetNextDlgTabItem(w.hwnd, nullptr, FALSE)) SetFocus(first);
}

void Win32Backend::runModal(forms::Form& form) {
  Window& w = *windows_.at(&form);
  HWND owner = GetWindow(w.hwnd, GW_OWNER);
  if (owner) EnableWindow(owner, FALSE);
  w.modal = true;
  MSG msg;
  while (form.visible() && !form.unloaded()) {
    BOOL got = GetMessageW(&msg, nullptr, 0, 0);
    if (got <= 0) {
      PostQuitMessage(static_cast<int>(msg.wParam));
      break;
    }
    if (!dispatchDialogKeys(msg)) {
      TranslateMessage(&msg);
      DispatchMessageW(&msg);
    }
  }
  if (owner) {
    EnableWindow(owner, TRUE);
    SetActiveWindow(owner);
  }
  if (auto it = windows_.find(&form); it != windows_.end()) it->second->modal = false;
}

void Win32Backend::hide(forms::Form& form) {
  auto it = windows_.find(&form);
  if (it == windows_.end()) return;
  Window& w = *it->second;
  // The owner takes the activation back only when it is enabled before the hide.
  if (HWND owner = GetWindow(w.hwnd, GW_OWNER); owner && w.modal) EnableWindow(owner, TRUE);
  ShowWindow(w.hwnd, SW_HIDE);
}

void Win32Backend::unload(forms::Form& form) {
  auto it = windows_.find(&form);
  if (it == windows_.end()) return;
  if (it->second->form.style() == forms::Style::Main) PostQuitMessage(0);
  windows_.erase(it);
}

void Win32Backend::changed(forms::Control& c, forms::Prop prop) {
  auto it = windows_.find(&c.form());
  if (it == windows_.end()) return;
  Window& w = *it->second;
  if (&c == &w.form) {
    if (prop == forms::Prop::Text) SetWindowTextW(w.hwnd, Wide(c.text()).c_str());
    if (prop == forms::Prop::Geometry) layout(w);
    if (prop == forms::Prop::Timer) {
      if (int interval = w.form.timerInterval()) SetTimer(w.hwnd, kFormTimer, interval, nullptr);
      else KillTimer(w.hwnd, kFormTimer);
    }
    return;
  }
  if (prop == forms::Prop::Visible) return updateVisibility(w);
  if (prop == forms::Prop::Geometry) return layout(w);
  mirror(w, c, control(c), prop);
}

void Win32Backend::mirror(Window&, forms::Control& c, HWND hwnd, forms::Prop prop) {
  using forms::Kind;
  using forms::Prop;
  // The output view reads the box's own text: it only hears what changed.
  if (IsOutputView(c) && (prop == Prop::Text || prop == Prop::Appended || prop == Prop::Caret))
    return OutputChanged(hwnd, prop);
  ++mirroring_;
  switch (prop) {
    case Prop::Text:
      SetWindowTextW(hwnd, Wide(c.text()).c_str());
      break;
    case Prop::Caret: {
      WPARAM pos = static_cast<forms::TextBox&>(c).selStart();
      SendMessageW(hwnd, EM_SETSEL, pos, pos);
      SendMessageW(hwnd, EM_SCROLLCARET, 0, 0);
      break;
    }
    case Prop::List: {
      auto& list = static_cast<forms::ListControl&>(c);
      bool combo = c.kind() == Kind::ComboBox;
      SendMessageW(hwnd, combo ? CB_RESETCONTENT : LB_RESETCONTENT, 0, 0);
      for (const std::string& item : list.items())
        SendMessageW(hwnd, combo ? CB_ADDSTRING : LB_ADDSTRING, 0,
                     reinterpret_cast<LPARAM>(Wide(item).c_str()));
      [[fallthrough]];
    }
    case Prop::Value:
      if (c.kind() == Kind::ComboBox || c.kind() == Kind::FileListBox)
        SendMessageW(hwnd, c.kind() == Kind::ComboBox ? CB_SETCURSEL : LB_SETCURSEL,
                     static_cast<WPARAM>(static_cast<forms::ListControl&>(c).listIndex()), 0);
      else if (c.kind() == Kind::CheckBox)
        SendMessageW(hwnd, BM_SETCHECK, static_cast<forms::CheckBox&>(c).value(), 0);
      else if (c.kind() == Kind::OptionButton)
        SendMessageW(hwnd, BM_SETCHECK, static_cast<forms::OptionButton&>(c).value(), 0);
      break;
    case Prop::Enabled:
      EnableWindow(hwnd, c.enabled());
      break;
    case Prop::Focus:
      SetFocus(hwnd);
      break;
    default:
      break;
  }
  --mirroring_;
}

void Win32Backend::command(Window& w, WORD id, WORD code, HWND hwnd) {
  size_t index = id - kFirstId;
  const auto& all = w.form.controls();
  if (mirroring_ || index >= all.size() || w.controls[index] != hwnd) return;
  forms::Control& c = *all[index];
  switch (c.kind()) {
    case forms::Kind::CommandButton:
      if (code == BN_CLICKED) static_cast<forms::CommandButton&>(c).userClick();
      break;
    case forms::Kind::CheckBox:
      if (code == BN_CLICKED) static_cast<forms::CheckBox&>(c).userClick();
      break;
    case forms::Kind::OptionButton:
      if (code == BN_CLICKED) static_cast<forms::OptionButton&>(c).userClick();
      break;
    case forms::Kind::ComboBox:
      if (code == CBN_SELCHANGE)
        static_cast<forms::ListControl&>(c).userPick(
            static_cast<int>(SendMessageW(hwnd, CB_GETCURSEL, 0, 0)));
      break;
    case forms::Kind::FileListBox:
      if (code == LBN_SELCHANGE)
        static_cast<forms::ListControl&>(c).userPick(
            static_cast<int>(SendMessageW(hwnd, LB_GETCURSEL, 0, 0)));
      break;
    case forms::Kind::TextBox:
      if (code == EN_CHANGE) static_cast<forms::TextBox&>(c).userEdit(WindowText(hwnd));
      break;
    default:
      break;
  }
}

LRESULT CALLBACK Win32Backend::FormProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  auto* self = reinterpret_cast<Win32Backend*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
  Window* w = nullptr;
  if (self)
    for (auto& [form, window] : self->windows_)
      if (window->hwnd == hwnd) w = window.get();
  if (!w) return DefWindowProcW(hwnd, msg, wp, lp);
  switch (msg) {
    case WM_COMMAND:
      if (lp) self->command(*w, LOWORD(wp), HIWORD(wp), reinterpret_cast<HWND>(lp));
      else if (LOWORD(wp) == IDCANCEL) w->form.userCancel();  // Esc
      return 0;
    case WM_TIMER:
      if (wp != kFormTimer) return DefWindowProcW(hwnd, msg, wp, lp);
      if (w->form.onTimer) w->form.onTimer();
      return 0;
    case WM_SIZE:
      if (wp != SIZE_MINIMIZED) self->place(*w);
      return 0;
    case WM_GETMINMAXINFO:
      // Never smaller than the design.
      reinterpret_cast<MINMAXINFO*>(lp)->ptMinTrackSize = {w->designSize.cx, w->designSize.cy};
      return 0;
    case WM_CLOSE:
      if (w->form.queryUnload()) return 0;
      if (w->form.style() == forms::Style::Main) {
        PostQuitMessage(0);
        ShowWindow(hwnd, SW_HIDE);
      } else {
        w->form.userClose();
      }
      return 0;
    case WM_DPICHANGED: {
      w->dpi = HIWORD(wp);
      self->layout(*w);
      const RECT* r = reinterpret_cast<const RECT*>(lp);
      SetWindowPos(hwnd, nullptr, r->left, r->top, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
      return 0;
    }
    default:
      return DefWindowProcW(hwnd, msg, wp, lp);
  }
}

// Text boxes report their own key release and typed characters; Enter stays
// with the box so its key handler can act on it.
LRESULT CALLBACK Win32Backend::EditProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp, UINT_PTR,
                                        DWORD_PTR data) {
  auto& box = *reinterpret_cast<forms::TextBox*>(data);
  auto* self = reinterpret_cast<Win32Backend*>(GetWindowLongPtrW(GetParent(hwnd), GWLP_USERDATA));
  switch (msg) {
    case WM_GETDLGCODE: {
      LRESULT code = DefSubclassProc(hwnd, msg, wp, lp);
      auto* m = reinterpret_cast<const MSG*>(lp);
      if (m && m->message == WM_KEYDOWN && m->wParam == VK_RETURN) code |= DLGC_WANTMESSAGE;
      return code;
    }
    case WM_SETTEXT: {
      // A multi-line box reports no change for text set from outside (an
      // assistive or scripting tool), so the model takes it here.
      LRESULT r = DefSubclassProc(hwnd, msg, wp, lp);
      if (self && !self->mirroring_) box.userEdit(WindowText(hwnd));
      return r;
    }
    case WM_CHAR:
      box.userKeyPress(static_cast<int>(wp));
      if (wp == VK_RETURN && !box.multiLine()) return 0;
      break;
    case WM_KEYUP: {
      LRESULT r = DefSubclassProc(hwnd, msg, wp, lp);
      box.userKeyUp(static_cast<int>(wp));
      return r;
    }
    case WM_NCDESTROY:
      RemoveWindowSubclass(hwnd, EditProc, 0);
      break;
    default:
      break;
  }
  return DefSubclassProc(hwnd, msg, wp, lp);
}

LRESULT CALLBACK Win32Backend::NamedProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp, UINT_PTR,
                                         DWORD_PTR data) {
  if (msg == WM_GETOBJECT)
    if (LRESULT r = AnswerGetObject(hwnd, wp, lp, *reinterpret_cast<forms::Control*>(data)))
      return r;
  if (msg == WM_NCDESTROY) RemoveWindowSubclass(hwnd, NamedProc, 0);
  return DefSubclassProc(hwnd, msg, wp, lp);
}

bool Win32Backend::dispatchDialogKeys(MSG& msg) {
  HWND top = GetAncestor(msg.hwnd, GA_ROOT);
  return top && IsDialogMessageW(top, &msg);
}

int Win32Backend::run() {
  MSG msg;
  while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
    if (!dispatchDialogKeys(msg)) {
      TranslateMessage(&msg);
      DispatchMessageW(&msg);
    }
  }
  windows_.clear();
  return static_cast<int>(msg.wParam);
}

void Win32Backend::keepResponding() {
  MSG msg;
  while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
    if (msg.message == WM_QUIT) {
      PostQuitMessage(static_cast<int>(msg.wParam));  // for the loop that owns it
      break;
    }
    if (!dispatchDialogKeys(msg)) {
      TranslateMessage(&msg);
      DispatchMessageW(&msg);
    }
  }
}

}  // namespace win32
