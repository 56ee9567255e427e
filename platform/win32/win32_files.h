#pragma once
// Files and folders through their attributes, CreateDirectoryW,
// FindFirstFileExW and the file functions.

#include "platform/files.h"

namespace win32 {

class Win32Files : public platform::FileSystem {
 public:
  bool FileExists(const std::string& path) override;
  bool FolderExists(const std::string& path) override;
  long CreateFolder(const std::string& path) override;
  long ListFiles(const std::string& folder, std::vector<std::string>& names) override;
  bool ReadText(const std::string& path, std::string& text) override;
  long AppendText(const std::string& path, const std::string& text) override;
  long WriteText(const std::string& path, const std::string& text) override;
  long RemoveFile(const std::string& path) override;
  std::uint64_t FileSize(const std::string& path) override;
};

}  // namespace win32
