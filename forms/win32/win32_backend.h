#pragma once
// Renders forms as top-level windows of standard controls and reports the
// user's actions back into the model: one FormWindow per form shown, the
// thread's message loop, and the modal loop of a dialog.

#include <windows.h>

#include <map>
#include <memory>

#include "forms/backend.h"
#include "forms/form.h"
#include "forms/win32/font_scale.h"
#include "forms/win32/form_window.h"

namespace win32 {

class Win32Backend : public forms::Backend {
 public:
  explicit Win32Backend(HINSTANCE instance);
  ~Win32Backend() override;

  void show(forms::Form& form) override;
  void runModal(forms::Form& form) override;
  void hide(forms::Form& form) override;
  void unload(forms::Form& form) override;
  void changed(forms::Control& control, forms::Prop prop) override;

  // The native window of a form, or null while it has none.
  HWND window(const forms::Form* form) const;
  HWND control(const forms::Control& control) const;
  // Pixels per twip of a form's window, which follow its font and DPI.
  Scale scale(const forms::Form& form) const;
  // Runs the thread's message loop until the main window is gone.
  int run();

 private:
  FormWindow* find(const forms::Form* form) const;
  bool dispatchKeys(MSG& msg) const;
  HWND mainWindow() const;

  HINSTANCE instance_;
  std::map<const forms::Form*, std::unique_ptr<FormWindow>> windows_;
};

}  // namespace win32
