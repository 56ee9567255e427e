#pragma once
// Starting programs the way a user does: through the shell, or as a whole
// command line in a console window of its own. Neither waits.

#include <string>

namespace platform {

class Shell {
 public:
  virtual ~Shell() = default;
  // Opens program with the default verb, no owner window; the shell's value
  // (32 and above mean success).
  virtual long Open(const std::string& program, const std::string& parameters,
                    const std::string& folder, int windowStyle) = 0;
  // Starts a whole command line as a process; 0 or the system's error code.
  virtual long Start(const std::string& commandLine, int windowStyle) = 0;
  virtual std::string CurrentFolder() = 0;
};

}  // namespace platform
