#include "backup/frm_backup.h"

#include <utility>

#include "backup/mod_call_it.h"
#include "backup/setacl_command.h"
#include "forms/dialogs.h"
#include "main/frm_main.h"

FrmBackup::FrmBackup(App& app) : Form("frmBackup", "Backup", 2595, 4485), app_(app) {
  cboFormat.setItems({"SDDL", "CSV", "Tabular"});
  setCloseUnloads(true);
  onLoad = [this] { Form_Load(); };
  cboFormat.onClick = [this] { cboFormat_Click(); };
  cmdBackup.onClick = [this] { cmdBackup_Click(); };
  cmdCancel.onClick = [this] { hide(); };
}

void FrmBackup::Form_Load() { cboFormat.setText("SDDL"); }

void FrmBackup::cboFormat_Click() {
  if (cboFormat.text() != "SDDL")
    app_.dialogs().tell("If the format is not in SDDL, then you cannot restore from this file",
                        "You won't be able to restore", forms::Icon::Critical);
}

void FrmBackup::cmdBackup_Click() {
  forms::Dialogs& dialogs = app_.dialogs();
  if (txtFileName.text().empty()) {
    dialogs.tell("Enter a File Name");
    focus(&txtFileName);
    return;
  }
  if (!chkD.ticked() && !chkS.ticked() && !chkO.ticked() && !chkG.ticked()) {
    dialogs.tell("You must choose some security type");
    focus(&chkD);
    return;
  }
  if (!dialogs.confirm("Are you sure you want to backup to file " + txtFileName.text(), {},
                       forms::Icon::Critical))
    return;
  app_.frmMain().BuildItChecks();
  BuildBackup();
  int style = kShowNoActivate;
  CallIt(app_, BackupCmd, style);
  hide();
}

void FrmBackup::BuildBackup() {
  BackupCmd = ObjectCommand(app_);
  BackupCmd += " -actn list -lst \"f:";
  const std::string& format = cboFormat.text();
  BackupCmd += format == "SDDL" ? "sddl;w:" : format == "CSV" ? "csv;w:" : "tab;w:";
  // The parts always in the order d, s, o, g, comma-separated.
  bool first = true;
  for (auto [box, letter] : {std::pair{&chkD, 'd'}, {&chkS, 's'}, {&chkO, 'o'}, {&chkG, 'g'}}) {
    if (!box->ticked()) continue;
    if (!first) BackupCmd += ',';
    BackupCmd += letter;
    first = false;
  }
  if (chkListInherited.ticked()) BackupCmd += ";i:y";
  if (chkSid.ticked()) BackupCmd += ";s:y";
  BackupCmd += "\"";
  BackupCmd += BackupFileOption(app_, txtFileName.text());
}
