#pragma once
// SetACL.exe run for the main window, one command at a time: started hidden
// from its folder, its output streamed into the output box, its progress and
// its end in the status line. While it runs only Stop (or Esc, or the close
// box) acts in the window.

#include <chrono>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "forms/form.h"
#include "runner/dos_outputs.h"
#include "runner/run_status.h"

// A run that is one step of several: its output kept from the output box
// (`quiet`), and its progress in the status line under its own name.
struct RunStep {
  bool quiet = false;
  std::string label = "Running";
};

class CommandRun {
 public:
  // The controls of the window it runs in.
  struct Window {
    forms::Form& form;
    forms::TextBox& output;
    forms::Label& status;
    forms::CommandButton& start;  // Stop stands in its place
    forms::CommandButton& stop;
  };

  CommandRun(platform::Processes& processes, forms::Dialogs& dialogs, Window window);

  // SetACL.exe in `folder` (as the registry gives it back: its backslash and
  // a NUL at the end) with these arguments; `finished` hears how it ended.
  // False when it did not start; the user was told why.
  bool Run(const std::string& folder, std::string_view arguments,
           std::function<void(const DOSOutputs::Result&)> finished = {}, RunStep step = {});
  // The command line that runs SetACL.exe in `folder` with these arguments.
  static std::string LineOf(const std::string& folder, std::string_view arguments);
  // What the last quiet step wrote.
  const std::string& collected() const { return collected_; }
  bool running() const { return objDOS.running(); }
  // The window stays locked between the steps of a run until released.
  void Hold();
  void Release();
  // Asks, and on Yes ends the command; what it wrote stays.
  void AskToStop();
  // The close box: true keeps the window open. During a run it asks, and
  // on Yes ends the command and lets the window close.
  bool QueryUnload();
  // The status line of the run under way, from the window's timer.
  void ShowProgress();

 private:
  void objDOS_ReceiveOutputs(std::string& CommandOutputs);
  void objDOS_Finished(const DOSOutputs::Result& result);
  void Lock();
  void Unlock();
  void TakeProgress();

  forms::Dialogs& dialogs_;
  Window window_;
  DOSOutputs objDOS;
  std::vector<forms::Control*> disabled_;  // by the lock, to enable again
  bool locked_ = false;
  bool active_ = false;  // between the start and the end of a run
  bool held_ = false;
  bool startShown_ = false;
  RunStep step_;
  std::string collected_;
  std::function<void(const DOSOutputs::Result&)> finished_;
  RunProgress progress_;
  std::chrono::steady_clock::time_point started_;
};
