#pragma once
// The native windows of a form's controls: a standard control (or a text
// view) for each control of the model, named with its code name in the
// window property "VorlaneName", with its tooltip, in tab order; the model's
// changes mirrored into them, and the user's actions reported back.

#include <windows.h>

#include <unordered_map>
#include <vector>

#include "forms/form.h"

namespace win32 {

class ControlWindows {
 public:
  ControlWindows(forms::Form& form, HWND parent, HINSTANCE instance);
  ControlWindows(const ControlWindows&) = delete;
  ControlWindows& operator=(const ControlWindows&) = delete;

  std::size_t size() const { return windows_.size(); }
  // By the control's place in the form.
  HWND operator[](std::size_t index) const { return windows_[index]; }
  HWND of(const forms::Control& control) const;

  void setFont(HFONT font);
  // Each window shown or hidden as the model shows its control.
  void showShown();
  void mirror(forms::Control& control, forms::Prop prop);
  // A control's notification (WM_COMMAND): the user's action, into the model.
  void command(WORD id, WORD code, HWND hwnd);
  // A control's notification (WM_NOTIFY): a tab picked, a row selected.
  void notify(NMHDR& header);
  // Set while code writes into a native control, whose notifications then
  // are no user action.
  bool mirroring() const { return mirroring_ > 0; }

 private:
  forms::Form& form_;
  std::vector<HWND> windows_;
  std::unordered_map<const forms::Control*, std::size_t> places_;
  HWND tooltip_ = nullptr;
  int mirroring_ = 0;
};

}  // namespace win32
