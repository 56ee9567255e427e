#pragma once
// Files and folders, by path.

#include <cstdint>
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

  // A file's bytes; false when it cannot be read.
  virtual bool ReadText(const std::string& path, std::string& text) = 0;
  // Adds the text at the end of a file, made when missing, handed to the
  // system before it returns; 0 or the system's error code.
  virtual long AppendText(const std::string& path, const std::string& text) = 0;
  // Replaces a file's text whole: a new file, then renamed over the old one.
  virtual long WriteText(const std::string& path, const std::string& text) = 0;
  virtual long RemoveFile(const std::string& path) = 0;
  // Bytes in the file; 0 when there is none.
  virtual std::uint64_t FileSize(const std::string& path) = 0;
};

}  // namespace platform
