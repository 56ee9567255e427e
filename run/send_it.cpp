// "Send It": the call string run by SetACL.exe from its folder, its output
// streamed into the output box, its progress and end in the status line.

#include <algorithm>
#include <string_view>

#include "forms/dialogs.h"
#include "main/frm_main.h"
#include "run/command_line.h"
#include "run/dos_outputs.h"
#include "run/setacl_program.h"

namespace {

constexpr std::string_view kProgram = "SetACL.exe";
constexpr int kStatusEveryMs = 250;

// What a user or automation could change or start with; read-only boxes stay
// readable.
bool TakesInput(const forms::Control& c) {
  using forms::Kind;
  if (c.kind() == Kind::TextBox) return !static_cast<const forms::TextBox&>(c).readOnly();
  return c.kind() != Kind::Form && c.kind() != Kind::Frame && c.kind() != Kind::Label;
}

}  // namespace

void FrmMain::cmdSendIt_Click() {
  if (!app_.dialogs().confirm("Are you sure you want to run this command?", "Run Command?"))
    return;
  // The call string, always begun by BuildIt with the program's name, after
  // the program's path.
  Run(std::string_view(txtCallString.text()).substr(kProgram.size()));
}

// What the object's security is now: a listing, which changes nothing, so
// nothing is asked.
void FrmMain::cmdCurrent_Click() {
  BuildItChecks();
  Run(" -on \"" + BeforeClosingQuote(txtObjName.text()) + "\" -ot " + state_.ObjTypeCode +
      " -actn list -lst \"f:tab;w:d,s,o,g\"");
}

void FrmMain::Run(std::string_view arguments) {
  const std::string& folder = state_.SetAclFolder;
  if (folder.empty()) {
    txtOutputs.setText("");
    // No folder, no last character to drop: the invalid-argument error.
    app_.dialogs().tell("this Invalid procedure call or argument - Vorlane - 5");
    return;
  }
  // The folder ends in its backslash and a NUL.
  std::string commandLine = SetAclProgram(folder.substr(0, folder.size() - 1));
  commandLine += arguments;
  // Too long a line would reach the tool cut short: it runs not at all, and
  // the last run's output stays.
  if (!CommandLineFits(app_.dialogs(), commandLine)) return;
  txtOutputs.setText("");
  objDOS->CommandLine(std::move(commandLine));
  RunCommand();
}

void FrmMain::RunCommand() {
  // Nothing else starts while a command runs, by the user or by automation.
  std::vector<forms::Control*> locked;
  for (const auto& c : controls())
    if (TakesInput(*c) && c.get() != &cmdStop && c->enabled()) {
      c->setEnabled(false);
      locked.push_back(c.get());
    }
  const bool sendItShown = cmdSendIt.visible();
  cmdSendIt.setVisible(false);
  cmdStop.setVisible(true);
  focus(&cmdStop);
  progress_ = {};
  runStart_ = std::chrono::steady_clock::now();
  ShowRunStatus();
  setTimer(kStatusEveryMs);

  DOSOutputs::Result result = objDOS->ExecuteCommand();

  setTimer(0);
  TakeProgress();
  if (!result.started) ShowStatus("");
  else if (result.stopped) ShowStatus(StoppedStatus(progress_));
  else if (result.exited) ShowStatus(FinishedStatus(progress_, result.exitCode));
  else ShowStatus(EndedStatus(progress_));
  cmdStop.setVisible(false);
  cmdSendIt.setVisible(sendItShown);
  for (forms::Control* c : locked) c->setEnabled(true);
  focus(&cmdSendIt);
}

void FrmMain::TakeProgress() {
  progress_.bytes = objDOS->BytesRead();
  progress_.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - runStart_).count();
}

void FrmMain::ShowRunStatus() {
  TakeProgress();
  ShowStatus(RunningStatus(progress_));
}

bool FrmMain::ConfirmStop() {
  return app_.dialogs().confirm("Stop the running command?", "Stop Command?");
}

void FrmMain::cmdStop_Click() {
  if (objDOS->running() && ConfirmStop()) objDOS->Stop();
}

// The close box during a run ends the command first, if the user agrees.
bool FrmMain::Form_QueryUnload() {
  if (!objDOS || !objDOS->running()) return false;
  if (!ConfirmStop()) return true;
  objDOS->Stop();
  return false;
}

void FrmMain::objDOS_ReceiveOutputs(std::string& CommandOutputs) {
  progress_.lines += static_cast<std::uint64_t>(std::ranges::count(CommandOutputs, '\n'));
  txtOutputs.append(CommandOutputs);
}

void FrmMain::txtOutputs_Change() { txtOutputs.setSelStart(txtOutputs.length()); }
