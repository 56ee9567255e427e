#pragma once
// What the program does as its main window loads: where SetACL.exe lives
// (asked on the first run), whether it is there, and the folders beside the
// program.

#include <string>

#include "forms/form.h"
#include "platform/services.h"

class StartUp {
 public:
  // `window` owns the folder browser the first run may show.
  StartUp(platform::Services& services, const forms::Form& window)
      : services_(services), window_(window) {}

  // The folder of SetACL.exe as the registry gives it back (its backslash
  // and a NUL at the end), asking for it first when none is stored.
  std::string Location();
  // Whether SetACL.exe is in the program folder, whatever the stored
  // location says; when it is not, the user is told the program ends.
  bool SetAclIsThere();
  // LogFiles and Backups beside the program.
  void MakeFolders();

 private:
  void AskForLocation();

  platform::Services& services_;
  const forms::Form& window_;
};
