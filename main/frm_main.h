#pragma once
// The main window: object name and type, the option controls, the entry
// counts, and the call string, composed from the command the window and its
// editors build up and shown after every change.

#include <string>

#include "forms/control_array.h"
#include "forms/form.h"
#include "forms/single_instance.h"
#include "setacl/command.h"
#include "platform/services.h"
#include "runner/runner.h"

class FrmAce;
class FrmBackup;
class FrmBrowse;
class FrmChange;
class FrmChanges;
class FrmPermissions;
class FrmRuns;
class FrmSettings;
class FrmTreeReport;
class FrmTrustee;

class FrmMain : public forms::Form {
 public:
  explicit FrmMain(platform::Services& services);
  ~FrmMain() override;

  // Composes the call string and "What It Does" from the command, and the
  // entry counts from its lists.
  void BuildIt();
  const Command& command() const { return command_; }

  // The windows this one opens, each made once.
  FrmAce& aceEditor();
  FrmTrustee& trusteeEditor();
  FrmChange& listEditor();
  FrmBackup& backupWindow();
  FrmBrowse& backupChooser();
  FrmSettings& settingsWindow();
  FrmPermissions& permissionsWindow();
  FrmChanges& changesWindow();
  FrmRuns& runsWindow();
  FrmTreeReport& treeReportWindow();
  // The running of its commands, with their snapshots, history and undo.
  Runner& runner() { return runner_; }

 private:
  using Frame = forms::Frame;
  using Label = forms::Label;
  using TextBox = forms::TextBox;
  using ComboBox = forms::ComboBox;
  using CheckBox = forms::CheckBox;
  using OptionButton = forms::OptionButton;
  using Button = forms::CommandButton;

  platform::Services& services_;
  Command command_;
  // The folder of SetACL.exe as read back from the registry: path, backslash, NUL.
  std::string setAclFolder_;

 public:
  forms::ControlArray<Button> cmdClear;

  Frame& FraRequired = add<Frame>(nullptr, "FraRequired", {120, 120, 4815, 2295}, "Required Info");
  Frame& FraObjName = add<Frame>(&FraRequired, "FraObjName", {120, 240, 4575, 1095}, "O&bject Name");
  TextBox& txtObjName = add<TextBox>(&FraObjName, "txtObjName", {120, 240, 4335, 285}, "",
      "This is the path to the object you want to change permissions on.");
  Button& cmdBrowse = add<Button>(&FraObjName, "cmdBrowse", {120, 600, 975, 375}, "Browse",
      "This allows you to browse to the specified folder.");
  // Shown with Send It: runs a listing of the object's security, changing nothing.
  Button& cmdCurrent = add<Button>(&FraObjName, "cmdCurrent", {1200, 600, 1815, 375},
      "Current Permissions", "This shows the object's permissions as they are now.");
  // Shown with it for a folder or key: where the tree below departs from what each parent gives.
  Button& cmdTreeReport = add<Button>(&FraObjName, "cmdTreeReport", {3120, 600, 1335, 375},
      "Tree Re&port", "This reports where the tree below the object departs from what each parent gives.");
  Frame& FraObjType = add<Frame>(&FraRequired, "FraObjType", {120, 1440, 4575, 735}, "Ob&ject Type");
  ComboBox& CboObjType = add<ComboBox>(&FraObjType, "CboObjType", {120, 240, 2295, 315}, "",
      "This changes the object type permissions.");

