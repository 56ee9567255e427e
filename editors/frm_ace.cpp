#include "editors/frm_ace.h"

#include <algorithm>
#include <initializer_list>
#include <optional>


namespace {

// A click of the user on the box clears these others; boxes cleared this way
// run no handler of their own.
void Excludes(forms::CheckBox& box, std::initializer_list<forms::CheckBox*> others) {
  std::vector<forms::CheckBox*> cleared(others);
  box.onUserClick = [cleared] {
    for (forms::CheckBox* other : cleared) other->setValue(0);
  };
}

}  // namespace

FrmAce::FrmAce(forms::Dialogs& dialogs)
    : Form("frmAce", "Files/Dirs", 6405, 7620),
      dialogs_(dialogs),
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
  cboWhere.setItems(Captions(kAclLists));
  OfferModes(AclLists::Dacl);
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
  cboWhere.onClick = [this] { cboWhere_Click(); };
  cmdAdd.onClick = [this] { cmdAdd_Click(); };
  cmdCancel.onClick = [this] { hide(); };
  cmdAdvanced.onClick = [this] { cmdAdvanced_Click(); };
  cmdHide.onClick = [this] { CloseAdvanced(); };
  cndAdvClear.onClick = [this] { cndAdvClear_Click(); };
}

void FrmAce::Ask(ObjectType type, std::function<void(AceEntry)> added) {
  type_ = type;
  added_ = std::move(added);
  showModal();
}

void FrmAce::Form_Load() {
  setWindowHeight(kClosedHeight);
  cboWhere.setListIndex(IndexOf(kAclLists, AclLists::Dacl));
  ChooseMode(AceMode::Set);
  for (CheckBox* ticked : {&chkDirsRead, &chkDirsList_Folder, &chkDirsRead_Ex, &chkPrintersPrint,
                           &chkRegistryRead, &chkServiceFull, &chkShareFull})
    ticked->setValue(1);
  optNo.select();
}

void FrmAce::Form_Activate() {
  for (Control* hidden : std::initializer_list<Control*>{&fraShare, &fraService, &fraRegistry,
                                                         &fraPrinters, &fraFilesDirs, &cmdAdvanced})
    hidden->setVisible(false);
  if (type_ == ObjectType::File || type_ == ObjectType::Registry) {
    // The advanced panel stays as it was, now with this type's sub-panel.
    bool files = type_ == ObjectType::File;
    (files ? fraFilesDirs : fraRegistry).setVisible(true);
    cmdAdvanced.setVisible(true);
    fraDirsFilesAdvanced.setVisible(files);
    fraRegistryAdv.setVisible(!files);
    return;
  }
  if (type_ == ObjectType::Service) fraService.setVisible(true);
  else if (type_ == ObjectType::Printer) fraPrinters.setVisible(true);
  else fraShare.setVisible(true);
  CloseAdvanced();
}

// The modes follow the lists: the mode chosen stays when the new lists
// offer it, else the first they offer is chosen.
void FrmAce::cboWhere_Click() {
  OfferModes(Picked(kAclLists, cboWhere.listIndex(), AclLists::Both));
}

void FrmAce::OfferModes(AclLists lists) {
  int index = cboModeDacl.listIndex();
  std::optional<AceMode> chosen;
  if (index >= 0) chosen = modes_[index];
  modes_ = ModesFor(lists);
  std::vector<std::string> captions;
  for (AceMode mode : modes_) captions.emplace_back(Of(kAceModes, mode).caption);
  cboModeDacl.setItems(std::move(captions));
  auto kept = chosen ? std::ranges::find(modes_, *chosen) : modes_.end();
  cboModeDacl.setListIndex(kept == modes_.end() ? 0 : static_cast<int>(kept - modes_.begin()));
}

void FrmAce::cboModeDacl_Click() {
  int index = cboModeDacl.listIndex();
  if (index < 0 || modes_[index] != AceMode::Deny) return;
  if (!dialogs_.confirm("Are you sure you want to deny permissions?", "Deny?")) ChooseMode(AceMode::Set);
}

void FrmAce::ChooseMode(AceMode mode) {
  if (auto at = std::ranges::find(modes_, mode); at != modes_.end())
    cboModeDacl.setListIndex(static_cast<int>(at - modes_.begin()));
}

bool FrmAce::BuildAceEntry(AceEntry& entry) {
  std::vector<std::string>& permissions = entry.permissions;
  auto collect = [&permissions](const Tokens& tokens) {
    for (const Token& t : tokens)
      if (t.box->ticked()) permissions.emplace_back(t.token);
  };
  if (fraFilesDirs.visible()) collect(filesDirs_);
  else if (fraPrinters.visible()) collect(printers_);
  else if (fraRegistry.visible()) collect(registry_);
  else if (fraService.visible()) collect(service_);
  else collect(share_);
  if (fraAdvanced.visible())
    collect(fraDirsFilesAdvanced.visible() ? filesDirsAdvanced_ : registryAdvanced_);
  if (permissions.empty()) {
    dialogs_.tell("You must choose some permissions", "Choose Permissions", forms::Icon::Information);
    return false;
  }

  // The first that matches counts: the sub-kinds, else no propagation, else inherit only.
  bool so = chkSo.ticked(), sc = chkSc.ticked();
  entry.inheritance = so || sc        ? (so ? kSubObjects : 0) | (sc ? kSubContainers : 0)
                      : chkNp.ticked() ? kNoPropagation
                      : chkIo.ticked() ? kInheritOnly
                                       : 0;
  entry.trustee = {txtName.text(), optYes.value()};
  // Nothing selected counts as the last item, as any other text would.
  int mode = cboModeDacl.listIndex();
  entry.mode = mode >= 0 ? modes_[mode] : modes_.back();
  entry.where = Picked(kAclLists, cboWhere.listIndex(), AclLists::Both);
  return true;
}

void FrmAce::cmdAdd_Click() {
  if (txtName.text().empty()) {
    txtName.setFocus();
    dialogs_.tell("You must fill in the name property box", "Name?");
    return;
  }
  AceEntry entry;
  if (!BuildAceEntry(entry)) return;
  hide();
  if (added_) added_(std::move(entry));
}
