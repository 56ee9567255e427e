#include "platform/error_text.h"

#include "forms/win32/wide.h"

namespace platform {

std::string SystemErrorText(long code) {
  wchar_t* text = nullptr;
  DWORD n = FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM |
                               FORMAT_MESSAGE_IGNORE_INSERTS,
                           nullptr, static_cast<DWORD>(code), 0, reinterpret_cast<wchar_t*>(&text),
                           0, nullptr);
  std::wstring message(text ? text : L"", n);
  LocalFree(text);
  while (!message.empty() && (message.back() == L'\r' || message.back() == L'\n'))
    message.pop_back();
  if (message.empty()) return "Error " + std::to_string(code);
  return win32::Utf8(message);
}

}  // namespace platform