  Frame& fraBackupRestore =
      add<Frame>(nullptr, "fraBackupRestore", {5040, 240, 3015, 2175}, "Backup/Restore");
  Button& cmdBackup = add<Button>(&fraBackupRestore, "cmdBackup", {120, 360, 975, 375}, "Backup",
      "This opens the backup window.");
  Frame& fraRestore = add<Frame>(&fraBackupRestore, "fraRestore", {1200, 240, 1695, 1815}, "Restore");
  Frame& fraFileName = add<Frame>(&fraRestore, "fraFileName", {120, 240, 1455, 615}, "File Na&me");
  TextBox& txtRestore = add<TextBox>(&fraFileName, "txtRestore", {120, 240, 1215, 285}, "",
      "This is the file you want to restore permissions from.");
  Button& cmdRestore = add<Button>(&fraRestore, "cmdRestore", {360, 960, 975, 375}, "Restore",
      "Enter a file name and then hit this to restore permissions.");
  Button& cmdRestoreBrowse = add<Button>(&fraRestore, "cmdRestoreBrowse", {360, 1380, 975, 375},
      "Browse", "Browse for a restore file.");

  Frame& fraOptions = add<Frame>(nullptr, "fraOptions", {120, 2520, 7935, 3855}, "Options");
  Frame& FraAction = add<Frame>(&fraOptions, "FraAction", {120, 240, 7695, 2535}, "Actions");
  Button& cmdAce = add<Button>(&FraAction, "cmdAce", {120, 240, 975, 375}, "&ACEs", "Add ACEs.");
  Button& cmdAceNum = add<Button>(&FraAction, "cmdAceNum", {120, 660, 975, 375}, "0",
      "This allows you to edit ACEs that have been added.");
  Button& cmdClearAces = cmdClear.add(add<Button>(&FraAction, "cmdClear", {120, 1080, 975, 375},
      "Clear", "Allows you to clear all ACEs in the Call String", 0));
  Button& cmdTrst = add<Button>(&FraAction, "cmdTrst", {1260, 240, 975, 375}, "&Trustee",
      "Allows you to add Trustee actions.");
  Button& cmdTrstNum = add<Button>(&FraAction, "cmdTrstNum", {1260, 660, 975, 375}, "0",
      "This allows you to edit Trustee commands that have been added.");
  Button& cmdClearTrustees = cmdClear.add(add<Button>(&FraAction, "cmdClear",
      {1260, 1080, 975, 375}, "Clear", "Allows you to clear all Trustee entrys in the Call String", 1));
  Frame& fraOwner = add<Frame>(&FraAction, "fraOwner", {2640, 240, 2415, 1095}, "Set O&wner");
  TextBox& txtOwner = add<TextBox>(&fraOwner, "txtOwner", {120, 240, 2175, 285}, "",
      "This will set the owner for a file.");
  CheckBox& chkOwner = add<CheckBox>(&fraOwner, "chkOwner", {120, 660, 855, 255}, "SID?",
      "Is the owner name a SID?");
  Button& cmdClearOwner = cmdClear.add(add<Button>(&fraOwner, "cmdClear", {1320, 600, 975, 375},
      "Clear", "This will clear the Owner Information box.", 2));
  Frame& fraGroup = add<Frame>(&FraAction, "fraGroup", {2640, 1320, 2415, 1095}, "Set Primar&y Group");
  TextBox& txtGroup = add<TextBox>(&fraGroup, "txtGroup", {120, 240, 2175, 285}, "",
      "This allows you to set someones primary group.");
  CheckBox& chkGroup = add<CheckBox>(&fraGroup, "chkGroup", {120, 660, 855, 255}, "SID?",
      "Is the Primary group a SID?");
  Button& cmdClearGroup = cmdClear.add(add<Button>(&fraGroup, "cmdClear", {1320, 600, 975, 375},
      "Clear", "This will clear the Primary Group box.", 3));
  Frame& fraRstchldrn =
      add<Frame>(&FraAction, "fraRstchldrn", {120, 1560, 1200, 855}, "Reset C&hildren");
  ComboBox& cboRstchldrn = add<ComboBox>(&fraRstchldrn, "cboRstchldrn", {120, 360, 960, 315});
  Frame& fraClear = add<Frame>(&FraAction, "fraClear", {1380, 1560, 1200, 855}, "Cl&ear D/S ACL");
  ComboBox& cboClr = add<ComboBox>(&fraClear, "cboClr", {120, 360, 960, 315});
  Frame& fraInheritance =
      add<Frame>(&FraAction, "fraInheritance", {5160, 240, 2415, 2175}, "Inheritance");
  Frame& fraInDacl = add<Frame>(&fraInheritance, "fraInDacl", {120, 240, 2175, 855}, "&DACL");
  ComboBox& cboInDacl = add<ComboBox>(&fraInDacl, "cboInDacl", {120, 360, 1935, 315}, "",
      "This sets inheritance for the objects DACL(Standard Permissions).");
  Frame& fraInSacl = add<Frame>(&fraInheritance, "fraInSacl", {120, 1200, 2175, 855}, "SAC&L");
  ComboBox& cboInSacl = add<ComboBox>(&fraInSacl, "cboInSacl", {120, 360, 1935, 315}, "",
      "This allows you to set inheritance for the Objects SACL(Advanced Permissions).");

