#pragma once
// "Runs": every run of this and earlier starts, newest first, as the journal
// holds them; for the one selected, what it changed, a way back, its command
// and its snapshots.

#include <functional>
#include <string>
#include <vector>

#include "runner/journal.h"
#include "runner/run_history.h"
#include "forms/form.h"
#include "platform/services.h"

class FrmRuns : public forms::Form {
 public:
  FrmRuns(platform::Services& services, RunHistory& history);

  struct Asked {
    std::function<void(const JournalRun&)> whatChanged;
    std::function<void(const JournalRun&)> undo;
    std::function<void(const JournalRun&)> useAgain;
  };
  // Reads the journal and shows its runs; the window closes before handing
  // a run on.
  void Open(Asked asked);

  forms::Label& lblRuns = add<forms::Label>(nullptr, "lblRuns", {120, 120, 2415, 255}, "&Runs");
  forms::ListView& lvwRuns = add<forms::ListView>(nullptr, "lvwRuns", {120, 360, 11760, 3600});
  forms::Label& lblNotes = add<forms::Label>(nullptr, "lblNotes", {120, 4080, 11760, 255});
  forms::CommandButton& cmdChanges = add<forms::CommandButton>(nullptr, "cmdChanges",
      {120, 4440, 1455, 375}, "What &Changed", "This shows what the selected run changed.");
  forms::CommandButton& cmdUndo = add<forms::CommandButton>(nullptr, "cmdUndo",
      {1680, 4440, 1215, 375}, "&Undo", "This sets the objects back as they were before the selected run.");
  forms::CommandButton& cmdCopy = add<forms::CommandButton>(nullptr, "cmdCopy",
      {3000, 4440, 1695, 375}, "Copy Co&mmand", "This copies the selected run's command line.");
  forms::CommandButton& cmdFolder = add<forms::CommandButton>(nullptr, "cmdFolder",
      {4800, 4440, 1455, 375}, "Open &Folder", "This shows the selected run's snapshots in their folder.");
  forms::CommandButton& cmdUseAgain = add<forms::CommandButton>(nullptr, "cmdUseAgain",
      {6360, 4440, 2175, 375}, "Use this command &again",
      "This fills the main window with the selected run's command.");
  forms::CommandButton& cmdClose =
      add<forms::CommandButton>(nullptr, "cmdClose", {10665, 4440, 1215, 375}, "Close");

 private:
  void Show(Journal journal);
  void lvwRuns_Click();
  const JournalRun* selected() const;
  void Hand(const std::function<void(const JournalRun&)>& to);

  platform::Services& services_;
  RunHistory& history_;
  std::vector<JournalRun> runs_;  // newest first, as listed
  Asked asked_;
};
