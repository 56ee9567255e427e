#include "editors/frm_change.h"

#include "forms/dialogs.h"
#include "main/entry_count.h"
#include "main/frm_main.h"

FrmChange::FrmChange(App& app) : Form("FrmChange", "", 4740, 3420), app_(app) {
  txtChange.setMultiLine(true);
  setCloseUnloads(true);
  onActivate = [this] { Form_Activate(); };
  cmdSave.onClick = [this] { cmdSave_Click(); };
  cmdClear.onClick = [this] { cmdClear_Click(); };
  cmdClose.onClick = [this] { hide(); };
  cmdCount.onClick([this](int index) { cmdCount_Click(index); });
}

std::string& FrmChange::list() {
  CommandState& state = app_.state;
  if (state.EditListKind == "Ace") return state.AceList;
  if (state.EditListKind == "Trustee") return state.TrusteeList;
  return state.FilterList;
}

forms::Control& FrmChange::countButton() {
  FrmMain& main = app_.frmMain();
  if (app_.state.EditListKind == "Ace") return main.cmdAceNum;
  if (app_.state.EditListKind == "Trustee") return main.cmdTrstNum;
  return main.cmdFilterNum;
}

void FrmChange::Form_Activate() {
  setText(app_.state.EditListKind + " Change");
  // The box has no label on screen: it is named after the list it edits.
  txtChange.setAccessibleName(app_.state.EditListKind + " list");
  LoadChangeText();
}

void FrmChange::LoadChangeText() { txtChange.setText(list()); }

void FrmChange::cmdSave_Click() {
  if (!app_.dialogs().confirm("Are you sure you want to save", "Save Changes?")) return;
  list() = txtChange.text();
  app_.frmMain().BuildIt();
  hide();
}

void FrmChange::cmdClear_Click() {
  if (!app_.dialogs().confirm("Are you sure you want to clear these options?", "Clear Options?"))
    return;
  list().clear();
  countButton().setText("0");
  app_.frmMain().BuildIt();
  hide();
}

void FrmChange::cmdCount_Click(int Index) {
  forms::Control& count = countButton();
  if (Index == 0) StepCount(count, 1);
  else if (LeadingNumber(count.text()) > 0) StepCount(count, -1);
}
