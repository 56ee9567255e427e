#pragma once
// ShellExecuteW, and CreateProcessW for a whole command line in a console of its own.

#include "platform/shell.h"

namespace win32 {

class Win32Shell : public platform::Shell {
 public:
  long Open(const std::string& program, const std::string& parameters, const std::string& folder,
            int windowStyle) override;
  long Start(const std::string& commandLine, int windowStyle) override;
  std::string CurrentFolder() override;
};

}  // namespace win32
