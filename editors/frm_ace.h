#pragma once
// The ACE editor: one access control entry composed from the permission
// boxes of the object type, inheritance, mode, target and SID choice, and
// handed back to the window that opened it. A fold-away panel adds
// fine-grained permissions for files and folders and for registry keys.

#include <functional>
#include <vector>

#include "forms/dialogs.h"
#include "forms/form.h"
#include "setacl/command.h"

class FrmAce : public forms::Form {
 public:
  explicit FrmAce(forms::Dialogs& dialogs);

  // Shows the editor for an object of this type; each entry added is handed
  // to `added`.
  void Ask(ObjectType type, std::function<void(AceEntry)> added);

  // The whole window's height with the advanced panel closed and open.
  static constexpr int kClosedHeight = 4620;
  static constexpr int kOpenHeight = 8325;

 private:
  using Frame = forms::Frame;
  using CheckBox = forms::CheckBox;
  using Button = forms::CommandButton;

  // A box of a column: 255 twips high, 240 apart from the frame's top 240.
  CheckBox& box(Frame& frame, const char* name, int row, const char* caption, int left = 120,
                int width = 1815) {
    return add<CheckBox>(&frame, name, {left, 240 + 240 * row, width, 255}, caption);
  }

  forms::Dialogs& dialogs_;
  ObjectType type_ = ObjectType::File;
  std::function<void(AceEntry)> added_;
  // The modes the mode list offers, in its order: those of the lists chosen.
  std::vector<AceMode> modes_;

 public:
  forms::Label& lblName = add<forms::Label>(nullptr, "lblName", {120, 120, 975, 255}, "&Name");
  forms::TextBox& txtName = add<forms::TextBox>(nullptr, "txtName", {1200, 120, 2295, 285}, "",
      "This is the users permissions you are editing(domain\\username).");
  Frame& FraPermissions =
      add<Frame>(nullptr, "FraPermissions", {1200, 480, 2295, 2895}, "Permissions");

  Frame& fraFilesDirs =
      add<Frame>(&FraPermissions, "fraFilesDirs", {120, 240, 2055, 2055}, "Files/Dirs");
  CheckBox& chkDirsRead = box(fraFilesDirs, "chkDirsRead", 0, "Read");
  CheckBox& chkDirsWrite = box(fraFilesDirs, "chkDirsWrite", 1, "Write");
  CheckBox& chkDirsList_Folder = box(fraFilesDirs, "chkDirsList_Folder", 2, "List Folder");
  CheckBox& chkDirsRead_Ex = box(fraFilesDirs, "chkDirsRead_Ex", 3, "Read/Execute");
  CheckBox& chkDirsChange = box(fraFilesDirs, "chkDirsChange", 4, "Modify");
  CheckBox& chkDirsProfile = box(fraFilesDirs, "chkDirsProfile", 5, "Change Permissions");
  CheckBox& chkDirsFull = box(fraFilesDirs, "chkDirsFull", 6, "Full");

  Frame& fraShare =
      add<Frame>(&FraPermissions, "fraShare", {120, 240, 2055, 1095}, "Network Shares");
  CheckBox& chkShareRead = box(fraShare, "chkShareRead", 0, "Read");
  CheckBox& chkShareChange = box(fraShare, "chkShareChange", 1, "Modify");
  CheckBox& chkShareFull = box(fraShare, "chkShareFull", 2, "Full");

  Frame& fraService = add<Frame>(&FraPermissions, "fraService", {120, 240, 2055, 1095}, "Service");
  CheckBox& chkServiceRead = box(fraService, "chkServiceRead", 0, "Read");
  CheckBox& chkServiceStart_Stop = box(fraService, "chkServiceStart_Stop", 1, "Start/Stop");
  CheckBox& chkServiceFull = box(fraService, "chkServiceFull", 2, "Full");

  Frame& fraRegistry = add<Frame>(&FraPermissions, "fraRegistry", {120, 240, 2055, 855}, "Registry");
  CheckBox& chkRegistryRead = box(fraRegistry, "chkRegistryRead", 0, "Read");
  CheckBox& chkRegistryFull = box(fraRegistry, "chkRegistryFull", 1, "Full");

