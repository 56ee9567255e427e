#include "tests/win/child_program.h"

#include <aclapi.h>
#include <sddl.h>
#include <tlhelp32.h>

#include <fstream>
#include <functional>
#include <iterator>

#include "forms/win32/wide.h"

namespace native {

namespace {

struct WindowSearch {
  DWORD process;
  const std::wstring& title;
  HWND found = nullptr;
};

BOOL CALLBACK VisitTop(HWND hwnd, LPARAM lp) {
  auto& search = *reinterpret_cast<WindowSearch*>(lp);
  DWORD process = 0;
  GetWindowThreadProcessId(hwnd, &process);
  wchar_t title[256] = {};
  GetWindowTextW(hwnd, title, 256);
  if (process == search.process && IsWindowVisible(hwnd) && search.title == title) {
    search.found = hwnd;
    return FALSE;
  }
  return TRUE;
}

// A folder and all below it, by "\\?\" paths, so none is too long to go.
void RemoveTree(const std::wstring& folder) {
  WIN32_FIND_DATAW found;
  HANDLE search = FindFirstFileW((folder + L"\\*").c_str(), &found);
  if (search != INVALID_HANDLE_VALUE) {
    do {
      std::wstring name = found.cFileName;
      if (name == L"." || name == L"..") continue;
      std::wstring path = folder + L"\\" + name;
      SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);
      if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) RemoveTree(path);
      else DeleteFileW(path.c_str());
    } while (FindNextFileW(search, &found));
    FindClose(search);
  }
  RemoveDirectoryW(folder.c_str());
}

// Each running process that can be opened, with its program.
void ForEachProcess(const std::function<void(HANDLE, const std::filesystem::path&)>& visit) {
  HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
  if (snapshot == INVALID_HANDLE_VALUE) return;
  PROCESSENTRY32W entry{};
  entry.dwSize = sizeof entry;
  for (BOOL more = Process32FirstW(snapshot, &entry); more;
       more = Process32NextW(snapshot, &entry)) {
    HANDLE process =
        OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION | PROCESS_TERMINATE | SYNCHRONIZE, FALSE,
                    entry.th32ProcessID);
    if (!process) continue;
    wchar_t image[MAX_PATH] = {};
    DWORD size = MAX_PATH;
    if (QueryFullProcessImageNameW(process, 0, image, &size)) visit(process, image);
    CloseHandle(process);
  }
  CloseHandle(snapshot);
}

}  // namespace

ChildProgram::ChildProgram(const std::filesystem::path& exe, const std::wstring& arguments) {
  std::wstring line = L"\"" + exe.wstring() + L"\"" + (arguments.empty() ? L"" : L" " + arguments);
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION info{};
  if (CreateProcessW(exe.c_str(), line.data(), nullptr, nullptr, FALSE, 0, nullptr,
                     exe.parent_path().c_str(), &startup, &info)) {
    CloseHandle(info.hThread);
    process_ = info.hProcess;
    id_ = info.dwProcessId;
    WaitForInputIdle(process_, 20000);
  }
}

ChildProgram::~ChildProgram() {
  if (!process_) return;
  if (WaitForSingleObject(process_, 0) == WAIT_TIMEOUT) {
    TerminateProcess(process_, 99);
    WaitForSingleObject(process_, 5000);
  }
  CloseHandle(process_);
}

HWND ChildProgram::window(const std::wstring& title) const {
  WindowSearch search{id_, title};
  EnumWindows(VisitTop, reinterpret_cast<LPARAM>(&search));
  return search.found;
}

HWND ChildProgram::waitForWindow(const std::wstring& title, int milliseconds) const {
  for (int waited = 0; waited < milliseconds; waited += 50) {
    if (HWND hwnd = window(title)) return hwnd;
    if (WaitForSingleObject(process_, 50) == WAIT_OBJECT_0) return window(title);
  }
  return nullptr;
}

long ChildProgram::waitForExit(int milliseconds) const {
  if (!process_ || WaitForSingleObject(process_, milliseconds) != WAIT_OBJECT_0) return -1;
  DWORD code = 0;
  GetExitCodeProcess(process_, &code);
  return static_cast<long>(code);
}

TempFolder::TempFolder(const std::wstring& name) {
  wchar_t temp[MAX_PATH + 1] = {};
  GetTempPathW(MAX_PATH + 1, temp);
  path_ = std::filesystem::path(temp) / (name + L"-" + std::to_wstring(GetCurrentProcessId()));
  RemoveTree(L"\\\\?\\" + path_.wstring());
  std::filesystem::create_directories(path_);
}

TempFolder::~TempFolder() { RemoveTree(L"\\\\?\\" + path_.wstring()); }

int EndProgramsIn(const std::filesystem::path& folder) {
  int ended = 0;
  ForEachProcess([&](HANDLE process, const std::filesystem::path& image) {
    std::error_code unknown;
    if (!std::filesystem::equivalent(image.parent_path(), folder, unknown)) return;
    TerminateProcess(process, 99);
    WaitForSingleObject(process, 5000);
    ++ended;
  });
  return ended;
}

bool ProgramRunning(const std::filesystem::path& program) {
  bool running = false;
  ForEachProcess([&](HANDLE process, const std::filesystem::path& image) {
    std::error_code unknown;
    running = running || (std::filesystem::equivalent(image, program, unknown) &&
                          WaitForSingleObject(process, 0) == WAIT_TIMEOUT);
  });
  return running;
}

std::string KeySecurity(const std::wstring& key, SECURITY_INFORMATION parts) {
  PSECURITY_DESCRIPTOR sd = nullptr;
  if (GetNamedSecurityInfoW((L"MACHINE\\" + key).c_str(), SE_REGISTRY_KEY, parts, nullptr, nullptr, nullptr,
                            nullptr, &sd) != ERROR_SUCCESS)
    return "unreadable";
  LPWSTR text = nullptr;
  ConvertSecurityDescriptorToStringSecurityDescriptorW(sd, SDDL_REVISION_1, parts, &text, nullptr);
  std::string sddl = text ? win32::Utf8(text) : "unreadable";
  LocalFree(text);
  LocalFree(sd);
  return sddl;
}

bool MakeKey(const std::wstring& key, const wchar_t* dacl) {
  HKEY handle = nullptr;
  if (RegCreateKeyExW(HKEY_LOCAL_MACHINE, key.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &handle,
                      nullptr) != ERROR_SUCCESS)
    return false;
  PSECURITY_DESCRIPTOR sd = nullptr;
  bool set = !dacl;
  if (dacl && ConvertStringSecurityDescriptorToSecurityDescriptorW(dacl, SDDL_REVISION_1, &sd, nullptr))
    set = RegSetKeySecurity(handle, DACL_SECURITY_INFORMATION, sd) == ERROR_SUCCESS;
  LocalFree(sd);
  RegCloseKey(handle);
  return set;
}

std::string FileText(const std::filesystem::path& path) {
  std::ifstream file(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
}

std::string Quoted(const std::filesystem::path& path) {
  return std::string(1, '"').append(win32::Utf8(path.wstring())).append(1, '"');
}

std::filesystem::path BuildFolder() {
  wchar_t exe[MAX_PATH] = {};
  GetModuleFileNameW(nullptr, exe, MAX_PATH);
  return std::filesystem::path(exe).parent_path();
}

}  // namespace native
