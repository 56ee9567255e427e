#pragma once
// The main window's restore: a backup file of the backup folder applied to
// an object by SetACL.exe, in a console window of its own.

#include "forms/controls.h"
#include "setacl/command.h"
#include "platform/services.h"

class Restore {
 public:
  explicit Restore(platform::Services& services) : services_(services) {}
  // Restores the file the box names onto the command's object, after asking;
  // an empty box is told and gets the focus. True when the command started.
  bool RestoreIt(forms::TextBox& fileBox, const Command& command);

 private:
  platform::Services& services_;
};
