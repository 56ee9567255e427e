// The main window's restore group: a backup file from the backup folder,
// typed or picked, applied by SetACL.exe in a console window of its own.

#include "backup/frm_browse.h"
#include "backup/mod_call_it.h"
#include "backup/setacl_command.h"
#include "forms/dialogs.h"
#include "main/frm_main.h"

void FrmMain::cmdRestore_Click() { RestoreIt(); }

void FrmMain::txtRestore_KeyPress(int KeyAscii) {
  if (KeyAscii == 13 && !txtRestore.text().empty()) RestoreIt();
}

void FrmMain::cmdRestoreBrowse_Click() {
  state_.BrowsePurpose = "Restore";
  app_.frmBrowse().showModal();
}

void FrmMain::RestoreIt() {
  const std::string name = txtRestore.text();
  if (name.empty()) {
    app_.dialogs().tell("Please enter a file name");
    focus(&txtRestore);
    return;
  }
  if (!app_.dialogs().confirm("Are you sure you want to restore file " + name,
                              "Restore " + name + "?", forms::Icon::Critical))
    return;
  BuildItChecks();
  std::string command = ObjectCommand(app_);
  command += " -actn restore";
  command += BackupFileOption(app_, name);
  int style = kShowNoActivate;
  CallIt(app_, command, style);
}
