#pragma once
// The objects below a folder or a registry key, one level at a time, as the
// system lists them. Called from a thread of its own: nothing is kept
// between calls.

#include <string>
#include <vector>

namespace platform {

struct Listed {
  std::string name;
  bool container = false;  // a folder or key, with objects below it
};

class ObjectTree {
 public:
  virtual ~ObjectTree() = default;
  // The files and folders in a folder, or the subkeys of a key
  // ("HKEY_LOCAL_MACHINE\SOFTWARE\..."); false when it cannot be read.
  virtual bool Children(const std::string& path, bool registry, std::vector<Listed>& children) = 0;
};

}  // namespace platform
