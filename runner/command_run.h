#pragma once
// SetACL.exe run for a window, one command at a time: started hidden from
// its folder, its output handed to the window piece by piece (or kept, for
// a step of a chain), its progress and its end said in words, and how it
// ended handed back typed. While it runs (or a chain holds it) the window
// takes no other input.

#include <chrono>
#include <functional>
#include <string>
#include <string_view>

#include "forms/dialogs.h"
#include "runner/dos_outputs.h"
#include "runner/run_status.h"

// What a run shows, in the window that runs it.
struct RunView {
  std::function<void()> clearOutput;
  std::function<void(const std::string& text)> output;  // the next piece of the output
  std::function<void(std::string words)> status;
  std::function<void(bool locked)> lock;  // nothing but Stop acts while locked
  std::function<void(int everyMs)> timer;  // ShowProgress every so often; 0: no more
};

// A run that is one step of several: its output kept from the output box
// (`quiet`), and its progress in the status line under its own name.
struct RunStep {
  bool quiet = false;
  bool keepOutput = false;  // the output handed back in the result
  // A listing, which changes nothing: it ends with the program, however
  // the program ends.
  bool changesNothing = false;
  std::string label = "Running";
};

struct RunResult {
  RunOutcome outcome;
  RunProgress progress;
  std::string output;  // when the step kept it
};

class CommandRun {
 public:
  CommandRun(platform::Processes& processes, forms::Dialogs& dialogs, RunView view);

  // SetACL.exe in `folder` (as the registry gives it back: its backslash and
  // a NUL at the end) with these arguments; `finished` hears how it ended.
  // False when it did not start; the user was told why.
  bool Run(const std::string& folder, std::string_view arguments,
           std::function<void(const RunResult&)> finished = {}, RunStep step = {});
  // The command line that runs SetACL.exe in `folder` with these arguments.
  static std::string LineOf(const std::string& folder, std::string_view arguments);
  bool running() const { return objDOS.running(); }
  // The window stays locked between the steps of a chain until released.
  void Hold();
  void Release();
  // Asks, and on Yes ends the command; what it wrote stays.
  void AskToStop();
  // The close box: true keeps the window open. During a run it asks, and
  // on Yes ends the command and lets the window close.
  bool QueryUnload();
  // The status line of the run under way, on the window's timer.
  void ShowProgress();

 private:
  void objDOS_ReceiveOutputs(std::string& CommandOutputs);
  void objDOS_Finished(const DOSOutputs::Result& result);
  void Lock(bool locked);
  void TakeProgress();

  forms::Dialogs& dialogs_;
  RunView view_;
  DOSOutputs objDOS;
  bool locked_ = false;
  bool active_ = false;  // between the start and the end of a run
  bool held_ = false;
  RunStep step_;
  std::string kept_;
  std::function<void(const RunResult&)> finished_;
  RunProgress progress_;
  std::chrono::steady_clock::time_point started_;
};
