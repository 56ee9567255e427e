// The main window's Clear buttons, filter button and option reset.

#include "forms/dialogs.h"
#include "main/entry_count.h"
#include "main/frm_main.h"
#include "run/command_line.h"

namespace {

struct ClearQuestion {
  const char* prompt;
  const char* title;
};

constexpr ClearQuestion kClearQuestions[] = {
    {"Are you sure you want to clear the ACEs?", "Clear ACEs?"},
    {"Are you sure you want to clear the Trustees?", "Clear Trustees?"},
    {"Are you sure you want to clear the Owners?", "Clear Owners?"},
    {"Are you sure you want to clear the Group?", "Clear Group?"},
    {"Are you sure you want to clear the Filters?", "Clear Filters?"},
};

}  // namespace

void FrmMain::cmdClear_Click(int index) {
  const ClearQuestion& question = kClearQuestions[index];
  if (!app_.dialogs().confirm(question.prompt, question.title)) return;
  switch (index) {
    case 0:
      state_.AceList.clear();
      cmdAceNum.setText("0");
      break;
    case 1:
      state_.TrusteeList.clear();
      cmdTrstNum.setText("0");
      break;
    case 2:
      txtOwner.setText("");
      chkOwner.setValue(0);
      break;
    case 3:
      txtGroup.setText("");
      chkGroup.setValue(0);
      break;
    default:
      state_.FilterList.clear();
      cmdFilterNum.setText("0");
      break;
  }
  BuildIt();
}

void FrmMain::cmdFilter_Click() {
  std::string phrase = app_.dialogs().input("What phrase would you like filtered?", "Add Filter", "");
  if (phrase.empty()) return;
  state_.FilterList += " -fltr \"" + BeforeClosingQuote(phrase) + "\" ";
  StepCount(cmdFilterNum, 1);
  BuildIt();
}

void FrmMain::cmdResetOptions_Click() {
  if (!app_.dialogs().confirm("Are you sure you want to remove all options?",
                              "Remove All Options?"))
    return;
  state_.AceList.clear();
  cmdAceNum.setText("0");
  state_.TrusteeList.clear();
  cmdTrstNum.setText("0");
  txtOwner.setText("");
  chkOwner.setValue(0);
  cboInDacl.setText("No Change");
  cboInSacl.setText("No Change");
  cboRstchldrn.setText("None");
  cboClr.setText("None");
  cboRecursionFile.setText("No");
  cboRecursionReg.setText("No");
  txtLogFile.setText("");
  optSilentNo.select();
  chkIgnoreErr.setValue(0);
  state_.FilterList.clear();
  cmdFilterNum.setText("0");
  txtGroup.setText("");
  chkGroup.setValue(0);
  BuildIt();
}
