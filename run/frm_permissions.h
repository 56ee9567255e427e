#pragma once
// "Current Permissions": an object's security as SetACL.exe listed it, as a
// table in words with what deserves a warning, or, when the listing failed,
// the tool's message and exit code.

#include <string>

#include "forms/form.h"
#include "platform/services.h"
#include "runner/command_run.h"
#include "setacl/permission_table.h"

class FrmPermissions : public forms::Form {
 public:
  explicit FrmPermissions(platform::Services& services);

  // Shows what the listing of an object of this type says: the tool's
  // output and how its run ended.
  void ShowListing(const std::string& object, ObjectType type, const RunResult& listing);

 private:
  using Label = forms::Label;
  using Button = forms::CommandButton;

  platform::Services& services_;
  PermissionTable table_;

 public:
  Label& lblObject = add<Label>(nullptr, "lblObject", {120, 120, 11760, 255});
  Label& lblOwner = add<Label>(nullptr, "lblOwner", {120, 420, 11760, 255});
  Label& lblGroup = add<Label>(nullptr, "lblGroup", {120, 720, 11760, 255});
  Label& lblInheritance = add<Label>(nullptr, "lblInheritance", {120, 1020, 11760, 255});
  Label& lblEntries = add<Label>(nullptr, "lblEntries", {120, 1380, 2415, 255}, "&Entries");
  forms::ListView& lvwEntries = add<forms::ListView>(nullptr, "lvwEntries", {120, 1620, 11760, 2880});
  Label& lblNotes = add<Label>(nullptr, "lblNotes", {120, 4620, 2415, 255}, "&Notes");
  forms::TextBox& txtNotes = add<forms::TextBox>(nullptr, "txtNotes", {120, 4860, 11760, 1080});
  Button& cmdCopy = add<Button>(nullptr, "cmdCopy", {120, 6060, 1455, 375}, "&Copy Table",
      "Copies the table as tab-separated text.");
  Button& cmdClose = add<Button>(nullptr, "cmdClose", {10665, 6060, 1215, 375}, "Close");

 private:
  void cmdCopy_Click();
  void ShowTable(const std::string& object, PermissionTable table);
  // Why there is no table, and no table at all, so none passes for an empty one.
  void ShowFailure(const std::string& object, const std::string& why);
  void Show(const std::string& object, bool listed, const std::string& notes);
};
