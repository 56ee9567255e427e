#include "platform/win32/win32_registry.h"

#include "forms/win32/wide.h"

namespace win32 {

namespace {

HKEY Handle(platform::Registry::Key key) { return reinterpret_cast<HKEY>(key); }

platform::Registry::Key FromHandle(HKEY key) {
  return reinterpret_cast<platform::Registry::Key>(key);
}

}  // namespace

long Win32Registry::CreateKey(Key root, const std::string& path, std::uint32_t access, Key& key) {
  HKEY created = nullptr;
  long result = RegCreateKeyExW(Handle(root), Wide(path).c_str(), 0, nullptr,
                                REG_OPTION_NON_VOLATILE, access, nullptr, &created, nullptr);
  key = FromHandle(created);
  return result;
}

long Win32Registry::OpenKey(Key root, const std::string& path, std::uint32_t access, Key& key) {
  HKEY opened = nullptr;
  long result = RegOpenKeyExW(Handle(root), Wide(path).c_str(), 0, access, &opened);
  key = FromHandle(opened);
  return result;
}

long Win32Registry::CloseKey(Key key) { return RegCloseKey(Handle(key)); }

long Win32Registry::QueryInfo(Key key, const std::string& name, std::uint32_t& type,
                              std::uint32_t& bytes) {
  DWORD t = 0;
  DWORD n = 0;
  long result = RegQueryValueExW(Handle(key), Wide(name).c_str(), nullptr, &t, nullptr, &n);
  type = t;
  bytes = n;
  return result;
}

long Win32Registry::QueryString(Key key, const std::string& name, std::uint32_t bytes,
                                std::string& text) {
  std::wstring buffer((bytes + 1) / sizeof(wchar_t), L'\0');
  DWORD n = static_cast<DWORD>(buffer.size() * sizeof(wchar_t));
  long result = RegQueryValueExW(Handle(key), Wide(name).c_str(), nullptr, nullptr,
                                 reinterpret_cast<BYTE*>(buffer.data()), &n);
  if (result == ERROR_SUCCESS) text = Utf8(std::wstring_view(buffer.data(), n / sizeof(wchar_t)));
  return result;
}

long Win32Registry::SetString(Key key, const std::string& name, const std::string& text) {
  std::wstring wide = Wide(text);
  return RegSetValueExW(Handle(key), Wide(name).c_str(), 0, REG_SZ,
                        reinterpret_cast<const BYTE*>(wide.data()),
                        static_cast<DWORD>(wide.size() * sizeof(wchar_t)));
}

}  // namespace win32
