#pragma once
// Child processes through CreatePipe and CreateProcessW (the command line in
// UTF-16, so none of it is lost to the ANSI code page). A thread of each
// child's own reads its output; a message-only window on the interface
// thread hands the pieces on there, so that thread never waits for a child.

#include <windows.h>

#include "platform/processes.h"

namespace win32 {

class Win32Processes : public platform::Processes {
 public:
  // Made on the interface thread, where the output is handed on.
  Win32Processes();
  ~Win32Processes() override;
  Win32Processes(const Win32Processes&) = delete;
  Win32Processes& operator=(const Win32Processes&) = delete;

  Start StartHidden(const std::string& commandLine, platform::OutputListener& listener,
                    Tie tie) override;
  std::size_t WholeCharacters(std::string_view ansi) override;
  std::string FromAnsi(std::string_view ansi) override;

 private:
  HWND mailbox_ = nullptr;
  // Children that end with this program: closing the job's last handle,
  // which the system does as the program ends, ends them.
  HANDLE endsWithProgram_ = nullptr;
};

}  // namespace win32
