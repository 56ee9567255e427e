#pragma once
// A message-only window of a class of its own: where threads post news for
// the interface thread.

#include <windows.h>

namespace win32 {

inline HWND MakeMailbox(const wchar_t* className, WNDPROC procedure) {
  WNDCLASSEXW wc{};
  wc.cbSize = sizeof wc;
  wc.lpfnWndProc = procedure;
  wc.hInstance = GetModuleHandleW(nullptr);
  wc.lpszClassName = className;
  RegisterClassExW(&wc);
  return CreateWindowExW(0, className, nullptr, 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, wc.hInstance,
                         nullptr);
}

}  // namespace win32
