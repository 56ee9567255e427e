#include "backup/restore.h"

#include "backup/mod_call_it.h"
#include "forms/dialogs.h"
#include "forms/form.h"
#include "setacl/call_string.h"

bool Restore::RestoreIt(forms::TextBox& fileBox, const Command& command) {
  const std::string name = fileBox.text();
  if (name.empty()) {
    services_.dialogs.tell("Please enter a file name");
    fileBox.setFocus();
    return false;
  }
  if (!services_.dialogs.confirm("Are you sure you want to restore file " + name,
                                 "Restore " + name + "?", forms::Icon::Critical))
    return false;
  std::string line = RestoreCommand(services_.programFolder, command, name);
  return CallIt(services_, line, kShowNoActivate);
}
