#pragma once
// In-memory stand-ins for the registry and the file system.

#include <map>
#include <set>
#include <string>
#include <vector>

#include "platform/files.h"
#include "platform/registry.h"

// Keys under HKEY_LOCAL_MACHINE only, by path. Strings are stored as written
// or, like the system does for values written without one, with a NUL added.
class FakeRegistry : public platform::Registry {
 public:
  struct Value {
    std::uint32_t type = kString;
    std::string text;  // string data, a stored terminator included
    std::uint32_t number = 0;
    bool operator==(const Value&) const = default;
  };
  std::map<std::string, std::map<std::string, Value>> keys;
  bool storeTerminator = true;
  bool refuseWrites = false;    // opening for writing or creating is refused
  std::set<std::uint32_t> accesses;  // every access asked for
  int openHandles() const { return static_cast<int>(handles_.size()); }

  long CreateKey(Key root, const std::string& path, std::uint32_t access, Key& key) override;
  long OpenKey(Key root, const std::string& path, std::uint32_t access, Key& key) override;
  long CloseKey(Key key) override;
  long QueryInfo(Key key, const std::string& name, std::uint32_t& type,
                 std::uint32_t& bytes) override;
  long QueryString(Key key, const std::string& name, std::uint32_t bytes,
                   std::string& text) override;
  long QueryNumber(Key key, const std::string& name, std::uint32_t& number) override;
  long SetString(Key key, const std::string& name, const std::string& text) override;
  long SetNumber(Key key, const std::string& name, std::uint32_t number) override;

 private:
  const Value* find(Key key, const std::string& name) const;
  long open(Key root, std::uint32_t access, const std::string& path, Key& key);
  std::map<Key, std::string> handles_;
  Key next_ = 0x100;
};

// Paths as given; a folder path is known with or without its last backslash.
class FakeFiles : public platform::FileSystem {
 public:
  std::set<std::string> files;    // ordinary files
  std::set<std::string> folders;  // drive roots as "D:", shares as "\\server\share"
  std::map<std::string, long> refused;  // folder → the error its creation gives
  std::vector<std::string> created;

  bool FileExists(const std::string& path) override { return files.contains(path); }
  bool FolderExists(const std::string& path) override;
  long CreateFolder(const std::string& path) override;
};