  Frame& FraRecursion = add<Frame>(&fraOptions, "FraRecursion", {120, 2880, 1695, 855}, "Recursio&n");
  ComboBox& cboRecursionFile = add<ComboBox>(&FraRecursion, "cboRecursionFile",
      {120, 360, 1455, 315}, "",
      "This will allow propogation to children without resetting the childrens ACLs.");
  ComboBox& cboRecursionReg =
      add<ComboBox>(&FraRecursion, "cboRecursionReg", {120, 360, 1455, 315});
  Frame& FraLog = add<Frame>(&fraOptions, "FraLog", {1920, 2880, 1815, 855}, "Log &File");
  TextBox& txtLogFile = add<TextBox>(&FraLog, "txtLogFile", {120, 360, 1575, 285}, "",
      "Specifies a log file.  It already has a default path, just enter a filename.");
  Frame& frmSilent = add<Frame>(&fraOptions, "frmSilent", {3840, 2880, 855, 855}, "Silent");
  OptionButton& optSilentYes = add<OptionButton>(&frmSilent, "optSilentYes", {120, 240, 615, 255}, "Yes");
  OptionButton& optSilentNo = add<OptionButton>(&frmSilent, "optSilentNo", {120, 510, 615, 255}, "No");
  Frame& fraFilter = add<Frame>(&fraOptions, "fraFilter", {4800, 2880, 1935, 855}, "Filter");
  Button& cmdFilter = add<Button>(&fraFilter, "cmdFilter", {120, 360, 495, 375}, "Add",
      "Adds a string to filter out during the running of the command.");
  Button& cmdFilterNum = add<Button>(&fraFilter, "cmdFilterNum", {660, 360, 495, 375}, "0",
      "This allows you to edit the contents of the Filter variable.");
  Button& cmdClearFilters = cmdClear.add(add<Button>(&fraFilter, "cmdClear", {1200, 360, 615, 375},
      "Clear", "Clears the filter entries from the Call String.", 4));
  Button& cmdResetOptions = add<Button>(&fraOptions, "cmdResetOptions", {6840, 3120, 975, 375},
      "&Reset Opts", "Removes all options from the Call String.");

