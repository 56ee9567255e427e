#include "platform/win32/win32_processes.h"

#include <algorithm>
#include <vector>

#include "platform/win32/wide.h"

namespace win32 {

namespace {

// A silent child's pipe is asked again after 1 ms, then ever less often up
// to this: output that pauses briefly is read at once, and a child that hangs
// costs little.
constexpr DWORD kLongestPoll = 16;
constexpr std::uint64_t kCallMilliseconds = 30;
constexpr DWORD kExitWaitMilliseconds = 2000;

HANDLE Native(platform::Processes::Handle handle) { return reinterpret_cast<HANDLE>(handle); }

platform::Processes::Handle FromNative(HANDLE handle) {
  return reinterpret_cast<platform::Processes::Handle>(handle);
}

SECURITY_ATTRIBUTES Inheritable() {
  SECURITY_ATTRIBUTES attributes{};
  attributes.nLength = sizeof attributes;
  attributes.bInheritHandle = TRUE;
  return attributes;
}

}  // namespace

long Win32Processes::CreatePipe(Handle& read, Handle& write) {
  SECURITY_ATTRIBUTES attributes = Inheritable();
  HANDLE r = nullptr, w = nullptr;
  if (!::CreatePipe(&r, &w, &attributes, 0)) return static_cast<long>(GetLastError());
  read = FromNative(r);
  write = FromNative(w);
  return 0;
}

bool Win32Processes::StartHidden(const std::string& commandLine, Handle output, Handle& process,
                                   Handle& thread) {
  SECURITY_ATTRIBUTES attributes = Inheritable();
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESHOWWINDOW | STARTF_USESTDHANDLES;
  startup.wShowWindow = SW_HIDE;
  startup.hStdOutput = Native(output);
  startup.hStdError = Native(output);
  std::vector<wchar_t> line = WritableCommandLine(commandLine);
  PROCESS_INFORMATION info{};
  if (!CreateProcessW(nullptr, line.data(), &attributes, &attributes, TRUE, NORMAL_PRIORITY_CLASS,
                      nullptr, nullptr, &startup, &info))
    return false;
  terminated_ = false;
  process = FromNative(info.hProcess);
  thread = FromNative(info.hThread);
  return true;
}

// Waits for the child's next output, or its end, without blocking in
// ReadFile, so the caller's windows can paint meanwhile.
void Win32Processes::waitForOutput(Handle pipe) {
  for (DWORD poll = 1;; poll = std::min(poll * 2, kLongestPoll)) {
    DWORD waiting = 0;
    if (!PeekNamedPipe(Native(pipe), nullptr, 0, nullptr, &waiting, nullptr) || waiting) return;
    MsgWaitForMultipleObjects(0, nullptr, FALSE, poll, QS_ALLINPUT);
    whileReading_();
    lastCall_ = GetTickCount64();
    if (terminated_) return;
  }
}

bool Win32Processes::ReadFile(Handle pipe, char* buffer, std::uint32_t size, std::uint32_t& read) {
  if (whileReading_) {
    // Asking the pipe before every read costs too much: only once it ran dry.
    if (drained_) waitForOutput(pipe);
    if (GetTickCount64() - lastCall_ >= kCallMilliseconds) {
      whileReading_();
      lastCall_ = GetTickCount64();
    }
  }
  // A grandchild may hold the pipe open after its parent was ended.
  if (terminated_) {
    read = 0;
    return false;
  }
  DWORD n = 0;
  BOOL ok = ::ReadFile(Native(pipe), buffer, size, &n, nullptr);
  read = ok ? n : 0;
  drained_ = ok && n < size;
  return ok;
}

void Win32Processes::CloseHandle(Handle handle) {
  if (handle) ::CloseHandle(Native(handle));
}

void Win32Processes::Terminate(Handle process) {
  TerminateProcess(Native(process), 1);
  terminated_ = true;
}

bool Win32Processes::ExitCode(Handle process, std::uint32_t& code) {
  // A child that closed its output is on its way out: give it a moment.
  DWORD exit = STILL_ACTIVE;
  if (WaitForSingleObject(Native(process), kExitWaitMilliseconds) != WAIT_OBJECT_0 ||
      !GetExitCodeProcess(Native(process), &exit))
    return false;
  code = exit;
  return true;
}

std::size_t Win32Processes::WholeCharacters(std::string_view ansi) {
  std::size_t at = 0;
  while (at < ansi.size()) {
    std::size_t width = IsDBCSLeadByteEx(CP_ACP, static_cast<BYTE>(ansi[at])) ? 2 : 1;
    if (at + width > ansi.size()) break;
    at += width;
  }
  return at;
}

std::string Win32Processes::FromAnsi(std::string_view ansi) {
  if (ansi.empty()) return {};
  int n = MultiByteToWideChar(CP_ACP, 0, ansi.data(), static_cast<int>(ansi.size()), nullptr, 0);
  std::wstring wide(n, L'\0');
  MultiByteToWideChar(CP_ACP, 0, ansi.data(), static_cast<int>(ansi.size()), wide.data(), n);
  return Utf8(wide);
}

}  // namespace win32
