#pragma once
// Runs one console command line hidden and hands on everything it writes, as
// text, piece by piece as it arrives; a thread of the platform's reads the
// pipe, so the caller never waits. It keeps none of the output itself: the
// owner holds it, once.

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "forms/dialogs.h"
#include "platform/processes.h"
#include "runner/output_decoder.h"

class DOSOutputs : private platform::OutputListener {
 public:
  DOSOutputs(platform::Processes& processes, forms::Dialogs& dialogs)
      : processes_(processes), dialogs_(dialogs) {}

  void CommandLine(std::string DOSCommand) { commandLine_ = std::move(DOSCommand); }
  const std::string& CommandLine() const { return commandLine_; }

  // How a run ended.
  struct Result {
    bool stopped = false;  // ended by Stop
    bool exited = false;   // the exit code is known
    std::uint32_t exitCode = 0;
  };

  // Starts the stored command line, or this one when it is not empty: its
  // output arrives through ReceiveOutputs, its end through Finished. False
  // when nothing started; the user was told why.
  bool ExecuteCommand(const std::string& commandLine = {},
                      platform::Processes::Tie tie = platform::Processes::Tie::Own);
  // Ends the command under way; what it wrote so far is still handed on.
  void Stop();
  bool running() const { return child_ != nullptr; }
  // Bytes read from the command in the run under way or the last one.
  std::uint64_t BytesRead() const { return bytesRead_; }

  // Raised once per piece read with its text, and once more with the empty
  // text when the output ends.
  std::function<void(std::string& CommandOutputs)> ReceiveOutputs;
  std::function<void(const Result& result)> Finished;

 private:
  void Piece(std::string_view bytes) override;
  void Ended(std::optional<std::uint32_t> exitCode) override;
  void raise(std::string chunk);

  platform::Processes& processes_;
  forms::Dialogs& dialogs_;
  std::string commandLine_;
  std::unique_ptr<platform::Child> child_;
  std::optional<OutputDecoder> decoder_;
  bool stopped_ = false;
  std::uint64_t bytesRead_ = 0;
};
