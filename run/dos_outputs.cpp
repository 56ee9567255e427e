#include "run/dos_outputs.h"

#include "run/output_decoder.h"

void DOSOutputs::raise(std::string chunk) {
  if (ReceiveOutputs) ReceiveOutputs(chunk);
}

DOSOutputs::Result DOSOutputs::ExecuteCommand(const std::string& commandLine) {
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
  process_ = process;
  stopped_ = false;
  bytesRead_ = 0;

  // A character split between two reads waits in the decoder for the rest,
  // so no chunk ever holds part of one; the read size leaves it room.
  OutputDecoder decoder(processes_);
  char buffer[kReadSize];
  std::uint32_t read = 0;
  while (!stopped_ &&
         processes_.ReadFile(readEnd, buffer, kReadSize - static_cast<std::uint32_t>(decoder.waiting()),
                             read)) {
    bytesRead_ += read;
    if (std::string chunk = decoder.decode({buffer, read}); !chunk.empty()) raise(std::move(chunk));
  }
  if (std::string rest = decoder.finish(); !rest.empty()) raise(std::move(rest));
  raise({});

  Result result{true, stopped_};
  result.exited = !stopped_ && processes_.ExitCode(process, result.exitCode);
  process_ = 0;
  processes_.CloseHandle(process);
  processes_.CloseHandle(thread);
  processes_.CloseHandle(readEnd);
  return result;
}

void DOSOutputs::Stop() {
  if (!process_ || stopped_) return;
  stopped_ = true;
  processes_.Terminate(process_);
}
