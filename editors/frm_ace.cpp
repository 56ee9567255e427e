#include "editors/frm_ace.h"

#include <initializer_list>

#include "forms/dialogs.h"
#include "main/entry_count.h"
#include "main/frm_main.h"

namespace {

// A click of the user on the box clears these others; boxes cleared this way
// run no handler of their own.
void Excludes(forms::CheckBox& box, std::initializer_list<forms::CheckBox*> others) {
  std::vector<forms::CheckBox*> cleared(others);
  box.onUserClick = [cleared] {
    for (forms::CheckBox* other : cleared) other->setValue(0);
  };
}

std::string ModeField(const std::string& mode) {
  if (mode == "Set") return "m:set;";
  if (mode == "Grant") return "m:grant;";
  if (mode == "Revoke") return "m:revoke;";
  return "m:deny;";
}

std::string TargetField(const std::string& where) {
  if (where == "Dacl") return "w:dacl\" ";
  if (where == "Sacl") return "w:sacl\" ";
  return "w:sacl,dacl\" ";
}

}  // namespace

FrmAce::FrmAce(App& app)
    : Form("frmAce", "Files/Dirs", 6405, 7620),
      app_(app),
      filesDirs_{{&chkDirsRead, "read"},          {&chkDirsWrite, "write"},
                 {&chkDirsList_Folder, "list_folder"}, {&chkDirsRead_Ex, "read_ex"},
                 {&chkDirsChange, "change"},      {&chkDirsProfile, "profile"},
                 {&chkDirsFull, "full"}},
      registry_{{&chkRegistryRead, "read"}, {&chkRegistryFull, "full"}},
      service_{{&chkServiceRead, "read"}, {&chkServiceStart_Stop, "start_stop"},
               {&chkServiceFull, "full"}},
      printers_{{&chkPrintersPrint, "print"}, {&chkPrintersMan_Printer, "man_printer"},
                {&chkPrintersMan_Docs, "man_docs"}, {&chkPrintersFull, "full"}},
      share_{{&chkShareRead, "read"}, {&chkShareChange, "change"}, {&chkShareFull, "full"}},
      filesDirsAdvanced_{{&chkDirsAdvTraverse, "traverse"},     {&chkDirAdvList_Dir, "list_dir"},
                         {&chkDirsAdvRead_attr, "read_attr"},   {&chkDirsAdvRead_ea, "read_ea"},
                         {&chkDirsAdvAdd_File, "add_file"},     {&chkDirsAdvAdd_Subdir, "add_subdir"},
                         {&chkDirsAdvWrite_Attr, "write_attr"}, {&chkDirsAdvWrite_Ea, "write_ea"},
                         {&chkDirsAdvDel_Child, "del_child"},   {&chkDirsAdvDelete, "delete"},
                         {&chkDirsAdvRead_Dacl, "read_dacl"},   {&chkDirsAdvWrite_Dacl, "write_dacl"},
                         {&chkDirsAdvWrite_Owner, "write_owner"}},
      registryAdvanced_{{&chkRegAdvQuery_Val, "query_val"},
                        {&chkRegAdvSet_Val, "set_val"},
                        {&chkRegAdvCreate_Subkey, "create_subkey"},
                        {&chkRegAdvEnum_Subkeys, "enum_subkeys"},
                        {&chkRegAdvNotify, "notify"},
                        {&chkRegAdvCreate_Link, "create_link"},
                        {&chkRegAdvDelete, "delete"},
                        {&chkRegAdvWrite_Dacl, "write_dacl"},
                        {&chkRegAdvWrite_Owner, "write_owner"},
                        {&chkRegAdvRead_Access, "read_access"}} {
  cboModeDacl.setItems({"Set", "Grant", "Revoke", "Deny"});
  cboWhere.setItems({"Dacl", "Sacl", "Both"});
  for (Frame* frame : {&fraFilesDirs, &fraShare, &fraService, &fraRegistry, &fraPrinters,
                       &fraAdvanced, &fraRegistryAdv, &fraDirsFilesAdvanced})
    frame->setVisible(false);

  // Each of the Files/Dirs boxes but "Change Permissions" rules out "Full"
  // and "Modify"; those two stand alone.
  for (CheckBox* combining : {&chkDirsRead, &chkDirsWrite, &chkDirsList_Folder, &chkDirsRead_Ex})
    Excludes(*combining, {&chkDirsFull, &chkDirsChange});
  Excludes(chkDirsChange, {&chkDirsFull, &chkDirsRead, &chkDirsWrite, &chkDirsList_Folder,
                           &chkDirsRead_Ex, &chkDirsProfile});
  Excludes(chkDirsProfile, {&chkDirsFull});
  Excludes(chkDirsFull, {&chkDirsRead, &chkDirsWrite, &chkDirsList_Folder, &chkDirsRead_Ex,
                         &chkDirsChange, &chkDirsProfile});
  Excludes(chkRegistryRead, {&chkRegistryFull});
  Excludes(chkRegistryFull, {&chkRegistryRead});
  Excludes(chkServiceRead, {&chkServiceFull});
  Excludes(chkServiceStart_Stop, {&chkServiceFull});
  Excludes(chkServiceFull, {&chkServiceRead, &chkServiceStart_Stop});
  for (CheckBox* combining : {&chkPrintersPrint, &chkPrintersMan_Printer, &chkPrintersMan_Docs})
    Excludes(*combining, {&chkPrintersFull});
  Excludes(chkPrintersFull, {&chkPrintersPrint, &chkPrintersMan_Printer, &chkPrintersMan_Docs});
  Excludes(chkShareRead, {&chkShareFull});
  Excludes(chkShareChange, {&chkShareFull});
  Excludes(chkShareFull, {&chkShareRead, &chkShareChange});
  Excludes(chkSo, {&chkNp, &chkIo});
  Excludes(chkSc, {&chkNp, &chkIo});
  Excludes(chkNp, {&chkSo, &chkSc, &chkIo});
  Excludes(chkIo, {&chkSo, &chkSc, &chkNp});

  onLoad = [this] { Form_Load(); };
  onActivate = [this] { Form_Activate(); };
  cboModeDacl.onClick = [this] { cboModeDacl_Click(); };
  cmdAdd.onClick = [this] { cmdAdd_Click(); };
  cmdCancel.onClick = [this] { hide(); };
  cmdAdvanced.onClick = [this] { cmdAdvanced_Click(); };
  cmdHide.onClick = [this] { CloseAdvanced(); };
  cndAdvClear.onClick = [this] { cndAdvClear_Click(); };
}