  Frame& fraPrinters = add<Frame>(&FraPermissions, "fraPrinters", {120, 240, 2055, 1335}, "Printers");
  CheckBox& chkPrintersPrint = box(fraPrinters, "chkPrintersPrint", 0, "Print");
  CheckBox& chkPrintersMan_Printer = box(fraPrinters, "chkPrintersMan_Printer", 1, "Manage Printer");
  CheckBox& chkPrintersMan_Docs = box(fraPrinters, "chkPrintersMan_Docs", 2, "Manage Documents");
  CheckBox& chkPrintersFull = box(fraPrinters, "chkPrintersFull", 3, "Full");

  Button& cmdAdvanced = add<Button>(&FraPermissions, "cmdAdvanced", {120, 2400, 975, 375},
      "Advanced", "This is for the SACL(advanced) Permissions.  Exercise caution!");

  Frame& fraInheritance =
      add<Frame>(nullptr, "fraInheritance", {3720, 120, 2535, 1335}, "Inheritance");
  CheckBox& chkSo = box(fraInheritance, "chkSo", 0, "Sub-Objects", 240, 2175);
  CheckBox& chkSc = box(fraInheritance, "chkSc", 1, "Sub-Containers", 240, 2175);
  CheckBox& chkNp = box(fraInheritance, "chkNp", 2, "No Propagation", 240, 2175);
  CheckBox& chkIo = box(fraInheritance, "chkIo", 3, "Inherit Only", 240, 2175);

  Frame& fraMode = add<Frame>(nullptr, "fraMode", {3720, 1560, 2535, 735}, "&Mode DACL");
  forms::ComboBox& cboModeDacl = add<forms::ComboBox>(&fraMode, "cboModeDacl",
      {120, 240, 2295, 315}, "", "How you want the above permissions to perform.");
  Frame& fraWhere = add<Frame>(nullptr, "fraWhere", {3720, 2400, 2535, 735}, "&Where");
  forms::ComboBox& cboWhere =
      add<forms::ComboBox>(&fraWhere, "cboWhere", {120, 240, 2295, 315}, "", "Simple enough.");
  Button& cmdAdd = add<Button>(nullptr, "cmdAdd", {3720, 3240, 975, 375}, "Add",
      "Add this ACE to the Call String.");
  Button& cmdCancel =
      add<Button>(nullptr, "cmdCancel", {3720, 3720, 975, 375}, "Cancel", "Ahhh, nevermind.");
  Frame& fraIsSID =
      add<Frame>(nullptr, "fraIsSID", {4920, 3240, 1335, 855}, "IsSID", "Is the above name a SID?");
  forms::OptionButton& optNo = add<forms::OptionButton>(&fraIsSID, "optNo", {120, 240, 975, 255},
      "No", "Is the above name a SID?");
  forms::OptionButton& optYes = add<forms::OptionButton>(&fraIsSID, "optYes", {120, 480, 855, 255},
      "Yes", "Is the above name a SID?");

  Frame& fraAdvanced =
      add<Frame>(nullptr, "fraAdvanced", {1200, 3480, 2295, 4335}, "Advanced Permissions");
  Frame& fraRegistryAdv =
      add<Frame>(&fraAdvanced, "fraRegistryAdv", {120, 240, 2055, 2775}, "Registry Advanced");
  CheckBox& chkRegAdvQuery_Val = box(fraRegistryAdv, "chkRegAdvQuery_Val", 0, "Query Value");
  CheckBox& chkRegAdvSet_Val = box(fraRegistryAdv, "chkRegAdvSet_Val", 1, "Set Value");
  CheckBox& chkRegAdvCreate_Subkey =
      box(fraRegistryAdv, "chkRegAdvCreate_Subkey", 2, "Create Subkeys");
  CheckBox& chkRegAdvEnum_Subkeys =
      box(fraRegistryAdv, "chkRegAdvEnum_Subkeys", 3, "Enumerate Subkeys");
  CheckBox& chkRegAdvNotify = box(fraRegistryAdv, "chkRegAdvNotify", 4, "Notify");
  CheckBox& chkRegAdvCreate_Link = box(fraRegistryAdv, "chkRegAdvCreate_Link", 5, "Create Link");
  CheckBox& chkRegAdvDelete = box(fraRegistryAdv, "chkRegAdvDelete", 6, "Delete");
  CheckBox& chkRegAdvWrite_Dacl = box(fraRegistryAdv, "chkRegAdvWrite_Dacl", 7, "Write Permissions");
  CheckBox& chkRegAdvWrite_Owner = box(fraRegistryAdv, "chkRegAdvWrite_Owner", 8, "Take Ownership");
  CheckBox& chkRegAdvRead_Access = box(fraRegistryAdv, "chkRegAdvRead_Access", 9, "Read Control");

