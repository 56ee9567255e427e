// How long a keystroke takes to reach the call string and "What It Does" as
// the command grows: the real main window under wine, a key typed into the
// owner box, the window painted before the clock stops. Run by scripts/bench.

#include <windows.h>

#include <chrono>
#include <cstdio>
#include <string>

#include "forms/win32/win32_backend.h"
#include "tests/native/fakes.h"
#include "tests/win/native_window.h"

using Clock = std::chrono::steady_clock;

namespace {

constexpr int kKeystrokes = 20;

double Milliseconds(Clock::time_point since) {
  return std::chrono::duration<double, std::milli>(Clock::now() - since).count();
}

// One key typed at the end of the box as the keyboard types it, and the
// window painted.
void Keystroke(HWND top, HWND edit) {
  SendMessageW(edit, WM_KEYDOWN, 'O', 0x00180001);
  SendMessageW(edit, WM_CHAR, L'o', 0x00180001);
  SendMessageW(edit, WM_KEYUP, 'O', 0xC0180001);
  native::Pump();
  RedrawWindow(top, nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
}

}  // namespace

int main() {
  win32::Win32Backend backend{GetModuleHandleW(nullptr)};
  Headless program{&backend};
  HWND top = backend.window(&program.main);
  native::Type(native::Find(top, "txtObjName"), "C:\\Data");
  HWND owner = native::Find(top, "txtOwner");
  HWND call = native::Find(top, "txtCallString");

  std::printf("%-12s %12s %12s %16s %14s\n", "owner chars", "call chars", "ms per key",
              "ms per 1000 chars", "paste (ms)");
  for (std::size_t size : {500u, 2000u, 8000u, 32000u, 33000u}) {
    // The field as pasted, then typed into at its end.
    Clock::time_point pasted = Clock::now();
    SetWindowTextW(owner, std::wstring(size - kKeystrokes, L'o').c_str());
    SendMessageW(owner, WM_KEYUP, 'V', 0xC0000001);
    native::Pump();
    RedrawWindow(top, nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
    double pasteMs = Milliseconds(pasted);
    SendMessageW(owner, EM_SETSEL, size, size);
    Clock::time_point start = Clock::now();
    for (int i = 0; i < kKeystrokes; ++i) Keystroke(top, owner);
    double perKey = Milliseconds(start) / kKeystrokes;
    std::size_t callChars = static_cast<std::size_t>(GetWindowTextLengthW(call));
    std::printf("%-12zu %12zu %12.2f %16.3f %14.0f\n", size, callChars, perKey,
                perKey * 1000.0 / callChars, pasteMs);
  }
  std::printf("a keystroke is due within one 60 Hz frame (16.7 ms) at 8,000 characters\n");
  return 0;
}
