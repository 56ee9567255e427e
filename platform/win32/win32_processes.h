#pragma once
// Child processes through CreatePipe and CreateProcessW; the command line
// goes over in UTF-16, so no character of it is lost to the ANSI code page.

#include <cstdint>
#include <functional>
#include <utility>

#include "platform/processes.h"

namespace win32 {

class Win32Processes : public platform::Processes {
 public:
  // `whileReading`, when given, is called every few dozen milliseconds while
  // the output is read, also while the child writes nothing: the caller's
  // windows keep painting through a long command.
  explicit Win32Processes(std::function<void()> whileReading = {})
      : whileReading_(std::move(whileReading)) {}
  long CreatePipe(Handle& read, Handle& write) override;
  bool StartHidden(const std::string& commandLine, Handle output, Handle& process,
                     Handle& thread) override;
  bool ReadFile(Handle pipe, char* buffer, std::uint32_t size, std::uint32_t& read) override;
  void CloseHandle(Handle handle) override;
  void Terminate(Handle process) override;
  bool ExitCode(Handle process, std::uint32_t& code) override;
  std::size_t WholeCharacters(std::string_view ansi) override;
  std::string FromAnsi(std::string_view ansi) override;

 private:
  void waitForOutput(Handle pipe);

  std::function<void()> whileReading_;
  std::uint64_t lastCall_ = 0;  // tick count of the last whileReading_ call
  bool drained_ = false;        // the last read took all the pipe held
  bool terminated_ = false;     // the child was ended: no read waits any more
};

}  // namespace win32
