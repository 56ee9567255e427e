#pragma once
// The backup window: an object's security written to a file in the backup
// folder by SetACL.exe, in a console window of its own.

#include <functional>
#include <string>

#include "forms/form.h"
#include "setacl/command.h"
#include "platform/services.h"

class FrmBackup : public forms::Form {
 public:
  explicit FrmBackup(platform::Services& services);

  // Shows the window for the command's object; `started` hears of each
  // backup command that started.
  void Open(const Command& command, std::function<void()> started);

 private:
  using Frame = forms::Frame;
  using CheckBox = forms::CheckBox;
  using Button = forms::CommandButton;

  platform::Services& services_;
  Command object_;  // the object and its type
  std::function<void()> started_;
  // The command the last confirmed backup started.
  std::string BackupCmd;

 public:
  Frame& fraFormat = add<Frame>(nullptr, "fraFormat", {360, 120, 1335, 735}, "&Format");
  forms::ComboBox& cboFormat = add<forms::ComboBox>(&fraFormat, "cboFormat",
      {120, 240, 1095, 315}, "", "Set the format of the file.");
  Frame& fraWhat = add<Frame>(nullptr, "fraWhat", {360, 960, 1575, 1335}, "What Security",
      "What security to include in the file.");
  CheckBox& chkD = add<CheckBox>(&fraWhat, "chkD", {120, 240, 975, 255}, "Dacl");
  CheckBox& chkG = add<CheckBox>(&fraWhat, "chkG", {120, 960, 1335, 255}, "Primary Group");
  CheckBox& chkO = add<CheckBox>(&fraWhat, "chkO", {120, 720, 1215, 255}, "Owner");
  CheckBox& chkS = add<CheckBox>(&fraWhat, "chkS", {120, 480, 855, 255}, "Sacl");
  CheckBox& chkListInherited = add<CheckBox>(nullptr, "chkListInherited",
      {360, 2400, 2175, 255}, "List Inherited Permissions");
  CheckBox& chkSid = add<CheckBox>(nullptr, "chkSid", {360, 2640, 2175, 255},
      "Display Names as SIDs", "Show usernames as SIDs.");
  Button& cmdBackup = add<Button>(nullptr, "cmdBackup", {120, 3840, 975, 375}, "Backup",
      "Execute the backup command.");
  Button& cmdCancel = add<Button>(nullptr, "cmdCancel", {1440, 3840, 975, 375}, "Cancel",
      "I'm so indecisive.");
  Frame& fraFileName = add<Frame>(nullptr, "fraFileName", {240, 3000, 1935, 615}, "File &Name");
  forms::TextBox& txtFileName = add<forms::TextBox>(&fraFileName, "txtFileName",
      {120, 240, 1695, 285}, "",
      "Enter what you want the Backup File name to be.  Don't specify a path, just a filename.");

 private:
  void Form_Load();
  void cboFormat_Click();
  void cmdBackup_Click();
  void BuildBackup();
};
