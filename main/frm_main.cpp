#include "main/frm_main.h"

#include "backup/frm_backup.h"
#include "editors/frm_ace.h"
#include "editors/frm_change.h"
#include "editors/frm_trustee.h"
#include "main/explain.h"
#include "platform/folder_browser.h"
#include "run/command_line.h"
#include "run/dos_outputs.h"
#include "setup/frm_settings.h"

namespace {

const std::vector<std::string> kNoneDaclSaclBoth = {"None", "DACL", "SACL", "Both"};
const std::vector<std::string> kInheritance = {"No Change", "Inherits Parent", "Prot/Copy Parent",
                                               "Prot/No Copy Parent"};

// The code of an inheritance choice for the setprot fragment.
std::string ProtectionCode(const std::string& choice) {
  if (choice == "No Change") return "nc";
  if (choice == "Inherits Parent") return "np";
  if (choice == "Prot/Copy Parent") return "p_c";
  return "p_nc";
}

// The list part of a clear or reset-children fragment.
std::string DaclSacl(const std::string& choice) {
  if (choice == "DACL") return "dacl";
  if (choice == "SACL") return "sacl";
  return "dacl,sacl";
}

}  // namespace

FrmMain::FrmMain(App& app)
    : Form("frmMain", "Vorlane ---Front End For SetACL", 8310, 10455, forms::Style::Main),
      app_(app) {
  CboObjType.setItems({"Dir/File", "Reg Key", "Service", "Printer", "Network Share"});
  cboRstchldrn.setItems(kNoneDaclSaclBoth);
  cboClr.setItems(kNoneDaclSaclBoth);
  cboInDacl.setItems(kInheritance);
  cboInSacl.setItems(kInheritance);
  cboRecursionFile.setItems({"No", "Dirs Only", "Files Only", "Dirs and Files"});
  cboRecursionReg.setItems({"No", "Yes"});
  txtCallString.setMultiLine(true);
  txtCallString.setReadOnly(true);
  txtOutputs.setMultiLine(true);
  txtOutputs.setReadOnly(true);
  txtOutputs.setStreaming(true);
  // A window made larger gives the call string and the output its room.
  txtCallString.setStretch(true, false);
  txtOutputs.setStretch(true, true);
  lblStatus.setStretch(true, false);
  txtExplain.setMultiLine(true);
  txtExplain.setReadOnly(true);
  txtExplain.setStretch(true, false);
  txtExplain.setMovesDown(true);
  lblExplain.setMovesDown(true);
  cmdCurrent.setVisible(false);
  cmdStop.setVisible(false);
  setCancelButton(&cmdStop);
  fraOptions.setVisible(false);
  cboRecursionReg.setVisible(false);
  cmdSendIt.setVisible(false);
  chkIgnoreErr.setVisible(false);

  onLoad = [this] { Form_Load(); };
  auto rebuild = [this] { BuildIt(); };
  auto rebuildOnKey = [this](int) { BuildIt(); };
  CboObjType.onClick = [this] { CboObjType_Click(); };
  txtObjName.onKeyUp = [this](int) { txtObjName_KeyUp(); };
  cmdBrowse.onClick = [this] { cmdBrowse_Click(); };
  for (ComboBox* box : {&cboRecursionFile, &cboRecursionReg, &cboInDacl, &cboInSacl,
                        &cboRstchldrn, &cboClr})
    box->onClick = rebuild;
  chkOwner.onClick = rebuild;
  chkGroup.onClick = rebuild;
  optSilentYes.onClick = rebuild;
  optSilentNo.onClick = rebuild;
  chkIgnoreErr.onClick = rebuild;
  txtOwner.onKeyUp = rebuildOnKey;
  txtGroup.onKeyUp = rebuildOnKey;
  txtLogFile.onKeyUp = rebuildOnKey;
  cmdClear.onClick([this](int index) { cmdClear_Click(index); });
  cmdFilter.onClick = [this] { cmdFilter_Click(); };
  cmdResetOptions.onClick = [this] { cmdResetOptions_Click(); };
  cmdProgOptions.onClick = [this] { cmdProgOptions_Click(); };
  cmdAce.onClick = [this] { app_.frmAce().showModal(); };
  cmdTrst.onClick = [this] { app_.frmTrustee().showModal(); };
  cmdAceNum.onClick = [this] { EditList("Ace"); };
  cmdTrstNum.onClick = [this] { EditList("Trustee"); };
  cmdFilterNum.onClick = [this] { EditList("Filter"); };
  cmdAbout.onClick = [this] { cmdAbout_Click(); };
  cmdBackup.onClick = [this] { app_.frmBackup().showModal(); };
  cmdRestore.onClick = [this] { cmdRestore_Click(); };
  txtRestore.onKeyPress = [this](int key) { txtRestore_KeyPress(key); };
  cmdRestoreBrowse.onClick = [this] { cmdRestoreBrowse_Click(); };
  cmdSendIt.onClick = [this] { cmdSendIt_Click(); };
  cmdCurrent.onClick = [this] { cmdCurrent_Click(); };
  cmdStop.onClick = [this] { cmdStop_Click(); };
  onQueryUnload = [this] { return Form_QueryUnload(); };
  onTimer = [this] { ShowRunStatus(); };
  txtOutputs.onChange = [this] { txtOutputs_Change(); };
  onTerminate = [this] { objDOS.reset(); };
}

FrmMain::~FrmMain() = default;

