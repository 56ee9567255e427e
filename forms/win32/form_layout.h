#pragma once
// A form's window laid out from its twips, in the message font at the
// window's DPI: the window sized to its design (a window the user made
// larger, or maximised, keeps its size), shrunk as a whole, font and all,
// where the design would not fit the screen's work area; what the user
// grew it by given to the controls that stretch; and all of it repainted.

#include <windows.h>

#include "forms/form.h"
#include "forms/win32/control_windows.h"
#include "forms/win32/font_scale.h"

namespace win32 {

class FormLayout {
 public:
  FormLayout() = default;
  FormLayout(const FormLayout&) = delete;
  FormLayout& operator=(const FormLayout&) = delete;
  ~FormLayout();

  // The font, scale and size for the window's DPI and the form's design.
  void apply(HWND hwnd, const forms::Form& form, ControlWindows& controls);
  // The DPI changed: the window takes the rectangle the system suggests.
  void dpiChanged(HWND hwnd, const forms::Form& form, ControlWindows& controls, UINT dpi,
                  const RECT& suggested);
  // The controls moved for the window's client size.
  void place(HWND hwnd, const forms::Form& form, ControlWindows& controls) const;

  const Scale& scale() const { return scale_; }
  // The whole window at its design's size: the least it may be made.
  SIZE designSize() const { return design_; }

 private:
  void fit(HWND hwnd, const forms::Form& form);

  HFONT font_ = nullptr;
  UINT dpi_ = 0;
  Scale scale_;
  SIZE design_{};
};

}  // namespace win32
