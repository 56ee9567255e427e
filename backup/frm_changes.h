#pragma once
// "What Changed": what a run changed, object by object, in the words of the
// Current Permissions table, with a way back.

#include <functional>
#include <string>

#include "runner/journal.h"
#include "runner/listing_changes.h"
#include "forms/form.h"

class FrmChanges : public forms::Form {
 public:
  FrmChanges();

  // Shows what the run changed; Undo hands the run to `undo`.
  void Show(const JournalRun& run, const ListingChanges& changes,
            std::function<void(const JournalRun&)> undo);

  forms::Label& lblRun = add<forms::Label>(nullptr, "lblRun", {120, 120, 9360, 255});
  forms::Label& lblCommand =
      add<forms::Label>(nullptr, "lblCommand", {120, 450, 1095, 255}, "Co&mmand");
  forms::TextBox& txtCommand = add<forms::TextBox>(nullptr, "txtCommand", {1260, 420, 8220, 285});
  forms::Label& lblSummary = add<forms::Label>(nullptr, "lblSummary", {120, 840, 9360, 255});
  forms::Label& lblChanges =
      add<forms::Label>(nullptr, "lblChanges", {120, 1200, 2415, 255}, "&Changes");
  forms::TextBox& txtChanges = add<forms::TextBox>(nullptr, "txtChanges", {120, 1440, 9360, 3435});
  forms::CommandButton& cmdUndo = add<forms::CommandButton>(nullptr, "cmdUndo",
      {120, 5040, 1215, 375}, "&Undo", "This sets the objects back as they were before this run.");
  forms::CommandButton& cmdClose =
      add<forms::CommandButton>(nullptr, "cmdClose", {8265, 5040, 1215, 375}, "Close");

 private:
  JournalRun run_;
  std::function<void(const JournalRun&)> undo_;
};
