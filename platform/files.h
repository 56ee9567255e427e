#pragma once
// Files and folders, by path.

#include <string>
#include <vector>

namespace platform {

class FileSystem {
 public:
  virtual ~FileSystem() = default;
  // An ordinary file: hidden and system files and folders count as missing.
  virtual bool FileExists(const std::string& path) = 0;
  virtual bool FolderExists(const std::string& path) = 0;
  // Creates one folder whose parent exists; 0 or the system's error code.
  virtual long CreateFolder(const std::string& path) = 0;
  // The names of the ordinary files in a folder, without the folder part;
  // 0 or the system's error code (names then untouched).
  virtual long ListFiles(const std::string& folder, std::vector<std::string>& names) = 0;
};

}  // namespace platform
