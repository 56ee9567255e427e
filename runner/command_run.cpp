#include "runner/command_run.h"

#include <algorithm>
#include <utility>

#include "runner/command_line_fits.h"
#include "run/setacl_program.h"

namespace {

constexpr int kStatusEveryMs = 250;

// What a user or automation could change or start with; read-only boxes stay
// readable, and tabs may be changed to read them.
bool TakesInput(const forms::Control& c) {
  using forms::Kind;
  if (c.kind() == Kind::TextBox) return !static_cast<const forms::TextBox&>(c).readOnly();
  return c.kind() != Kind::Form && c.kind() != Kind::Frame && c.kind() != Kind::Label &&
         c.kind() != Kind::TabStrip;
}

}  // namespace

CommandRun::CommandRun(platform::Processes& processes, forms::Dialogs& dialogs, Window window)
    : dialogs_(dialogs), window_(window), objDOS(processes, dialogs) {
  objDOS.ReceiveOutputs = [this](std::string& chunk) { objDOS_ReceiveOutputs(chunk); };
  objDOS.Finished = [this](const DOSOutputs::Result& result) { objDOS_Finished(result); };
}

bool CommandRun::Run(const std::string& folder, std::string_view arguments,
                     std::function<void(const DOSOutputs::Result&)> finished, RunStep step) {
  if (running()) return false;
  finished_ = std::move(finished);
  step_ = std::move(step);
  collected_.clear();
  if (folder.empty()) {
    if (!step_.quiet) window_.output.setText("");
    // No folder, no last character to drop: the invalid-argument error.
    dialogs_.tell("this Invalid procedure call or argument - Vorlane - 5");
    return false;
  }
  std::string commandLine = LineOf(folder, arguments);
  objDOS.CommandLine(commandLine);
  // Too long a line would reach the tool cut short: it runs not at all, and
  // the last run's output stays.
  if (!CommandLineFits(dialogs_, commandLine)) return false;
  if (!step_.quiet) window_.output.setText("");
  Lock();
  active_ = true;
  if (!objDOS.ExecuteCommand()) {
    active_ = false;
    if (!held_) Unlock();
    window_.status.setText("");
    return false;
  }
  progress_ = {};
  started_ = std::chrono::steady_clock::now();
  ShowProgress();
  window_.form.setTimer(kStatusEveryMs);
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
  Lock();
}

void CommandRun::Release() {
  held_ = false;
  if (!running()) Unlock();
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
  window_.status.setText(RunningStatus(progress_, step_.label));
}

void CommandRun::objDOS_ReceiveOutputs(std::string& CommandOutputs) {
  progress_.lines += static_cast<std::uint64_t>(std::ranges::count(CommandOutputs, '\n'));
  if (step_.quiet) collected_ += CommandOutputs;
  else window_.output.append(CommandOutputs);
}

void CommandRun::objDOS_Finished(const DOSOutputs::Result& result) {
  window_.form.setTimer(0);
  TakeProgress();
  active_ = false;
  if (result.stopped) window_.status.setText(StoppedStatus(progress_));
  else if (result.exited) window_.status.setText(FinishedStatus(progress_, result.exitCode));
  else window_.status.setText(EndedStatus(progress_));
  if (!held_) Unlock();
  if (auto finished = std::exchange(finished_, nullptr)) finished(result);
}

// Nothing else starts while a command runs, by the user or by automation.
void CommandRun::Lock() {
  if (locked_) return;
  locked_ = true;
  for (const auto& c : window_.form.controls())
    if (TakesInput(*c) && c.get() != &window_.stop && c->enabled()) {
      c->setEnabled(false);
      disabled_.push_back(c.get());
    }
  startShown_ = window_.start.visible();
  window_.start.setVisible(false);
  window_.stop.setVisible(true);
  window_.form.focus(&window_.stop);
}

void CommandRun::Unlock() {
  if (!locked_) return;
  locked_ = false;
  window_.stop.setVisible(false);
  window_.start.setVisible(startShown_);
  for (forms::Control* c : disabled_) c->setEnabled(true);
  disabled_.clear();
  window_.form.focus(&window_.start);
}
