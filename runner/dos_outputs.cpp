#include "runner/dos_outputs.h"

void DOSOutputs::raise(std::string chunk) {
  if (ReceiveOutputs) ReceiveOutputs(chunk);
}

bool DOSOutputs::ExecuteCommand(const std::string& commandLine, platform::Processes::Tie tie) {
  if (child_) return false;
  if (!commandLine.empty()) commandLine_ = commandLine;
  if (commandLine_.empty()) {
    dialogs_.tell("Command Line empty", {}, forms::Icon::Critical);
    return false;
  }
  platform::Processes::Start start = processes_.StartHidden(commandLine_, *this, tie);
  if (start.pipeError) {
    dialogs_.tell("CreatePipe failed. Error: " + std::to_string(start.pipeError), {},
                  forms::Icon::Critical);
    return false;
  }
  if (!start.child) {
    dialogs_.tell("Click the Settings button and point\r\nto SetAcl.exe's location.", {},
                  forms::Icon::Critical);
    return false;
  }
  child_ = std::move(start.child);
  decoder_.emplace(processes_);
  stopped_ = false;
  bytesRead_ = 0;
  return true;
}

void DOSOutputs::Stop() {
  if (!child_ || stopped_) return;
  stopped_ = true;
  child_->Terminate();
}

// A character split between two pieces waits in the decoder for the rest.
void DOSOutputs::Piece(std::string_view bytes) {
  bytesRead_ += bytes.size();
  if (std::string chunk = decoder_->decode(bytes); !chunk.empty()) raise(std::move(chunk));
}

void DOSOutputs::Ended(std::optional<std::uint32_t> exitCode) {
  if (std::string rest = decoder_->finish(); !rest.empty()) raise(std::move(rest));
  raise({});
  Result result{stopped_, exitCode.has_value() && !stopped_, exitCode.value_or(0)};
  child_.reset();
  if (Finished) Finished(result);
}
