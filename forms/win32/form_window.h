#pragma once
// A form's top-level window. The form's window object is attached as the
// window is made (WM_NCCREATE), so each message goes straight to it, and the
// system's messages become the model's user actions.

#include <windows.h>

#include <memory>

#include "forms/form.h"
#include "forms/win32/control_windows.h"
#include "forms/win32/form_layout.h"

namespace win32 {

class FormWindow {
 public:
  static void Register(HINSTANCE instance);
  // A dialog is owned by `owner`, so it stays above it and out of the task bar.
  FormWindow(forms::Form& form, HINSTANCE instance, HWND owner);
  ~FormWindow();
  FormWindow(const FormWindow&) = delete;
  FormWindow& operator=(const FormWindow&) = delete;

  forms::Form& form() const { return form_; }
  HWND hwnd() const { return hwnd_; }
  ControlWindows& controls() { return *controls_; }
  FormLayout& layout() { return layout_; }
  // Raises the form's onTimer every so many milliseconds; 0 stops it.
  void setTimer(int milliseconds);

  bool centred = false;  // placed in the middle of its screen once
  bool modal = false;    // shown modally now

 private:
  static LRESULT CALLBACK Proc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);
  LRESULT handle(UINT msg, WPARAM wp, LPARAM lp);

  forms::Form& form_;
  HWND hwnd_ = nullptr;
  FormLayout layout_;
  std::unique_ptr<ControlWindows> controls_;  // made once the window is there
};

}  // namespace win32
