#include "editors/frm_change.h"

FrmChange::FrmChange(forms::Dialogs& dialogs)
    : Form("FrmChange", "", 4740, 3420), dialogs_(dialogs) {
  txtChange.setMultiLine(true);
  setCloseUnloads(true);
  onActivate = [this] { Form_Activate(); };
  cmdSave.onClick = [this] { cmdSave_Click(); };
  cmdClear.onClick = [this] { cmdClear_Click(); };
  cmdClose.onClick = [this] { hide(); };
  cmdCount.onClick([this](int index) { cmdCount_Click(index); });
}

void FrmChange::Edit(std::string kind, std::string text, int count, Handback handback) {
  kind_ = std::move(kind);
  text_ = std::move(text);
  count_ = count;
  handback_ = std::move(handback);
  showModal();
}

void FrmChange::Form_Activate() {
  setText(kind_ + " Change");
  // The box has no label on screen: it is named after the list it edits.
  txtChange.setAccessibleName(kind_ + " list");
  LoadChangeText();
}

void FrmChange::LoadChangeText() { txtChange.setText(text_); }

void FrmChange::cmdSave_Click() {
  if (!dialogs_.confirm("Are you sure you want to save", "Save Changes?")) return;
  text_ = txtChange.text();
  hide();
  if (handback_.saved) handback_.saved(text_);
}

void FrmChange::cmdClear_Click() {
  if (!dialogs_.confirm("Are you sure you want to clear these options?", "Clear Options?")) return;
  text_.clear();
  count_ = 0;
  hide();
  if (handback_.cleared) handback_.cleared();
}

// The count never goes below nought.
void FrmChange::cmdCount_Click(int Index) {
  if (Index == 1 && count_ == 0) return;
  count_ += Index == 0 ? 1 : -1;
  if (handback_.counted) handback_.counted(count_);
}