void FrmAce::Form_Load() {
  setWindowHeight(kClosedHeight);
  cboModeDacl.setText("Set");
  cboWhere.setText("Dacl");
  for (CheckBox* ticked : {&chkDirsRead, &chkDirsList_Folder, &chkDirsRead_Ex, &chkPrintersPrint,
                           &chkRegistryRead, &chkServiceFull, &chkShareFull})
    ticked->setValue(1);
  optNo.select();
}

void FrmAce::Form_Activate() {
  for (Control* hidden : std::initializer_list<Control*>{&fraShare, &fraService, &fraRegistry,
                                                         &fraPrinters, &fraFilesDirs, &cmdAdvanced})
    hidden->setVisible(false);
  const std::string& type = app_.state.SelectedObjType;
  if (type == "Dir/File" || type == "Reg Key") {
    // The advanced panel stays as it was, now with this type's sub-panel.
    bool files = type == "Dir/File";
    (files ? fraFilesDirs : fraRegistry).setVisible(true);
    cmdAdvanced.setVisible(true);
    fraDirsFilesAdvanced.setVisible(files);
    fraRegistryAdv.setVisible(!files);
    return;
  }
  if (type == "Service") fraService.setVisible(true);
  else if (type == "Printer") fraPrinters.setVisible(true);
  else fraShare.setVisible(true);
  CloseAdvanced();
}

void FrmAce::cboModeDacl_Click() {
  if (cboModeDacl.text() != "Deny") return;
  if (!app_.dialogs().confirm("Are you sure you want to deny permissions?", "Deny?"))
    cboModeDacl.setText("Set");
}

bool FrmAce::BuildAceEntry() {
  std::string permissions;
  auto collect = [&permissions](const Tokens& tokens) {
    for (const Token& t : tokens) {
      if (!t.box->ticked()) continue;
      if (!permissions.empty()) permissions += ',';
      permissions += t.token;
    }
  };
  if (fraFilesDirs.visible()) collect(filesDirs_);
  else if (fraPrinters.visible()) collect(printers_);
  else if (fraRegistry.visible()) collect(registry_);
  else if (fraService.visible()) collect(service_);
  else collect(share_);
  if (fraAdvanced.visible())
    collect(fraDirsFilesAdvanced.visible() ? filesDirsAdvanced_ : registryAdvanced_);
  if (permissions.empty()) {
    app_.dialogs().tell("You must choose some permissions", "Choose Permissions",
                        forms::Icon::Information);
    return false;
  }

  std::string inheritance;
  if (chkSo.ticked() && !chkSc.ticked()) inheritance = "i:so;";
  else if (chkSc.ticked() && !chkSo.ticked()) inheritance = "i:sc;";
  else if (chkSo.ticked() && chkSc.ticked()) inheritance = "i:so,sc;";
  else if (chkNp.ticked()) inheritance = "i:np;";
  else if (chkIo.ticked()) inheritance = "i:io;";

  std::string& list = app_.state.AceList;
  list += "-ace \"n:";
  list += txtName.text();
  list += ";p:";
  list += permissions;
  list += ';';
  if (optYes.value()) list += "s:y;";
  list += inheritance;
  list += ModeField(cboModeDacl.text());
  list += TargetField(cboWhere.text());
  return true;
}

void FrmAce::cmdAdd_Click() {
  if (txtName.text().empty()) {
    txtName.setFocus();
    app_.dialogs().tell("You must fill in the name property box", "Name?");
    return;
  }
  if (!BuildAceEntry()) return;
  FrmMain& main = app_.frmMain();
  StepCount(main.cmdAceNum, 1);
  hide();
  main.BuildIt();
}
