#pragma once
// Folders through FindFirstFileExW (basic information, large fetches, long
// paths), registry keys through RegEnumKeyExW.

#include "platform/object_tree.h"

namespace win32 {

class Win32ObjectTree : public platform::ObjectTree {
 public:
  bool Children(const std::string& path, bool registry,
                std::vector<platform::Listed>& children) override;
};

// A path as the file functions take it beyond MAX_PATH: "\\?\C:\..." or
// "\\?\UNC\server\share\...".
std::wstring LongPath(const std::string& path);

}  // namespace win32
