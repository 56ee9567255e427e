#include "setup/frm_settings.h"

#include "forms/dialogs.h"
#include "platform/error_text.h"
#include "platform/folder_browser.h"
#include "setacl/arguments.h"
#include "setup/location.h"
#include "setup/mdl_registry.h"
#include "setup/snapshot_settings.h"

FrmSettings::FrmSettings(platform::Services& services)
    : Form("frmSettings", "Program Settings", 4920, 3135), services_(services) {
  setCloseUnloads(true);
  cmdBrowse.onClick = [this] { cmdBrowse_Click(); };
  cmdSave.onClick = [this] { cmdSave_Click(); };
  SnapshotSettings settings = ReadSnapshotSettings(services_.registry);
  chkSnapshots.setValue(settings.on ? 1 : 0);
  txtKeepRuns.setText(std::to_string(settings.keepRuns));
  txtKeepMegabytes.setText(std::to_string(settings.keepMegabytes));
  chkSnapshots.onUserClick = [this] { SaveSnapshotSettings(); };
  txtKeepRuns.onChange = [this] { SaveSnapshotSettings(); };
  txtKeepMegabytes.onChange = [this] { SaveSnapshotSettings(); };
}

void FrmSettings::Open(std::function<void(std::string location)> saved) {
  saved_ = std::move(saved);
  showModal();
}

// Each change is saved as made; a number that is none is said so and not saved.
void FrmSettings::SaveSnapshotSettings() {
  SnapshotSettings settings{chkSnapshots.ticked(),
                            static_cast<std::size_t>(WholeNumber(txtKeepRuns.text()).value_or(0)),
                            WholeNumber(txtKeepMegabytes.text()).value_or(0)};
  if (settings.keepRuns == 0 || settings.keepMegabytes == 0)
    return lblSnapshotNote.setText("Not saved: runs and MB are whole numbers above 0.");
  long error = WriteSnapshotSettings(services_.registry, settings);
  lblSnapshotNote.setText(error ? "Not saved: " + platform::SystemErrorText(error) : "Saved.");
}

void FrmSettings::cmdBrowse_Click() {
  txtLocation.setText(services_.browser.BrowseForFolder(this, "Select Folder"));
}

void FrmSettings::cmdSave_Click() {
  forms::Dialogs& dialogs = services_.dialogs;
  if (!dialogs.confirm("Are you sure you want to save the new location?", "Save New Location?",
                       forms::Icon::Question))
    return;
  std::string folder = txtLocation.text() + "\\";
  long error = WriteLocation(services_.registry, folder, false);
  std::string location = ReadLocation(services_.registry);
  if (saved_) saved_(location);
  // Only a write that reads back as written counts: without the rights to
  // HKEY_LOCAL_MACHINE the write is refused and the old value stays.
  if (!error && ValueText(location) == folder) {
    dialogs.tell("Successful");
    return;
  }
  std::string why = error ? platform::SystemErrorText(error)
                          : "The value read back is not the one written.";
  dialogs.tell("The new location could not be saved in " + std::string(kLocationKeyName) +
                   ".\r\n" + why,
               "Location Not Saved", forms::Icon::Critical);
}
