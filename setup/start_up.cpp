// The main window's loading: where SetACL.exe lives, whether it is there,
// the starting values and the folders beside the program.

#include "forms/dialogs.h"
#include "main/frm_main.h"
#include "platform/error_text.h"
#include "platform/files.h"
#include "platform/folder_browser.h"
#include "run/dos_outputs.h"
#include "setup/location.h"
#include "setup/mod_folder.h"

void FrmMain::Form_Load() {
  objDOS = std::make_unique<DOSOutputs>(app_.processes(), app_.dialogs());
  objDOS->ReceiveOutputs = [this](std::string& chunk) { objDOS_ReceiveOutputs(chunk); };
  state_.SetAclFolder.clear();
  if (LocationFolder(ReadLocation(app_.registry())).empty()) AskForLocation();
  state_.SetAclFolder = ReadLocation(app_.registry());
  cmdBrowse.setVisible(false);

  const std::string& folder = app_.programFolder();
  if (!app_.files().FileExists(folder + "\\SetACL.exe")) {
    app_.dialogs().tell("You must copy and paste SetACL.exe into folder " + folder +
                            "\\\r\nI could not include it for legal reasons...sorry",
                        "Program will now end", forms::Icon::Critical);
    app_.End();
    return;
  }
  SelectStartingValues();
  MakeFolderPath(app_.files(), app_.dialogs(), folder + "\\LogFiles");
  MakeFolderPath(app_.files(), app_.dialogs(), app_.backupFolder());
}

void FrmMain::AskForLocation() {
  bool included = app_.dialogs().confirm(
      "This package includes SetAcl version 2.0.0.6.\r\nWould you like to use this version?",
      "Use Version 2.0.0.6?", forms::Icon::Critical);
  std::string folder = included ? app_.programFolder()
                                : app_.browser().BrowseForFolder(this, "Select Folder");
  // A refused write would bring this question back at every start, and
  // "Send It" would fail without saying why: say it now, once.
  if (long error = WriteLocation(app_.registry(), folder + "\\", true))
    app_.dialogs().tell("The location of SetACL.exe could not be saved in " +
                            std::string(kLocationKeyName) + ".\r\n" +
                            platform::SystemErrorText(error),
                        "Setting Not Saved", forms::Icon::Critical);
}
