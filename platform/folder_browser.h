#pragma once
// The shell's folder browser.

#include <string>

namespace forms {
class Form;
}

namespace platform {

class FolderBrowser {
 public:
  virtual ~FolderBrowser() = default;
  // The chosen folder's path, or the empty text on cancel or failure.
  virtual std::string BrowseForFolder(const forms::Form* owner, const std::string& title) = 0;
};

}  // namespace platform
