#include "platform/win32/win32_object_tree.h"

#include <windows.h>

#include "forms/win32/wide.h"

namespace win32 {
namespace {

bool FolderChildren(const std::string& path, std::vector<platform::Listed>& children) {
  WIN32_FIND_DATAW found;
  HANDLE search = FindFirstFileExW((LongPath(path) + L"\\*").c_str(), FindExInfoBasic, &found,
                                   FindExSearchNameMatch, nullptr, FIND_FIRST_EX_LARGE_FETCH);
  if (search == INVALID_HANDLE_VALUE) return false;
  do {
    std::wstring_view name = found.cFileName;
    if (name == L"." || name == L"..") continue;
    // A link to a folder is an object of its own, not a way into another tree.
    bool folder = (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) &&
                  !(found.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT);
    children.push_back({Utf8(name), folder});
  } while (FindNextFileW(search, &found));
  FindClose(search);
  return true;
}

// "HKLM\SOFTWARE\..." and its long names, or as the tool lists them ("machine\...").
bool OpenKey(const std::string& path, HKEY& key) {
  static const std::pair<const char*, HKEY> kRoots[] = {
      {"HKEY_LOCAL_MACHINE", HKEY_LOCAL_MACHINE}, {"HKLM", HKEY_LOCAL_MACHINE},
      {"MACHINE", HKEY_LOCAL_MACHINE},            {"HKEY_CURRENT_USER", HKEY_CURRENT_USER},
      {"HKCU", HKEY_CURRENT_USER},                {"CURRENT_USER", HKEY_CURRENT_USER},
      {"HKEY_CLASSES_ROOT", HKEY_CLASSES_ROOT},   {"HKCR", HKEY_CLASSES_ROOT},
      {"CLASSES_ROOT", HKEY_CLASSES_ROOT},        {"HKEY_USERS", HKEY_USERS},
      {"HKU", HKEY_USERS},                        {"USERS", HKEY_USERS}};
  std::size_t slash = path.find('\\');
  std::string root = path.substr(0, slash);
  for (auto [name, handle] : kRoots)
    if (CompareStringA(LOCALE_INVARIANT, NORM_IGNORECASE, root.c_str(), -1, name, -1) == CSTR_EQUAL) {
      std::wstring sub = slash == std::string::npos ? L"" : Wide(path.substr(slash + 1));
      return RegOpenKeyExW(handle, sub.c_str(), 0, KEY_ENUMERATE_SUB_KEYS, &key) == ERROR_SUCCESS;
    }
  return false;
}

bool KeyChildren(const std::string& path, std::vector<platform::Listed>& children) {
  HKEY key = nullptr;
  if (!OpenKey(path, key)) return false;
  wchar_t name[256];
  for (DWORD i = 0;; ++i) {
    DWORD size = 256;
    LONG result = RegEnumKeyExW(key, i, name, &size, nullptr, nullptr, nullptr, nullptr);
    if (result != ERROR_SUCCESS) break;
    children.push_back({Utf8(std::wstring_view(name, size)), true});
  }
  RegCloseKey(key);
  return true;
}

}  // namespace

std::wstring LongPath(const std::string& path) {
  std::wstring wide = Wide(path);
  while (wide.size() > 3 && wide.back() == L'\\') wide.pop_back();
  if (wide.starts_with(L"\\\\?\\")) return wide;
  if (wide.starts_with(L"\\\\")) return L"\\\\?\\UNC\\" + wide.substr(2);
  if (wide.size() == 3 && wide.back() == L'\\') wide.pop_back();  // C:\ as C:
  return L"\\\\?\\" + wide;
}

bool Win32ObjectTree::Children(const std::string& path, bool registry,
                               std::vector<platform::Listed>& children) {
  return registry ? KeyChildren(path, children) : FolderChildren(path, children);
}

}  // namespace win32
