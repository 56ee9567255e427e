#include "backup/frm_backup.h"

#include "backup/mod_call_it.h"
#include "forms/dialogs.h"
#include "setacl/call_string.h"

FrmBackup::FrmBackup(platform::Services& services)
    : Form("frmBackup", "Backup", 2595, 4485), services_(services) {
  cboFormat.setItems(Captions(kListFormats));
  setCloseUnloads(true);
  onLoad = [this] { Form_Load(); };
  cboFormat.onClick = [this] { cboFormat_Click(); };
  cmdBackup.onClick = [this] { cmdBackup_Click(); };
  cmdCancel.onClick = [this] { hide(); };
}

void FrmBackup::Open(const Command& command, std::function<void()> started) {
  object_.object = command.object;
  object_.type = command.type;
  started_ = std::move(started);
  showModal();
}

void FrmBackup::Form_Load() { cboFormat.setListIndex(IndexOf(kListFormats, ListFormat::Sddl)); }

void FrmBackup::cboFormat_Click() {
  if (Picked(kListFormats, cboFormat.listIndex(), ListFormat::Tabular) != ListFormat::Sddl)
    services_.dialogs.tell("If the format is not in SDDL, then you cannot restore from this file",
                           "You won't be able to restore", forms::Icon::Critical);
}

void FrmBackup::cmdBackup_Click() {
  forms::Dialogs& dialogs = services_.dialogs;
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
  BuildBackup();
  bool started = CallIt(services_, BackupCmd, kShowNoActivate);
  hide();
  if (started && started_) started_();
}

// Nothing selected counts as the last format, as any other text would.
void FrmBackup::BuildBackup() {
  Listing listing{Picked(kListFormats, cboFormat.listIndex(), ListFormat::Tabular),
                  chkD.ticked(), chkS.ticked(), chkO.ticked(), chkG.ticked(),
                  chkListInherited.ticked(), chkSid.ticked()};
  BackupCmd = BackupCommand(services_.programFolder, object_, listing, txtFileName.text());
}
