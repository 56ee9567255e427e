#include "setup/start_up.h"

#include "forms/dialogs.h"
#include "setacl/call_string.h"
#include "platform/error_text.h"
#include "platform/files.h"
#include "platform/folder_browser.h"
#include "setup/location.h"
#include "setup/mdl_registry.h"
#include "setup/mod_folder.h"

std::string StartUp::Location() {
  if (ValueText(ReadLocation(services_.registry)).empty()) AskForLocation();
  return ReadLocation(services_.registry);
}

void StartUp::AskForLocation() {
  bool included = services_.dialogs.confirm(
      "This package includes SetAcl version 2.0.0.6.\r\nWould you like to use this version?",
      "Use Version 2.0.0.6?", forms::Icon::Critical);
  std::string folder = included ? services_.programFolder
                                : services_.browser.BrowseForFolder(&window_, "Select Folder");
  // A refused write would bring this question back at every start, and
  // "Send It" would fail without saying why: say it now, once.
  if (long error = WriteLocation(services_.registry, folder + "\\", true))
    services_.dialogs.tell("The location of SetACL.exe could not be saved in " +
                               std::string(kLocationKeyName) + ".\r\n" +
                               platform::SystemErrorText(error),
                           "Setting Not Saved", forms::Icon::Critical);
}

bool StartUp::SetAclIsThere() {
  const std::string& folder = services_.programFolder;
  if (services_.files.FileExists(folder + "\\SetACL.exe")) return true;
  services_.dialogs.tell("You must copy and paste SetACL.exe into folder " + folder +
                             "\\\r\nI could not include it for legal reasons...sorry",
                         "Program will now end", forms::Icon::Critical);
  return false;
}

void StartUp::MakeFolders() {
  MakeFolderPath(services_.files, services_.dialogs, LogFolder(services_.programFolder));
  MakeFolderPath(services_.files, services_.dialogs, BackupFolder(services_.programFolder));
}
