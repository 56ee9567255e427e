#include "setup/frm_settings.h"

#include "forms/dialogs.h"
#include "platform/error_text.h"
#include "platform/folder_browser.h"
#include "setup/location.h"

FrmSettings::FrmSettings(platform::Services& services)
    : Form("frmSettings", "Program Settings", 4920, 1305), services_(services) {
  setCloseUnloads(true);
  cmdBrowse.onClick = [this] { cmdBrowse_Click(); };
  cmdSave.onClick = [this] { cmdSave_Click(); };
}

void FrmSettings::Open(std::function<void(std::string location)> saved) {
  saved_ = std::move(saved);
  showModal();
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
  if (!error && LocationFolder(location) == folder) {
    dialogs.tell("Successful");
    return;
  }
  std::string why = error ? platform::SystemErrorText(error)
                          : "The value read back is not the one written.";
  dialogs.tell("The new location could not be saved in " + std::string(kLocationKeyName) +
                   ".\r\n" + why,
               "Location Not Saved", forms::Icon::Critical);
}
