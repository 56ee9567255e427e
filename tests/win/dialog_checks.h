#pragma once
// Checks on real dialog windows that several wine tests share.

#include <windows.h>
#include <gtest/gtest.h>

namespace native {

// A dialog form as the system should draw it: fixed, owned by the main
// window (so not in the task bar), no minimise or maximise box, the main
// window disabled while it is shown.
inline void ExpectModalDialog(HWND dialog, HWND main) {
  ASSERT_NE(dialog, nullptr);
  LONG style = GetWindowLongW(dialog, GWL_STYLE);
  EXPECT_FALSE(style & (WS_MINIMIZEBOX | WS_MAXIMIZEBOX | WS_THICKFRAME));
  EXPECT_FALSE(GetWindowLongW(dialog, GWL_EXSTYLE) & WS_EX_APPWINDOW);
  EXPECT_EQ(GetWindow(dialog, GW_OWNER), main);
  EXPECT_FALSE(IsWindowEnabled(main));
  EXPECT_TRUE(IsWindowVisible(dialog));
}

inline int WindowHeight(HWND hwnd) {
  RECT r;
  GetWindowRect(hwnd, &r);
  return r.bottom - r.top;
}

}  // namespace native
