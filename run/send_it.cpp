// "Send It": the call string run by SetACL.exe from its folder, its output
// streamed into the output box.

#include <string_view>

#include "forms/dialogs.h"
#include "main/frm_main.h"
#include "run/command_line.h"
#include "run/dos_outputs.h"
#include "run/setacl_program.h"

namespace {

constexpr std::string_view kProgram = "SetACL.exe";

}  // namespace

void FrmMain::cmdSendIt_Click() {
  if (!app_.dialogs().confirm("Are you sure you want to run this command?", "Run Command?"))
    return;
  const std::string& folder = state_.SetAclFolder;
  if (folder.empty()) {
    txtOutputs.setText("");
    // No folder, no last character to drop: the invalid-argument error.
    app_.dialogs().tell("this Invalid procedure call or argument - Vorlane - 5");
    return;
  }
  // The folder ends in its backslash and a NUL; the call string, always
  // begun by BuildIt with the program's name, follows its path.
  std::string commandLine = SetAclProgram(folder.substr(0, folder.size() - 1)) +
                            txtCallString.text().substr(kProgram.size());
  // Too long a line would reach the tool cut short: it runs not at all, and
  // the last run's output stays.
  if (!CommandLineFits(app_.dialogs(), commandLine)) return;
  txtOutputs.setText("");
  objDOS->CommandLine(std::move(commandLine));
  objDOS->ExecuteCommand();
}

void FrmMain::objDOS_ReceiveOutputs(std::string& CommandOutputs) { txtOutputs.append(CommandOutputs); }

void FrmMain::txtOutputs_Change() { txtOutputs.setSelStart(txtOutputs.length()); }
