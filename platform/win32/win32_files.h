#pragma once
// Files and folders through their attributes, CreateDirectoryW,
// FindFirstFileExW and the file functions; security through SDDL.

#include "platform/files.h"

namespace win32 {

class Win32Files : public platform::FileSystem {
 public:
  bool FileExists(const std::string& path) override;
  bool FolderExists(const std::string& path) override;
  long CreateFolder(const std::string& path) override;
  long ListFiles(const std::string& folder, std::vector<std::string>& names) override;
  long CreateFolderWith(const std::string& path, const std::string& sddl) override;
  std::string SecurityOf(const std::string& path) override;
  bool ReadText(const std::string& path, std::string& text) override;
  bool ReadPieces(const std::string& path, const std::function<bool(std::string_view)>& piece,
                  std::uint64_t from) override;
  long CreateNew(const std::string& path) override;
  long AppendText(const std::string& path, const std::string& text) override;
  long WriteText(const std::string& path, const std::string& text) override;
  long RemoveFile(const std::string& path) override;
  std::uint64_t FileSize(const std::string& path) override;
  std::unique_ptr<Lock> Hold(const std::string& lockPath, long& error) override;
  std::unique_ptr<Lock> Pin(const std::string& path) override;
};

}  // namespace win32