  Button& cmdSendIt = add<Button>(nullptr, "cmdSendIt", {1080, 6360, 975, 375}, "&Send It",
      "This runs the call string below.  ");
  // In Send It's place while a command runs; Esc presses it.
  Button& cmdStop = add<Button>(nullptr, "cmdStop", {1080, 6360, 975, 375}, "Stop",
      "This stops the running command.");
  // How the run meets an object it cannot change: shown with Send It.
  CheckBox& chkIgnoreErr = add<CheckBox>(nullptr, "chkIgnoreErr", {2160, 6420, 1935, 255},
      "&Continue on errors", "This keeps the command going past objects it cannot change.");
  Button& cmdRuns = add<Button>(nullptr, "cmdRuns", {4800, 6360, 975, 375}, "R&uns",
      "This lists the runs, with what each changed and a way back.");
  Button& cmdProgOptions = add<Button>(nullptr, "cmdProgOptions", {6000, 6360, 975, 375},
      "Settings", "This edits program settings.");
  Button& cmdAbout = add<Button>(nullptr, "cmdAbout", {7080, 6360, 975, 375}, "About");
  Label& lblCallString = add<Label>(nullptr, "lblCallString", {120, 6480, 855, 255}, "Call Strin&g");
  TextBox& txtCallString = add<TextBox>(nullptr, "txtCallString", {120, 6720, 8055, 795}, "",
      "This is a preview of the string before it runs.");
  // What the last run changed, once its listings are compared.
  Button& cmdWhatChanged = add<Button>(nullptr, "cmdWhatChanged", {120, 7560, 1335, 345},
      "What Changed", "This shows what the last run changed.");
  Label& lblStatus = add<Label>(nullptr, "lblStatus", {1560, 7605, 6615, 255});
  // What the command does and what it wrote, sharing the rest of the window.
  forms::TabStrip& tabPages = add<forms::TabStrip>(nullptr, "tabPages", {120, 7920, 8055, 2535});
  TextBox& txtExplain = add<TextBox>(nullptr, "txtExplain", {180, 8280, 7935, 2115}, "",
      "This says in plain words what the call string will do.");
  TextBox& txtOutputs = add<TextBox>(nullptr, "txtOutputs", {180, 8280, 7935, 2115});

 private:
  template <class F>
  std::unique_ptr<F> Attached(std::unique_ptr<F> form);
  template <class Entry>
  void EditList(const char* kind, EntryList<Entry>& list);

  void ShowExplanation();
  void Form_Load();
  // Shows the command in every control, as if the user had set them.
  void ShowCommand(Command command);
  void ShowHideOptions();
  void SetObjType();
  Recursion ChosenRecursion() const;
  void ShowStatus(std::string text) { lblStatus.setText(std::move(text)); }

  void CboObjType_Click();
  void txtObjName_Change();
  void cmdBrowse_Click();
  void cmdAce_Click();
  void cmdTrst_Click();
  void cmdClear_Click(int index);
  void cmdFilter_Click();
  void cmdResetOptions_Click();
  void cmdBackup_Click();
  void cmdRestore_Click();
  void txtRestore_KeyPress(int KeyAscii);
  void cmdRestoreBrowse_Click();
  void cmdProgOptions_Click();
  void cmdSendIt_Click();
  void cmdCurrent_Click();
  void cmdTreeReport_Click();
  void cmdStop_Click();
  void cmdRuns_Click();
  void ShowChanges(const JournalRun& run, const ListingChanges& changes);
  RunView View();
  void LockWhileRunning(bool locked);
  void Undo(const JournalRun& run);
  void UseAgain(const JournalRun& run);
  bool Form_QueryUnload();
  void txtOutputs_Change();

  forms::SingleInstance<FrmAce> aceEditor_;
  forms::SingleInstance<FrmTrustee> trusteeEditor_;
  forms::SingleInstance<FrmChange> listEditor_;
  forms::SingleInstance<FrmBackup> backupWindow_;
  forms::SingleInstance<FrmBrowse> backupChooser_;
  forms::SingleInstance<FrmSettings> settingsWindow_;
  forms::SingleInstance<FrmPermissions> permissionsWindow_;
  forms::SingleInstance<FrmChanges> changesWindow_;
  forms::SingleInstance<FrmRuns> runsWindow_;
  forms::SingleInstance<FrmTreeReport> treeReportWindow_;
  std::vector<forms::Control*> disabled_;  // by the lock, to enable again
  bool sendShown_ = false;                 // Send It showed before the lock
  Runner runner_;
  std::string explanation_;  // of the call string, without its reach
};
