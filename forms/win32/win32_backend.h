#pragma once
// Renders forms as top-level windows of standard controls and reports the
// user's actions back into the model.

#include <windows.h>

#include <map>
#include <memory>
#include <string>

#include "forms/backend.h"
#include "forms/form.h"
#include "forms/win32/font_scale.h"

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
  // Lets the windows paint and answer while the thread is busy elsewhere (a
  // command's run). What the user can do meanwhile is what the model leaves
  // enabled.
  void keepResponding();

 private:
  struct Window;
  static LRESULT CALLBACK FormProc(HWND, UINT, WPARAM, LPARAM);
  static LRESULT CALLBACK EditProc(HWND, UINT, WPARAM, LPARAM, UINT_PTR, DWORD_PTR);
  static LRESULT CALLBACK NamedProc(HWND, UINT, WPARAM, LPARAM, UINT_PTR, DWORD_PTR);
  Window& create(forms::Form& form);
  void layout(Window& window);
  void place(Window& window);
  void updateVisibility(Window& window);
  void mirror(Window& window, forms::Control& control, HWND hwnd, forms::Prop prop);
  void command(Window& window, WORD id, WORD code, HWND hwnd);
  bool dispatchDialogKeys(MSG& msg);
  HWND mainWindow() const;

  HINSTANCE instance_;
  std::map<const forms::Form*, std::unique_ptr<Window>> windows_;
  int mirroring_ = 0;  // set while code writes into a native control
};

}  // namespace win32
