#pragma once
// Assistive tools ask an input control for its name through WM_GETOBJECT.
// The system's own answer names an edit after the static text before it and
// a combo box after its selected item (or nothing), so each input control
// answers with the system's object, named as the model names the control.

#include <windows.h>

#include "forms/control.h"

namespace win32 {

// The answer to WM_GETOBJECT for the control's client object; 0 for any
// other object, which the default handling answers.
LRESULT AnswerGetObject(HWND hwnd, WPARAM wp, LPARAM lp, const forms::Control& control);

}  // namespace win32
