#include "forms/win32/form_window.h"

#include "forms/win32/wide.h"

namespace win32 {
namespace {

constexpr wchar_t kFormClass[] = L"VorlaneForm";
constexpr UINT_PTR kFormTimer = 1;  // a form's onTimer

DWORD FormStyle(const forms::Form& form) {
  return form.style() == forms::Style::Main ? WS_OVERLAPPEDWINDOW
                                            : WS_POPUP | WS_CAPTION | WS_SYSMENU;
}

DWORD FormExStyle(const forms::Form& form) {
  return form.style() == forms::Style::Main ? WS_EX_APPWINDOW : WS_EX_DLGMODALFRAME;
}

}  // namespace

void FormWindow::Register(HINSTANCE instance) {
  WNDCLASSEXW wc{};
  wc.cbSize = sizeof wc;
  wc.lpfnWndProc = Proc;
  wc.hInstance = instance;
  wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
  wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
  wc.hIcon = LoadIconW(instance, L"APPICON");
  wc.lpszClassName = kFormClass;
  RegisterClassExW(&wc);
}

FormWindow::FormWindow(forms::Form& form, HINSTANCE instance, HWND owner) : form_(form) {
  CreateWindowExW(FormExStyle(form), kFormClass, Wide(form.text()).c_str(), FormStyle(form),
                  CW_USEDEFAULT, CW_USEDEFAULT, 100, 100, owner, nullptr, instance, this);
  controls_ = std::make_unique<ControlWindows>(form, hwnd_, instance);
  layout_.apply(hwnd_, form, *controls_);
  controls_->showShown();
}

FormWindow::~FormWindow() {
  if (hwnd_) DestroyWindow(hwnd_);
}

LRESULT CALLBACK FormWindow::Proc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  if (msg == WM_NCCREATE) {
    auto* self = static_cast<FormWindow*>(reinterpret_cast<CREATESTRUCTW*>(lp)->lpCreateParams);
    self->hwnd_ = hwnd;
    SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
  }
  auto* self = reinterpret_cast<FormWindow*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
  if (msg == WM_NCDESTROY) {
    SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
    if (self) self->hwnd_ = nullptr;
  }
  if (!self || !self->controls_) return DefWindowProcW(hwnd, msg, wp, lp);
  return self->handle(msg, wp, lp);
}

LRESULT FormWindow::handle(UINT msg, WPARAM wp, LPARAM lp) {
  switch (msg) {
    case WM_COMMAND:
      if (lp) controls_->command(LOWORD(wp), HIWORD(wp), reinterpret_cast<HWND>(lp));
      else if (LOWORD(wp) == IDCANCEL) form_.userCancel();  // Esc
      return 0;
    case WM_NOTIFY:
      controls_->notify(*reinterpret_cast<NMHDR*>(lp));
      return 0;
    case WM_TIMER:
      if (wp != kFormTimer) break;
      if (form_.onTimer) form_.onTimer();
      return 0;
    case WM_SIZE:
      if (wp != SIZE_MINIMIZED) layout_.place(hwnd_, form_, *controls_);
      return 0;
    case WM_GETMINMAXINFO: {
      // Never smaller than the design.
      SIZE design = layout_.designSize();
      reinterpret_cast<MINMAXINFO*>(lp)->ptMinTrackSize = {design.cx, design.cy};
      return 0;
    }
    case WM_CLOSE:
      if (form_.queryUnload()) return 0;
      if (form_.style() == forms::Style::Main) {
        PostQuitMessage(0);
        ShowWindow(hwnd_, SW_HIDE);
      } else {
        form_.userClose();
      }
      return 0;
    case WM_DPICHANGED:
      layout_.dpiChanged(hwnd_, form_, *controls_, HIWORD(wp), *reinterpret_cast<const RECT*>(lp));
      return 0;
    default:
      break;
  }
  return DefWindowProcW(hwnd_, msg, wp, lp);
}

void FormWindow::setTimer(int milliseconds) {
  if (milliseconds) SetTimer(hwnd_, kFormTimer, static_cast<UINT>(milliseconds), nullptr);
  else KillTimer(hwnd_, kFormTimer);
}

}  // namespace win32
