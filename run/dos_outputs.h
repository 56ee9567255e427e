#pragma once
// Runs one console command line hidden, reads everything it writes through a
// pipe, and hands each piece to its owner as it arrives. It keeps none of the
// output itself: the owner holds it, once.

#include <cstdint>
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

  // How a run ended.
  struct Result {
    bool started = false;
    bool stopped = false;   // ended by Stop
    bool exited = false;    // the exit code is known
    std::uint32_t exitCode = 0;
  };

  // Runs the stored command line, or this one when it is not empty, until
  // the child closes its output or Stop ends it.
  Result ExecuteCommand(const std::string& commandLine = {});
  // Ends the child of the run under way; what it wrote so far stays handed on.
  void Stop();
  bool running() const { return process_ != 0; }
  // Bytes read from the child in the run under way or the last one.
  std::uint64_t BytesRead() const { return bytesRead_; }

  // Raised once per read with the text just read, and once more with the
  // empty text when the output ends.
  std::function<void(std::string& CommandOutputs)> ReceiveOutputs;

  static constexpr std::uint32_t kReadSize = 256;

 private:
  void raise(std::string chunk);

  platform::Processes& processes_;
  forms::Dialogs& dialogs_;
  std::string commandLine_;
  platform::Processes::Handle process_ = 0;
  bool stopped_ = false;
  std::uint64_t bytesRead_ = 0;
};
