#pragma once
// The trustee editor: one trustee action (remove, replace or copy an
// account's ACEs) per save, handed back to the window that opened it.

#include <functional>

#include "forms/dialogs.h"
#include "forms/form.h"
#include "setacl/command.h"

class FrmTrustee : public forms::Form {
 public:
  explicit FrmTrustee(forms::Dialogs& dialogs);

  // Shows the editor; each action saved is handed to `saved`.
  void Ask(std::function<void(TrusteeEntry)> saved);

 private:
  using Frame = forms::Frame;
  using Label = forms::Label;
  using TextBox = forms::TextBox;
  using ComboBox = forms::ComboBox;
  using CheckBox = forms::CheckBox;
  using Button = forms::CommandButton;

  forms::Dialogs& dialogs_;
  std::function<void(TrusteeEntry)> saved_;
  // The chosen action.
  TrusteeAction action_ = TrusteeAction::Remove;

 public:
  Frame& fraTrusteeAction =
      add<Frame>(nullptr, "fraTrusteeAction", {1080, 0, 2055, 735}, "Trustee &Action");
  ComboBox& cboTrusteeAction = add<ComboBox>(&fraTrusteeAction, "cboTrusteeAction",
      {120, 240, 1815, 315}, "", "Pick the type of action that is going to be preformed.");
  Label& lblName1 = add<Label>(nullptr, "lblName1", {120, 840, 855, 255}, "Name &One");
  TextBox& txtName1 =
      add<TextBox>(nullptr, "txtName1", {1080, 840, 2175, 285}, "", "Name of first User.");
  CheckBox& chkName1 = add<CheckBox>(nullptr, "chkName1", {3360, 840, 855, 255}, "SID?",
      "Is the first username a SID?");
  Label& lblName2 = add<Label>(nullptr, "lblName2", {120, 1200, 855, 255}, "Name &Two");
  TextBox& txtName2 =
      add<TextBox>(nullptr, "txtName2", {1080, 1200, 2175, 285}, "", "Name of second user.");
  CheckBox& chkName2 = add<CheckBox>(nullptr, "chkName2", {3360, 1200, 855, 255}, "SID?",
      "Is the second username a SID?");
  Frame& fraWhere = add<Frame>(nullptr, "fraWhere", {1080, 1560, 2055, 735}, "&Where");
  ComboBox& cboWhere = add<ComboBox>(&fraWhere, "cboWhere", {120, 240, 1815, 315}, "",
      "Where would you like this action to take place?");
  Button& cmdSave =
      add<Button>(nullptr, "cmdSave", {960, 2400, 975, 375}, "Save", "Save this to the Call String.");
  Button& cmdClose =
      add<Button>(nullptr, "cmdClose", {2280, 2400, 975, 375}, "Close", "You are such a tease.");

 private:
  void Form_Load();
  void cboTrusteeAction_Click();
  void cmdSave_Click();
};