  Frame& fraDirsFilesAdvanced = add<Frame>(&fraAdvanced, "fraDirsFilesAdvanced",
      {120, 240, 2055, 3495}, "Files/Dirs Advanced");
  CheckBox& chkDirsAdvTraverse =
      box(fraDirsFilesAdvanced, "chkDirsAdvTraverse", 0, "Traverse Fol/Ex File");
  CheckBox& chkDirAdvList_Dir = box(fraDirsFilesAdvanced, "chkDirAdvList_Dir", 1, "List Fol/Read Data");
  CheckBox& chkDirsAdvRead_attr =
      box(fraDirsFilesAdvanced, "chkDirsAdvRead_attr", 2, "Read Attributes");
  CheckBox& chkDirsAdvRead_ea = box(fraDirsFilesAdvanced, "chkDirsAdvRead_ea", 3, "Read Ext. Attribs");
  CheckBox& chkDirsAdvAdd_File =
      box(fraDirsFilesAdvanced, "chkDirsAdvAdd_File", 4, "Cr Files/Write Data");
  CheckBox& chkDirsAdvAdd_Subdir =
      box(fraDirsFilesAdvanced, "chkDirsAdvAdd_Subdir", 5, "Cr Fol/Append Data");
  CheckBox& chkDirsAdvWrite_Attr =
      box(fraDirsFilesAdvanced, "chkDirsAdvWrite_Attr", 6, "Write Attributes");
  CheckBox& chkDirsAdvWrite_Ea =
      box(fraDirsFilesAdvanced, "chkDirsAdvWrite_Ea", 7, "Write Ext. Attribs");
  CheckBox& chkDirsAdvDel_Child =
      box(fraDirsFilesAdvanced, "chkDirsAdvDel_Child", 8, "Delete Sub Fol/Files");
  CheckBox& chkDirsAdvDelete = box(fraDirsFilesAdvanced, "chkDirsAdvDelete", 9, "Delete");
  CheckBox& chkDirsAdvRead_Dacl =
      box(fraDirsFilesAdvanced, "chkDirsAdvRead_Dacl", 10, "Read Permissions");
  CheckBox& chkDirsAdvWrite_Dacl =
      box(fraDirsFilesAdvanced, "chkDirsAdvWrite_Dacl", 11, "Write Permissions");
  CheckBox& chkDirsAdvWrite_Owner =
      box(fraDirsFilesAdvanced, "chkDirsAdvWrite_Owner", 12, "Take Ownership");

  Button& cmdHide = add<Button>(&fraAdvanced, "cmdHide", {120, 3840, 975, 375}, "Hide",
      "Hides the Advanced Permissions.");
  Button& cndAdvClear = add<Button>(&fraAdvanced, "cndAdvClear", {1200, 3840, 975, 375},
      "Clear Adv", "Clears the advanced permissions.");

 private:
  // A box and the permission token it stands for, in emission order.
  struct Token {
    CheckBox* box;
    const char* token;
  };
  using Tokens = std::vector<Token>;

  void Form_Load();
  void Form_Activate();
  void cboModeDacl_Click();
  void cboWhere_Click();
  void OfferModes(AclLists lists);
  // Selects the mode when the lists offer it.
  void ChooseMode(AceMode mode);
  void cmdAdd_Click();
  // The entry the boxes make; false when no permission is chosen (the user
  // was told).
  bool BuildAceEntry(AceEntry& entry);
  void cmdAdvanced_Click();
  void CloseAdvanced();
  void cndAdvClear_Click();

  const Tokens filesDirs_, registry_, service_, printers_, share_;
  const Tokens filesDirsAdvanced_, registryAdvanced_;
};
