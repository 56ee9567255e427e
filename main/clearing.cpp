// The main window's Clear buttons, filter button and option reset.

#include "forms/dialogs.h"
#include "main/frm_main.h"

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
  if (!services_.dialogs.confirm(question.prompt, question.title)) return;
  switch (index) {
    case 0:
      command_.aces = {};
      break;
    case 1:
      command_.trustees = {};
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
      command_.filters = {};
      break;
  }
  BuildIt();
}

void FrmMain::cmdFilter_Click() {
  std::string phrase =
      services_.dialogs.input("What phrase would you like filtered?", "Add Filter", "");
  if (phrase.empty()) return;
  command_.filters.add(std::move(phrase));
  BuildIt();
}

// Every option but the object's name and type, and the restore file, back
// to its starting value through its own handler.
void FrmMain::cmdResetOptions_Click() {
  if (!services_.dialogs.confirm("Are you sure you want to remove all options?",
                                 "Remove All Options?"))
    return;
  Command fresh;
  fresh.object = command_.object;
  fresh.type = command_.type;
  ShowCommand(std::move(fresh));
}
