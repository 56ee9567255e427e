#include "platform/win32/win32_files.h"

#include <aclapi.h>
#include <sddl.h>

#include <algorithm>

#include "platform/win32/local_memory.h"
#include "forms/win32/wide.h"

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
            written == text.size() && FlushFileBuffers(file);
  long error = ok ? 0 : static_cast<long>(GetLastError());
  CloseHandle(file);
  return ok ? 0 : (error ? error : ERROR_WRITE_FAULT);
}

}  // namespace

bool Win32Files::ReadText(const std::string& path, std::string& text) {
  std::string bytes;
  bytes.reserve(static_cast<std::size_t>(FileSize(path)));
  if (!ReadPieces(
          path,
          [&](std::string_view piece) {
            bytes += piece;
            return true;
          },
          0))
    return false;
  text = std::move(bytes);
  return true;
}

// Pieces of a mebibyte: one ReadFile reads at most 4 GiB, and a listing may be larger.
bool Win32Files::ReadPieces(const std::string& path,
                            const std::function<bool(std::string_view)>& piece, std::uint64_t from) {
  // A reader never keeps a writer from replacing or removing the file.
  HANDLE file = CreateFileW(Wide(path).c_str(), GENERIC_READ,
                            FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                            OPEN_EXISTING, FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  LARGE_INTEGER start{};
  start.QuadPart = static_cast<LONGLONG>(from);
  if (from && !SetFilePointerEx(file, start, nullptr, FILE_BEGIN)) {
    CloseHandle(file);
    return false;
  }
  std::string buffer(1 << 20, '\0');
  bool ok = true;
  for (DWORD read = 0;;) {
    if (!ReadFile(file, buffer.data(), static_cast<DWORD>(buffer.size()), &read, nullptr)) {
      ok = false;
      break;
    }
    if (read == 0 || !piece(std::string_view(buffer.data(), read))) break;
  }
  CloseHandle(file);
  return ok;
}

long Win32Files::CreateNew(const std::string& path) {
  HANDLE file = CreateFileW(Wide(path).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return static_cast<long>(GetLastError());
  CloseHandle(file);
  return 0;
}

long Win32Files::CreateFolderWith(const std::string& path, const std::string& sddl) {
  PSECURITY_DESCRIPTOR sd = nullptr;
  if (!ConvertStringSecurityDescriptorToSecurityDescriptorW(Wide(sddl).c_str(), SDDL_REVISION_1, &sd,
                                                            nullptr))
    return static_cast<long>(GetLastError());
  LocalMemory held(sd);
  SECURITY_ATTRIBUTES attributes{sizeof attributes, sd, FALSE};
  return CreateDirectoryW(Wide(path).c_str(), &attributes) ? 0 : static_cast<long>(GetLastError());
}

std::string Win32Files::SecurityOf(const std::string& path) {
  constexpr SECURITY_INFORMATION kParts = OWNER_SECURITY_INFORMATION | DACL_SECURITY_INFORMATION;
  PSECURITY_DESCRIPTOR sd = nullptr;
  if (GetNamedSecurityInfoW(Wide(path).c_str(), SE_FILE_OBJECT, kParts, nullptr, nullptr, nullptr,
                            nullptr, &sd) != ERROR_SUCCESS)
    return {};
  LocalMemory held(sd);
  LPWSTR text = nullptr;
  if (!ConvertSecurityDescriptorToStringSecurityDescriptorW(sd, SDDL_REVISION_1, kParts, &text, nullptr))
    return {};
  LocalMemory heldText(text);
  return Utf8(text);
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

namespace {

// A lock file open with no sharing: another open of it is refused until
// this handle closes, which the system does for a program that ends.
class LockFile : public platform::FileSystem::Lock {
 public:
  explicit LockFile(HANDLE file) : file_(file) {}
  ~LockFile() override { CloseHandle(file_); }

 private:
  HANDLE file_;
};

constexpr ULONGLONG kLockWaitMs = 10000;
constexpr DWORD kLockRetryMs = 10;

}  // namespace

std::unique_ptr<platform::FileSystem::Lock> Win32Files::Hold(const std::string& lockPath, long& error) {
  std::wstring path = Wide(lockPath);
  for (ULONGLONG start = GetTickCount64();;) {
    HANDLE file = CreateFileW(path.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file != INVALID_HANDLE_VALUE) {
      error = 0;
      return std::make_unique<LockFile>(file);
    }
    error = static_cast<long>(GetLastError());
    if (error != ERROR_SHARING_VIOLATION || GetTickCount64() - start > kLockWaitMs) return nullptr;
    Sleep(kLockRetryMs);
  }
}

std::unique_ptr<platform::FileSystem::Lock> Win32Files::Pin(const std::string& path) {
  HANDLE file = CreateFileW(Wide(path).c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                            OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return nullptr;
  return std::make_unique<LockFile>(file);
}

}  // namespace win32
