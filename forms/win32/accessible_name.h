#pragma once
// Assistive tools ask an input control for its name through WM_GETOBJECT.
// The system's own answer names an edit after the static text before it and
// a combo box after its selected item (or nothing), so each input control
// answers with the system's object, named as the model names the control.

#include <windows.h>

#include <memory>

#include "forms/control.h"

namespace win32 {

// The accessible objects of one control's window. They read the control
// through this link, which is cut when the link goes with the window: a
// tool that still holds one then gets an error, never freed memory.
class AccessibleLink {
 public:
  explicit AccessibleLink(const forms::Control& control)
      : control_(std::make_shared<const forms::Control*>(&control)) {}
  ~AccessibleLink() { *control_ = nullptr; }
  AccessibleLink(const AccessibleLink&) = delete;
  AccessibleLink& operator=(const AccessibleLink&) = delete;

  // The answer to WM_GETOBJECT for the control's client object; 0 for any
  // other object, which the default handling answers.
  LRESULT answer(HWND hwnd, WPARAM wp, LPARAM lp);

 private:
  std::shared_ptr<const forms::Control*> control_;
};

}  // namespace win32
