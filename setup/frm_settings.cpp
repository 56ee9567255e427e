#include "setup/frm_settings.h"

#include "forms/dialogs.h"
#include "platform/error_text.h"
#include "platform/folder_browser.h"
#include "setup/location.h"

FrmSettings::FrmSettings(App& app) : Form("frmSettings", "Program Settings", 4920, 1305), app_(app) {
  setCloseUnloads(true);
  cmdBrowse.onClick = [this] { cmdBrowse_Click(); };
  cmdSave.onClick = [this] { cmdSave_Click(); };
}

void FrmSettings::cmdBrowse_Click() {
  txtLocation.setText(app_.browser().BrowseForFolder(this, "Select Folder"));
}

void FrmSettings::cmdSave_Click() {
  if (!app_.dialogs().confirm("Are you sure you want to save the new location?",
                              "Save New Location?", forms::Icon::Question))
    return;
  std::string folder = txtLocation.text() + "\\";
  long error = WriteLocation(app_.registry(), folder, false);
  app_.state.SetAclFolder = ReadLocation(app_.registry());
  // Only a write that reads back as written counts: without the rights to
  // HKEY_LOCAL_MACHINE the write is refused and the old value stays.
  if (!error && LocationFolder(app_.state.SetAclFolder) == folder) {
    app_.dialogs().tell("Successful");
    return;
  }
  std::string why = error ? platform::SystemErrorText(error)
                          : "The value read back is not the one written.";
  app_.dialogs().tell("The new location could not be saved in " + std::string(kLocationKeyName) +
                          ".\r\n" + why,
                      "Location Not Saved", forms::Icon::Critical);
}
