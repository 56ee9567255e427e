#include "platform/win32/win32_clipboard.h"

#include <algorithm>

#include "forms/win32/wide.h"

namespace win32 {

bool Win32Clipboard::SetText(const std::string& text) {
  if (!OpenClipboard(nullptr)) return false;
  EmptyClipboard();
  std::wstring wide = Wide(text);
  bool set = false;
  if (HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, (wide.size() + 1) * sizeof(wchar_t))) {
    std::copy_n(wide.c_str(), wide.size() + 1, static_cast<wchar_t*>(GlobalLock(memory)));
    GlobalUnlock(memory);
    set = SetClipboardData(CF_UNICODETEXT, memory) != nullptr;
    if (!set) GlobalFree(memory);
  }
  CloseClipboard();
  return set;
}

}  // namespace win32
