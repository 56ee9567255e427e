#include "platform/win32/win32_folder_browser.h"

#include <shlobj.h>

#include "forms/win32/wide.h"

namespace win32 {

std::string Win32FolderBrowser::BrowseForFolder(const forms::Form* owner,
                                                const std::string& title) {
  std::wstring caption = Wide(title);
  BROWSEINFOW info{};
  info.hwndOwner = backend_.window(owner);
  info.lpszTitle = caption.c_str();
  info.ulFlags = BIF_RETURNONLYFSDIRS;
  PIDLIST_ABSOLUTE item = SHBrowseForFolderW(&info);
  if (!item) return {};
  wchar_t path[MAX_PATH] = {};
  BOOL ok = SHGetPathFromIDListW(item, path);
  CoTaskMemFree(item);
  return ok ? Utf8(path) : std::string();
}

}  // namespace win32
