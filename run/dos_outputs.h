#pragma once
// Runs one console command line hidden, reads everything it writes through a
// pipe, and hands each piece to its owner as it arrives.

#include <functional>
#include <string>

#include "forms/dialogs.h"
#include "platform/processes.h"

class DOSOutputs {
 public:
  DOSOutputs(platform::Processes& processes, forms::Dialogs& dialogs)
      : processes_(processes), dialogs_(dialogs) {}

  void CommandLine(std::string DOSCommand) { commandLine_ = std::move(DOSCommand); }
  const std::string& CommandLine() const { return commandLine_; }
  // Everything the last run read.
  const std::string& Outputs() const { return outputs_; }

  // Runs the stored command line, or this one when it is not empty, until
  // the child closes its output. The whole output, or the empty text when no
  // process started.
  std::string ExecuteCommand(const std::string& commandLine = {});

  // Raised once per read with the text just read, and once more with the
  // empty text when the output ends.
  std::function<void(std::string& CommandOutputs)> ReceiveOutputs;

  static constexpr std::uint32_t kReadSize = 256;

 private:
  void raise(std::string chunk);

  platform::Processes& processes_;
  forms::Dialogs& dialogs_;
  std::string commandLine_;
  std::string outputs_;
};
