#include "backup/frm_runs.h"

#include <map>

#include "platform/clipboard.h"
#include "platform/shell.h"
#include "runner/run_status.h"

namespace {

constexpr int kShowNormal = 1;

std::string Duration(const JournalRun& run) {
  if (!run.finished || run.finished->outcome.kind == RunOutcome::Kind::NotRun) return "";
  return Seconds(static_cast<double>(run.finished->milliseconds) / 1000);
}

std::string ObjectsChanged(const JournalRun& run) {
  if (run.changed) {
    std::string words = Grouped(run.changed->changed) + " of " + Grouped(run.changed->objects);
    if (run.changed->unreadable) words += "; " + Grouped(run.changed->unreadable) + " not read";
    return words;
  }
  return run.snapshot.empty() ? "no snapshot" : "not compared";
}

}  // namespace

FrmRuns::FrmRuns(platform::Services& services, RunHistory& history)
    : Form("frmRuns", "Runs", 12000, 4935), services_(services), history_(history) {
  setCancelButton(&cmdClose);
  lvwRuns.onClick = [this] { lvwRuns_Click(); };
  cmdChanges.onClick = [this] { Hand(asked_.whatChanged); };
  cmdUndo.onClick = [this] { Hand(asked_.undo); };
  cmdUseAgain.onClick = [this] { Hand(asked_.useAgain); };
  cmdCopy.onClick = [this] {
    if (const JournalRun* run = selected()) services_.clipboard.SetText(run->commandLine);
  };
  cmdFolder.onClick = [this] {
    const JournalRun* run = selected();
    if (!run) return;
    std::string shown = run->snapshot.empty() ? history_.folder() : history_.PathOf(run->snapshot);
    services_.shell.Open("explorer.exe", "/select,\"" + shown + "\"", "", kShowNormal);
  };
  cmdClose.onClick = [this] { hide(); };
}

void FrmRuns::Open(Asked asked) {
  asked_ = std::move(asked);
  runs_.clear();
  lvwRuns.setTable({}, {});
  lblNotes.setText("Reading the journal...");
  lvwRuns_Click();
  history_.Read([this](Journal journal) { Show(std::move(journal)); });
  showModal();
}

void FrmRuns::Show(Journal journal) {
  runs_.assign(journal.runs.rbegin(), journal.runs.rend());
  std::vector<std::vector<std::string>> rows;
  std::map<std::string, std::string> timeOf;
  for (const JournalRun& run : journal.runs) timeOf[run.id] = run.time;
  for (const JournalRun& run : runs_) {
    std::string command = run.undoOf.empty() ? run.commandLine
                                             : "Undo of the run of " + timeOf[run.undoOf] + ": " + run.commandLine;
    rows.push_back({run.time, OutcomeWords(run), Duration(run), ObjectsChanged(run), command});
  }
  // The command last: it is the long one.
  lvwRuns.setTable({"Time", "Exit status", "Duration", "Objects changed", "Command"}, std::move(rows));
  std::string notes = runs_.empty() ? "No runs yet." : "";
  if (journal.damaged)
    notes += std::to_string(journal.damaged) +
             (journal.damaged == 1 ? " damaged record of the journal was skipped."
                                   : " damaged records of the journal were skipped.");
  // A name that could lead out of the folder is never deleted or restored from.
  for (const std::string& name : journal.refused)
    notes += (notes.empty() ? "" : " ") + std::string("Refused, not a file of the snapshots folder: ") + name + ".";
  lblNotes.setText(notes);
  if (!runs_.empty()) lvwRuns.setSelectedRow(0);
  lvwRuns_Click();
}

const JournalRun* FrmRuns::selected() const {
  int row = lvwRuns.selectedRow();
  return row >= 0 && row < static_cast<int>(runs_.size()) ? &runs_[row] : nullptr;
}

void FrmRuns::lvwRuns_Click() {
  const JournalRun* run = selected();
  bool snapshot = run && !run->snapshot.empty();
  cmdChanges.setEnabled(snapshot && run->changed.has_value());
  cmdUndo.setEnabled(snapshot);
  cmdCopy.setEnabled(run != nullptr);
  cmdFolder.setEnabled(run != nullptr);
  cmdUseAgain.setEnabled(run != nullptr && run->undoOf.empty());
}

void FrmRuns::Hand(const std::function<void(const JournalRun&)>& to) {
  const JournalRun* run = selected();
  if (!run || !to) return;
  JournalRun chosen = *run;
  hide();
  to(chosen);
}
