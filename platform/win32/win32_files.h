#pragma once
// Files and folders through their attributes, CreateDirectoryW and
// FindFirstFileExW.

#include "platform/files.h"

namespace win32 {

class Win32Files : public platform::FileSystem {
 public:
  bool FileExists(const std::string& path) override;
  bool FolderExists(const std::string& path) override;
  long CreateFolder(const std::string& path) override;
  long ListFiles(const std::string& folder, std::vector<std::string>& names) override;
};

}  // namespace win32
