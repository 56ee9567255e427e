#include "run/dos_outputs.h"

void DOSOutputs::raise(std::string chunk) {
  if (ReceiveOutputs) ReceiveOutputs(chunk);
}

std::string DOSOutputs::ExecuteCommand(const std::string& commandLine) {
  using Handle = platform::Processes::Handle;
  if (!commandLine.empty()) commandLine_ = commandLine;
  if (commandLine_.empty()) {
    dialogs_.tell("Command Line empty", {}, forms::Icon::Critical);
    return {};
  }
  Handle readEnd = 0, writeEnd = 0;
  if (long error = processes_.CreatePipe(readEnd, writeEnd)) {
    dialogs_.tell("CreatePipe failed. Error: " + std::to_string(error), {}, forms::Icon::Critical);
    return {};
  }
  Handle process = 0, thread = 0;
  if (!processes_.StartHidden(commandLine_, writeEnd, process, thread)) {
    dialogs_.tell("Click the Settings button and point\r\nto SetAcl.exe's location.", {},
                  forms::Icon::Critical);
    processes_.CloseHandle(readEnd);
    processes_.CloseHandle(writeEnd);
    return {};
  }
  // Only the child's copy of the write end may keep the pipe open.
  processes_.CloseHandle(writeEnd);
  outputs_.clear();

  // A character split between two reads waits in `pending` for its second
  // byte, so no chunk ever holds half of one; the read size leaves it room.
  std::string pending;
  char buffer[kReadSize];
  std::uint32_t read = 0;
  while (processes_.ReadFile(readEnd, buffer, kReadSize - static_cast<std::uint32_t>(pending.size()),
                             read)) {
    pending.append(buffer, read);
    std::size_t whole = processes_.WholeCharacters(pending);
    if (whole == 0) continue;
    std::string chunk = processes_.FromAnsi(std::string_view(pending).substr(0, whole));
    pending.erase(0, whole);
    outputs_ += chunk;
    raise(std::move(chunk));
  }
  if (!pending.empty()) {
    std::string rest = processes_.FromAnsi(pending);
    outputs_ += rest;
    raise(std::move(rest));
  }
  raise({});

  processes_.CloseHandle(process);
  processes_.CloseHandle(thread);
  processes_.CloseHandle(readEnd);
  return outputs_;
}
