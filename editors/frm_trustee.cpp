#include "editors/frm_trustee.h"

#include <initializer_list>

FrmTrustee::FrmTrustee(forms::Dialogs& dialogs)
    : Form("frmTrustee", "Add Trustee", 4170, 2925), dialogs_(dialogs) {
  cboTrusteeAction.setItems(Captions(kTrusteeActions));
  cboWhere.setItems(Captions(kAclLists));
  onLoad = [this] { Form_Load(); };
  cboTrusteeAction.onClick = [this] { cboTrusteeAction_Click(); };
  cmdSave.onClick = [this] { cmdSave_Click(); };
  cmdClose.onClick = [this] { hide(); };
}

void FrmTrustee::Ask(std::function<void(TrusteeEntry)> saved) {
  saved_ = std::move(saved);
  showModal();
}

void FrmTrustee::Form_Load() {
  cboTrusteeAction.setListIndex(IndexOf(kTrusteeActions, TrusteeAction::Remove));
  cboWhere.setListIndex(IndexOf(kAclLists, AclLists::Dacl));
}

// Nothing selected counts as the last action, as any other text would.
void FrmTrustee::cboTrusteeAction_Click() {
  action_ = Picked(kTrusteeActions, cboTrusteeAction.listIndex(), TrusteeAction::Copy);
  bool second = action_ != TrusteeAction::Remove;
  for (Control* c : std::initializer_list<Control*>{&lblName2, &txtName2, &chkName2})
    c->setVisible(second);
}

void FrmTrustee::cmdSave_Click() {
  bool second = action_ != TrusteeAction::Remove;
  if (txtName1.text().empty() || (second && txtName2.text().empty())) {
    dialogs_.tell("Please complete form", "Complete From");
    txtName1.setFocus();
    return;
  }
  TrusteeEntry entry{action_,
                     {txtName1.text(), chkName1.ticked()},
                     {txtName2.text(), chkName2.ticked()},
                     Picked(kAclLists, cboWhere.listIndex(), AclLists::Both)};
  hide();
  if (saved_) saved_(std::move(entry));
}
