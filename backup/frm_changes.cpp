#include "backup/frm_changes.h"

FrmChanges::FrmChanges() : Form("frmChanges", "What Changed", 9600, 5535) {
  txtCommand.setReadOnly(true);
  txtChanges.setMultiLine(true);
  txtChanges.setReadOnly(true);
  txtChanges.setStreaming(true);  // a tree's changes may run to many lines
  setCancelButton(&cmdClose);
  cmdClose.onClick = [this] { hide(); };
  cmdUndo.onClick = [this] {
    hide();
    if (undo_) undo_(run_);
  };
}

void FrmChanges::Show(const JournalRun& run, const ListingChanges& changes,
                      std::function<void(const JournalRun&)> undo) {
  run_ = run;
  undo_ = std::move(undo);
  lblRun.setText((run.undoOf.empty() ? "Run of " : "Undo run of ") + run.time + ": " +
                 OutcomeWords(run));
  txtCommand.setText(run.commandLine);
  lblSummary.setText(ChangesSummary(changes) + ComparedCaveats(run));
  std::string text = ChangesText(changes);
  txtChanges.setText(text.empty() ? "Nothing changed." : text);
  showModal();
}
