#include "forms/win32/win32_backend.h"

#include <commctrl.h>

#include "forms/win32/text_view.h"
#include "forms/win32/wide.h"

namespace win32 {
namespace {

// The part of the window's screen not taken by the task bar.
RECT WorkArea(HWND hwnd) {
  MONITORINFO mi{};
  mi.cbSize = sizeof mi;
  GetMonitorInfoW(MonitorFromWindow(hwnd, MONITOR_DEFAULTTONEAREST), &mi);
  return mi.rcWork;
}

}  // namespace

Win32Backend::Win32Backend(HINSTANCE instance) : instance_(instance) {
  INITCOMMONCONTROLSEX icc{sizeof icc,
                           ICC_STANDARD_CLASSES | ICC_TAB_CLASSES | ICC_LISTVIEW_CLASSES};
  InitCommonControlsEx(&icc);
  FormWindow::Register(instance);
  RegisterTextView(instance);
}

Win32Backend::~Win32Backend() { windows_.clear(); }

FormWindow* Win32Backend::find(const forms::Form* form) const {
  auto it = windows_.find(form);
  return it == windows_.end() ? nullptr : it->second.get();
}

HWND Win32Backend::window(const forms::Form* form) const {
  FormWindow* w = find(form);
  return w ? w->hwnd() : nullptr;
}

HWND Win32Backend::control(const forms::Control& control) const {
  FormWindow* w = find(&control.form());
  return w ? w->controls().of(control) : nullptr;
}

Scale Win32Backend::scale(const forms::Form& form) const {
  FormWindow* w = find(&form);
  return w ? w->layout().scale() : Scale{};
}

// Alt and a letter as the form takes it; Tab, Esc and Enter as dialogs take them.
bool Win32Backend::dispatchKeys(MSG& msg) const {
  HWND top = GetAncestor(msg.hwnd, GA_ROOT);
  if (!top) return false;
  if (msg.message == WM_SYSCHAR && msg.wParam < 0x80)
    for (const auto& [form, window] : windows_)
      if (window->hwnd() == top && window->form().userAccessKey(static_cast<char>(msg.wParam)))
        return true;
  return IsDialogMessageW(top, &msg);
}

HWND Win32Backend::mainWindow() const {
  for (const auto& [form, window] : windows_)
    if (form->style() == forms::Style::Main) return window->hwnd();
  return nullptr;
}

void Win32Backend::show(forms::Form& form) {
  FormWindow* w = find(&form);
  if (!w) {
    HWND owner = form.style() == forms::Style::Dialog ? mainWindow() : nullptr;
    w = (windows_[&form] = std::make_unique<FormWindow>(form, instance_, owner)).get();
  }
  if (!w->centred) {
    RECT r;
    GetWindowRect(w->hwnd(), &r);
    RECT work = WorkArea(w->hwnd());
    int x = (work.left + work.right - (r.right - r.left)) / 2;
    int y = (work.top + work.bottom - (r.bottom - r.top)) / 2;
    SetWindowPos(w->hwnd(), nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    w->centred = true;
  }
  ShowWindow(w->hwnd(), SW_SHOW);
  SetForegroundWindow(w->hwnd());
  // The keyboard starts in the first control of the tab order.
  if (HWND first = GetNextDlgTabItem(w->hwnd(), nullptr, FALSE)) SetFocus(first);
}

void Win32Backend::runModal(forms::Form& form) {
  FormWindow& w = *find(&form);
  HWND owner = GetWindow(w.hwnd(), GW_OWNER);
  if (owner) EnableWindow(owner, FALSE);
  w.modal = true;
  MSG msg;
  while (form.visible() && !form.unloaded()) {
    BOOL got = GetMessageW(&msg, nullptr, 0, 0);
    if (got <= 0) {
      PostQuitMessage(static_cast<int>(msg.wParam));
      break;
    }
    if (!dispatchKeys(msg)) {
      TranslateMessage(&msg);
      DispatchMessageW(&msg);
    }
  }
  if (owner) {
    EnableWindow(owner, TRUE);
    SetActiveWindow(owner);
  }
  if (FormWindow* still = find(&form)) still->modal = false;
}

void Win32Backend::hide(forms::Form& form) {
  FormWindow* w = find(&form);
  if (!w) return;
  // The owner takes the activation back only when it is enabled before the hide.
  if (HWND owner = GetWindow(w->hwnd(), GW_OWNER); owner && w->modal) EnableWindow(owner, TRUE);
  ShowWindow(w->hwnd(), SW_HIDE);
}

void Win32Backend::unload(forms::Form& form) {
  auto it = windows_.find(&form);
  if (it == windows_.end()) return;
  if (form.style() == forms::Style::Main) PostQuitMessage(0);
  windows_.erase(it);
}

void Win32Backend::changed(forms::Control& c, forms::Prop prop) {
  FormWindow* w = find(&c.form());
  if (!w) return;
  if (&c == &w->form()) {
    if (prop == forms::Prop::Text) SetWindowTextW(w->hwnd(), Wide(c.text()).c_str());
    if (prop == forms::Prop::Geometry) w->layout().apply(w->hwnd(), w->form(), w->controls());
    if (prop == forms::Prop::Timer) w->setTimer(w->form().timerInterval());
    return;
  }
  if (prop == forms::Prop::Visible) return w->controls().showShown();
  if (prop == forms::Prop::Geometry) return w->layout().apply(w->hwnd(), w->form(), w->controls());
  w->controls().mirror(c, prop);
}

int Win32Backend::run() {
  MSG msg;
  while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
    if (!dispatchKeys(msg)) {
      TranslateMessage(&msg);
      DispatchMessageW(&msg);
    }
  }
  windows_.clear();
  return static_cast<int>(msg.wParam);
}

}  // namespace win32
