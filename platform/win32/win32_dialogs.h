#pragma once
// Message boxes through MessageBoxW; the input box is a form of our own.

#include "forms/dialogs.h"
#include "forms/win32/win32_backend.h"

namespace win32 {

class Win32Dialogs : public forms::Dialogs {
 public:
  explicit Win32Dialogs(Win32Backend& backend) : backend_(backend) {}
  forms::Answer message(const forms::Message& box) override;
  std::string input(const std::string& prompt, const std::string& title,
                    const std::string& initial) override;

 private:
  Win32Backend& backend_;
};

}  // namespace win32
