#include "runner/command_run.h"

#include <algorithm>
#include <utility>

#include "setacl/program.h"
#include "runner/command_line_fits.h"

namespace {

constexpr int kStatusEveryMs = 250;

RunOutcome OutcomeOf(const DOSOutputs::Result& result) {
  if (result.stopped) return {RunOutcome::Kind::Stopped};
  if (result.exited) return {RunOutcome::Kind::Exited, result.exitCode};
  return {RunOutcome::Kind::Ended};
}

}  // namespace

CommandRun::CommandRun(platform::Processes& processes, forms::Dialogs& dialogs, RunView view)
    : dialogs_(dialogs), view_(std::move(view)), objDOS(processes, dialogs) {
  objDOS.ReceiveOutputs = [this](std::string& chunk) { objDOS_ReceiveOutputs(chunk); };
  objDOS.Finished = [this](const DOSOutputs::Result& result) { objDOS_Finished(result); };
}

bool CommandRun::Run(const std::string& folder, std::string_view arguments,
                     std::function<void(const RunResult&)> finished, RunStep step) {
  if (running()) return false;
  finished_ = std::move(finished);
  step_ = std::move(step);
  kept_.clear();
  if (folder.empty()) {
    if (!step_.quiet) view_.clearOutput();
    // No folder, no last character to drop: the invalid-argument error.
    dialogs_.tell("this Invalid procedure call or argument - Vorlane - 5");
    return false;
  }
  std::string commandLine = LineOf(folder, arguments);
  objDOS.CommandLine(commandLine);
  // Too long a line would reach the tool cut short: it runs not at all, and
  // the last run's output stays.
  if (!CommandLineFits(dialogs_, commandLine)) return false;
  if (!step_.quiet) view_.clearOutput();
  Lock(true);
  active_ = true;
  auto tie = step_.changesNothing ? platform::Processes::Tie::EndsWithProgram : platform::Processes::Tie::Own;
  if (!objDOS.ExecuteCommand({}, tie)) {
    active_ = false;
    if (!held_) Lock(false);
    view_.status("");
    return false;
  }
  progress_ = {};
  started_ = std::chrono::steady_clock::now();
  ShowProgress();
  view_.timer(kStatusEveryMs);
  return true;
}

// The folder ends in its backslash and a NUL.
std::string CommandRun::LineOf(const std::string& folder, std::string_view arguments) {
  std::string line = SetAclProgram(folder.substr(0, std::max<std::size_t>(folder.size(), 1) - 1));
  line += arguments;
  return line;
}

void CommandRun::Hold() {
  held_ = true;
  Lock(true);
}

void CommandRun::Release() {
  held_ = false;
  if (!running()) Lock(false);
}

void CommandRun::AskToStop() {
  if (running() && dialogs_.confirm("Stop the running command?", "Stop Command?")) objDOS.Stop();
}

bool CommandRun::QueryUnload() {
  if (!running()) return false;
  if (!dialogs_.confirm("Stop the running command?", "Stop Command?")) return true;
  objDOS.Stop();
  return false;
}

void CommandRun::TakeProgress() {
  progress_.bytes = objDOS.BytesRead();
  progress_.seconds =
      std::chrono::duration<double>(std::chrono::steady_clock::now() - started_).count();
}

void CommandRun::ShowProgress() {
  if (!active_) return;  // a tick queued before the run ended
  TakeProgress();
  view_.status(RunningStatus(progress_, step_.label));
}

void CommandRun::objDOS_ReceiveOutputs(std::string& CommandOutputs) {
  progress_.lines += static_cast<std::uint64_t>(std::ranges::count(CommandOutputs, '\n'));
  if (step_.keepOutput) kept_ += CommandOutputs;
  if (!step_.quiet) view_.output(CommandOutputs);
}

void CommandRun::objDOS_Finished(const DOSOutputs::Result& result) {
  view_.timer(0);
  TakeProgress();
  active_ = false;
  RunResult done{OutcomeOf(result), progress_, std::exchange(kept_, {})};
  view_.status(EndStatus(progress_, done.outcome));
  if (!held_) Lock(false);
  if (auto finished = std::exchange(finished_, nullptr)) finished(done);
}

void CommandRun::Lock(bool locked) {
  if (std::exchange(locked_, locked) != locked) view_.lock(locked);
}
