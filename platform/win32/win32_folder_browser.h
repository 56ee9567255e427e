#pragma once
// The shell's folder browser, owned by the form's window.

#include "forms/win32/win32_backend.h"
#include "platform/folder_browser.h"

namespace win32 {

class Win32FolderBrowser : public platform::FolderBrowser {
 public:
  explicit Win32FolderBrowser(const Win32Backend& backend) : backend_(backend) {}
  std::string BrowseForFolder(const forms::Form* owner, const std::string& title) override;

 private:
  const Win32Backend& backend_;
};

}  // namespace win32
