#pragma once
// Child processes whose console output comes back through an anonymous pipe.

#include <cstdint>
#include <string>
#include <string_view>

namespace platform {

class Processes {
 public:
  using Handle = std::uintptr_t;  // 0 is none

  virtual ~Processes() = default;
  // An anonymous pipe whose two ends children inherit; 0 or the system's
  // error code.
  virtual long CreatePipe(Handle& read, Handle& write) = 0;
  // Starts the command line hidden, its standard output and standard error
  // both on `output`, no standard input. False when it could not start.
  virtual bool StartHidden(const std::string& commandLine, Handle output, Handle& process,
                             Handle& thread) = 0;
  // Blocks until the child writes or the pipe ends; false at the end or on
  // an error, with nothing read.
  virtual bool ReadFile(Handle pipe, char* buffer, std::uint32_t size, std::uint32_t& read) = 0;
  virtual void CloseHandle(Handle handle) = 0;
  // Ends the child; a read under way returns at once as at the end.
  virtual void Terminate(Handle process) = 0;
  // The child's exit code once it has ended; false while it runs on.
  virtual bool ExitCode(Handle process, std::uint32_t& code) = 0;

  // Console text arrives in the ANSI code page: how many leading bytes form
  // whole characters, and those bytes as UTF-8.
  virtual std::size_t WholeCharacters(std::string_view ansi) = 0;
  virtual std::string FromAnsi(std::string_view ansi) = 0;
};

}  // namespace platform