void FrmMain::BuildItChecks() {
  const std::string& type = CboObjType.text();
  if (type == "Dir/File") state_.ObjTypeCode = "file";
  else if (type == "Reg Key") state_.ObjTypeCode = "reg";
  else if (type == "Service") state_.ObjTypeCode = "srv";
  else if (type == "Printer") state_.ObjTypeCode = "prn";
  else state_.ObjTypeCode = "shr";

  state_.RecursionOpt.clear();
  if (cboRecursionFile.visible() || cboRecursionReg.visible()) {
    if (type == "Dir/File") {
      const std::string& rec = cboRecursionFile.text();
      if (rec == "Dirs Only") state_.RecursionOpt = " -rec cont";
      else if (rec == "Files Only") state_.RecursionOpt = " -rec obj";
      else if (rec == "Dirs and Files") state_.RecursionOpt = " -rec cont_obj";
    } else if (type == "Reg Key") {
      if (cboRecursionReg.text() == "Yes") state_.RecursionOpt = " -rec yes";
    }
  }

  if (cboClr.text() != "None")
    state_.ClearOpt = " -actn clear -clr \"" + DaclSacl(cboClr.text()) + "\"";
  if (cboRstchldrn.text() != "None")
    state_.ResetChildrenOpt = " -actn rstchldrn -rst \"" + DaclSacl(cboRstchldrn.text()) + "\"";
  if (cboInDacl.text() != "No Change" || cboInSacl.text() != "No Change")
    state_.SetProtOpt = " -actn setprot -op \"dacl:" + ProtectionCode(cboInDacl.text()) +
                        ";sacl:" + ProtectionCode(cboInSacl.text()) + "\"";
  if (!txtGroup.text().empty())
    state_.SetGroupOpt = " -actn setgroup -grp \"n:" +
                         (chkGroup.ticked() ? txtGroup.text() + ";s:y\"" : BeforeClosingQuote(txtGroup.text()) + "\"");
}

void FrmMain::BuildIt() {
  BuildItChecks();
  std::string call =
      "SetACL.exe -on \"" + BeforeClosingQuote(txtObjName.text()) + "\" -ot " + state_.ObjTypeCode;
  if (!state_.AceList.empty()) call += " -actn ace " + state_.AceList;
  if (!state_.TrusteeList.empty()) call += " -actn trustee" + state_.TrusteeList;
  if (!txtOwner.text().empty())
    call += " -actn setowner -ownr \"n:" + txtOwner.text() + ";" + (chkOwner.ticked() ? "s:y\"" : "\"");
  call += state_.RecursionOpt;
  call += state_.FilterList;
  if (!txtGroup.text().empty()) call += state_.SetGroupOpt;
  if (cboInDacl.text() != "No Change" || cboInSacl.text() != "No Change") call += state_.SetProtOpt;
  if (cboClr.text() != "None") call += state_.ClearOpt;
  if (cboRstchldrn.text() != "None") call += state_.ResetChildrenOpt;
  if (!txtLogFile.text().empty())
    call += " -log \"" + app_.programFolder() + "\\LogFiles\\" + BeforeClosingQuote(txtLogFile.text()) +
            "\"";
  if (chkIgnoreErr.ticked()) call += " -ignoreerr";
  if (optSilentYes.value()) call += " -silent ";
  txtExplain.setText(ExplainCall(call, {{"object name", txtObjName.text()},
                                        {"owner", txtOwner.text()},
                                        {"primary group", txtGroup.text()},
                                        {"log file name", txtLogFile.text()}}));
  txtCallString.setText(std::move(call));
}

void FrmMain::SelectStartingValues() {
  optSilentNo.select();
  cboRecursionFile.setText("No");
  cboRecursionReg.setText("No");
  CboObjType.setText("Dir/File");
  cboClr.setText("None");
  cboRstchldrn.setText("None");
  cboInDacl.setText("No Change");
  cboInSacl.setText("No Change");
}

void FrmMain::ShowHideOptions() {
  bool named = !txtObjName.text().empty() && !CboObjType.text().empty();
  fraOptions.setVisible(named);
  cmdSendIt.setVisible(named);
  cmdCurrent.setVisible(named);
  chkIgnoreErr.setVisible(named);
  fraBackupRestore.setVisible(named);
  cmdBrowse.setVisible(CboObjType.text() == "Dir/File");
}

void FrmMain::SetObjType() {
  state_.SelectedObjType.clear();
  const std::string& type = CboObjType.text();
  if (type == "Dir/File") {
    FraRecursion.setVisible(true);
    cboRecursionFile.setVisible(true);
    cboRecursionReg.setVisible(false);
  } else if (type == "Reg Key") {
    FraRecursion.setVisible(true);
    cboRecursionFile.setVisible(false);
    cboRecursionReg.setVisible(true);
  } else {
    FraRecursion.setVisible(false);
  }
  if (type == "Dir/File" || type == "Reg Key" || type == "Service" || type == "Printer" ||
      type == "Network Share")
    state_.SelectedObjType = type;
}

void FrmMain::CboObjType_Click() {
  ShowHideOptions();
  state_.AceList.clear();
  cmdAceNum.setText("0");
  BuildIt();
  SetObjType();
  BuildIt();
}

void FrmMain::txtObjName_KeyUp() {
  ShowHideOptions();
  BuildIt();
}

void FrmMain::cmdBrowse_Click() {
  txtObjName.setText(app_.browser().BrowseForFolder(this, "Select Folder"));
  ShowHideOptions();
  BuildIt();
}

void FrmMain::cmdProgOptions_Click() { app_.frmSettings().showModal(); }

void FrmMain::EditList(const char* kind) {
  state_.EditListKind = kind;
  app_.frmChange().showModal();
}
