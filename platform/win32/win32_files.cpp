#include "platform/win32/win32_files.h"

#include "platform/win32/wide.h"

namespace win32 {

bool Win32Files::FileExists(const std::string& path) {
  DWORD attributes = GetFileAttributesW(Wide(path).c_str());
  return attributes != INVALID_FILE_ATTRIBUTES &&
         !(attributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM));
}

bool Win32Files::FolderExists(const std::string& path) {
  DWORD attributes = GetFileAttributesW(Wide(path).c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

long Win32Files::CreateFolder(const std::string& path) {
  return CreateDirectoryW(Wide(path).c_str(), nullptr) ? 0 : static_cast<long>(GetLastError());
}

long Win32Files::ListFiles(const std::string& folder, std::vector<std::string>& names) {
  WIN32_FIND_DATAW found;
  HANDLE search = FindFirstFileExW(Wide(folder + "\\*").c_str(), FindExInfoBasic, &found,
                                   FindExSearchNameMatch, nullptr, 0);
  if (search == INVALID_HANDLE_VALUE) {
    // Only an empty drive root has not even "." and "..".
    DWORD error = GetLastError();
    if (error != ERROR_FILE_NOT_FOUND) return static_cast<long>(error);
    names.clear();
    return 0;
  }
  std::vector<std::string> listed;
  do {
    if (!(found.dwFileAttributes &
          (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM)))
      listed.push_back(Utf8(found.cFileName));
  } while (FindNextFileW(search, &found));
  DWORD error = GetLastError();
  FindClose(search);
  if (error != ERROR_NO_MORE_FILES) return static_cast<long>(error);
  names = std::move(listed);
  return 0;
}

}  // namespace win32
