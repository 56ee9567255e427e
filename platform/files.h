#pragma once
// Files and folders, by path.

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
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

  // Creates one folder with a security of its own (SDDL); 0 or the system's error code.
  virtual long CreateFolderWith(const std::string& path, const std::string& sddl) = 0;
  // The owner and DACL of a file or folder in SDDL; empty when they cannot be read.
  virtual std::string SecurityOf(const std::string& path) = 0;

  // A file's bytes; false when it cannot be read.
  virtual bool ReadText(const std::string& path, std::string& text) = 0;
  // A file's bytes in pieces, in order, however large it is, from byte
  // `from` on: false when it cannot be opened or a read fails. `piece`
  // answering false ends the reading early (and true).
  virtual bool ReadPieces(const std::string& path,
                          const std::function<bool(std::string_view)>& piece,
                          std::uint64_t from = 0) = 0;
  // Makes an empty file, only when none has the name: 0, kFileExists, or
  // the system's error code.
  virtual long CreateNew(const std::string& path) = 0;
  static constexpr long kFileExists = 80;
  // Adds the text at the end of a file, made when missing, handed to the
  // system before it returns; 0 or the system's error code.
  virtual long AppendText(const std::string& path, const std::string& text) = 0;
  // Replaces a file's text whole: a new file, then renamed over the old one.
  virtual long WriteText(const std::string& path, const std::string& text) = 0;
  virtual long RemoveFile(const std::string& path) = 0;
  // Bytes in the file; 0 when there is none.
  virtual std::uint64_t FileSize(const std::string& path) = 0;

  // Held by one holder at a time, across programs: while held, every other
  // Hold of the same path waits for it (a while; then it fails).
  class Lock {
   public:
    virtual ~Lock() = default;
  };
  // The lock named by a file (made when missing); null with the system's
  // error code when it could not be had.
  virtual std::unique_ptr<Lock> Hold(const std::string& lockPath, long& error) = 0;
  // A file kept as it is while the pin lives, across programs: others may
  // read it, and neither change nor delete it. Null when it cannot be opened.
  virtual std::unique_ptr<Lock> Pin(const std::string& path) = 0;
};

}  // namespace platform
