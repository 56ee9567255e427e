#include "platform/win32/win32_shell.h"

#include <windows.h>
#include <shellapi.h>

#include <vector>

#include "forms/win32/wide.h"

namespace win32 {

long Win32Shell::Open(const std::string& program, const std::string& parameters,
                      const std::string& folder, int windowStyle) {
  HINSTANCE result = ShellExecuteW(nullptr, nullptr, Wide(program).c_str(), Wide(parameters).c_str(),
                                   Wide(folder).c_str(), windowStyle);
  return static_cast<long>(reinterpret_cast<INT_PTR>(result));
}

long Win32Shell::Start(const std::string& commandLine, int windowStyle) {
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESHOWWINDOW;
  startup.wShowWindow = static_cast<WORD>(windowStyle);
  std::vector<wchar_t> line = WritableCommandLine(commandLine);
  PROCESS_INFORMATION info{};
  if (!CreateProcessW(nullptr, line.data(), nullptr, nullptr, FALSE, CREATE_NEW_CONSOLE, nullptr,
                      nullptr, &startup, &info))
    return static_cast<long>(GetLastError());
  CloseHandle(info.hThread);
  CloseHandle(info.hProcess);
  return 0;
}

std::string Win32Shell::CurrentFolder() {
  std::wstring folder(GetCurrentDirectoryW(0, nullptr), L'\0');
  folder.resize(GetCurrentDirectoryW(static_cast<DWORD>(folder.size()), folder.data()));
  return Utf8(folder);
}

}  // namespace win32
