#pragma once
// Child processes through CreatePipe and CreateProcessW; the command line
// goes over in UTF-16, so no character of it is lost to the ANSI code page.

#include "platform/processes.h"

namespace win32 {

class Win32Processes : public platform::Processes {
 public:
  long CreatePipe(Handle& read, Handle& write) override;
  bool StartHidden(const std::string& commandLine, Handle output, Handle& process,
                     Handle& thread) override;
  bool ReadFile(Handle pipe, char* buffer, std::uint32_t size, std::uint32_t& read) override;
  void CloseHandle(Handle handle) override;
  std::size_t WholeCharacters(std::string_view ansi) override;
  std::string FromAnsi(std::string_view ansi) override;
};

}  // namespace win32
