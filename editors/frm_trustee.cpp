#include "editors/frm_trustee.h"

#include <initializer_list>

#include "forms/dialogs.h"
#include "main/entry_count.h"
#include "main/frm_main.h"

FrmTrustee::FrmTrustee(App& app) : Form("frmTrustee", "Add Trustee", 4170, 2925), app_(app) {
  cboTrusteeAction.setItems({"Remove ACEs", "Replace 1 with 2", "Copy Perms"});
  cboWhere.setItems({"Dacl", "Sacl", "Both"});
  onLoad = [this] { Form_Load(); };
  cboTrusteeAction.onClick = [this] { cboTrusteeAction_Click(); };
  cmdSave.onClick = [this] { cmdSave_Click(); };
  cmdClose.onClick = [this] { hide(); };
}

void FrmTrustee::Form_Load() {
  cboTrusteeAction.setText("Remove ACEs");
  cboWhere.setText("Dacl");
}

void FrmTrustee::cboTrusteeAction_Click() {
  const std::string& action = cboTrusteeAction.text();
  if (action == "Remove ACEs") TrusteeActionCode = "remtrst";
  else if (action == "Replace 1 with 2") TrusteeActionCode = "repltrst";
  else TrusteeActionCode = "cpytrst";
  bool second = TrusteeActionCode != "remtrst";
  for (Control* c : std::initializer_list<Control*>{&lblName2, &txtName2, &chkName2})
    c->setVisible(second);
}

void FrmTrustee::cmdSave_Click() {
  bool second = TrusteeActionCode != "remtrst";
  if (txtName1.text().empty() || (second && txtName2.text().empty())) {
    app_.dialogs().tell("Please complete form", "Complete From");
    txtName1.setFocus();
    return;
  }
  std::string& list = app_.state.TrusteeList;
  list += " -trst \"n1:";
  list += txtName1.text();
  list += ';';
  if (chkName1.ticked()) list += "s1:y;";
  if (second) {
    list += "n2:";
    list += txtName2.text();
    list += ';';
    if (chkName2.ticked()) list += "s2:y;";
  }
  list += "ta:";
  list += TrusteeActionCode;
  list += ";w:";
  const std::string& where = cboWhere.text();
  list += where == "Dacl" ? "dacl\"" : where == "Sacl" ? "sacl\"" : "dacl,sacl\"";
  FrmMain& main = app_.frmMain();
  StepCount(main.cmdTrstNum, 1);
  main.BuildIt();
  hide();
}
