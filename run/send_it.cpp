// "Send It": the call string run by SetACL.exe from its folder, its output
// streamed into the output box.

#include <string_view>

#include "forms/dialogs.h"
#include "main/frm_main.h"
#include "run/dos_outputs.h"
#include "run/setacl_program.h"

namespace {

constexpr std::string_view kProgram = "SetACL.exe";

}  // namespace

void FrmMain::cmdSendIt_Click() {
  if (!app_.dialogs().confirm("Are you sure you want to run this command?", "Run Command?"))
    return;
  txtOutputs.setText("");
  const std::string& folder = state_.SetAclFolder;
  if (folder.empty()) {
    // No folder, no last character to drop: the invalid-argument error.
    app_.dialogs().tell("this Invalid procedure call or argument - Vorlane - 5");
    return;
  }
  // The folder ends in its backslash and a NUL; the call string, always
  // begun by BuildIt with the program's name, follows its path.
  objDOS->CommandLine(SetAclProgram(folder.substr(0, folder.size() - 1)) +
                      txtCallString.text().substr(kProgram.size()));
  objDOS->ExecuteCommand();
}

void FrmMain::objDOS_ReceiveOutputs(std::string& CommandOutputs) { txtOutputs.append(CommandOutputs); }

void FrmMain::txtOutputs_Change() { txtOutputs.setSelStart(txtOutputs.length()); }
