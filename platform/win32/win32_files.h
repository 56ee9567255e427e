#pragma once
// Files and folders through their attributes and CreateDirectoryW.

#include "platform/files.h"

namespace win32 {

class Win32Files : public platform::FileSystem {
 public:
  bool FileExists(const std::string& path) override;
  bool FolderExists(const std::string& path) override;
  long CreateFolder(const std::string& path) override;
};

}  // namespace win32
