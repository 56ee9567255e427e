// The ACE editor's fold-away panel of fine-grained permissions.

#include "editors/frm_ace.h"

void FrmAce::cmdAdvanced_Click() {
  if (fraAdvanced.visible()) return CloseAdvanced();
  fraAdvanced.setVisible(true);
  setWindowHeight(kOpenHeight);
  dialogs_.tell(
      "If you make changes to the advanced options, you must \r\n"
      "leave the advanced options open for the changes to take place",
      "Leave Options Open For Changes", forms::Icon::Information);
}

void FrmAce::CloseAdvanced() {
  fraAdvanced.setVisible(false);
  setWindowHeight(kClosedHeight);
}

void FrmAce::cndAdvClear_Click() {
  if (!dialogs_.confirm("Are you sure you want to clear the Advanced Permissions?",
                              "Clear Advanced Permissions?", forms::Icon::Question))
    return;
  // Both sub-panels, the hidden one too.
  for (const Tokens* tokens : {&filesDirsAdvanced_, &registryAdvanced_})
    for (const Token& t : *tokens) t.box->setValue(0);
}
