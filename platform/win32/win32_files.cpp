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

namespace {

long Written(const std::wstring& path, const std::string& text, DWORD access, DWORD disposition) {
  HANDLE file = CreateFileW(path.c_str(), access, FILE_SHARE_READ, nullptr, disposition,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return static_cast<long>(GetLastError());
  DWORD written = 0;
  bool ok = WriteFile(file, text.data(), static_cast<DWORD>(text.size()), &written, nullptr) &&
            written == text.size();
  long error = ok ? 0 : static_cast<long>(GetLastError());
  CloseHandle(file);
  return ok ? 0 : (error ? error : ERROR_WRITE_FAULT);
}

}  // namespace

bool Win32Files::ReadText(const std::string& path, std::string& text) {
  HANDLE file = CreateFileW(Wide(path).c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                            nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  LARGE_INTEGER size{};
  GetFileSizeEx(file, &size);
  std::string bytes(static_cast<std::size_t>(size.QuadPart), '\0');
  DWORD read = 0;
  bool ok = ReadFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &read, nullptr);
  CloseHandle(file);
  if (!ok) return false;
  bytes.resize(read);
  text = std::move(bytes);
  return true;
}

long Win32Files::AppendText(const std::string& path, const std::string& text) {
  return Written(Wide(path), text, FILE_APPEND_DATA, OPEN_ALWAYS);
}

long Win32Files::WriteText(const std::string& path, const std::string& text) {
  std::wstring target = Wide(path), fresh = target + L".new";
  if (long error = Written(fresh, text, GENERIC_WRITE, CREATE_ALWAYS)) return error;
  return MoveFileExW(fresh.c_str(), target.c_str(), MOVEFILE_REPLACE_EXISTING)
             ? 0
             : static_cast<long>(GetLastError());
}

long Win32Files::RemoveFile(const std::string& path) {
  return DeleteFileW(Wide(path).c_str()) ? 0 : static_cast<long>(GetLastError());
}

std::uint64_t Win32Files::FileSize(const std::string& path) {
  WIN32_FILE_ATTRIBUTE_DATA data{};
  if (!GetFileAttributesExW(Wide(path).c_str(), GetFileExInfoStandard, &data)) return 0;
  return (static_cast<std::uint64_t>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
}

}  // namespace win32
