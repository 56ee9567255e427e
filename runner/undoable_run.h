#pragma once
// Send It with a way back. Before a command that changes something, the
// tool lists the objects it reaches into a snapshot; after it, lists them
// again, and the two are compared off the interface thread. Undo sets a run's
// objects back from its snapshot through the same steps, and then says
// whether every object is back as it was: only what the listings show is
// said, and what they cannot show is said to be unknown. Each step goes into
// the journal.

#include <chrono>
#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "forms/dialogs.h"
#include "runner/command_run.h"
#include "runner/journal.h"
#include "runner/listing_changes.h"
#include "runner/run_history.h"

class UndoableRun {
 public:
  UndoableRun(forms::Dialogs& dialogs, CommandRun& run, RunHistory& history,
              std::function<void(std::string)> status);
  ~UndoableRun();

  // Runs the user's command; `changes`: whether it changes anything at all.
  void Send(const std::string& folder, const std::string& arguments, bool changes,
            const SnapshotSettings& settings);
  // Checks the run's snapshot, asks, then sets its objects back as the
  // snapshot holds them.
  void Undo(const std::string& folder, const JournalRun& run, const SnapshotSettings& settings);
  // A chain is under way: nothing else starts.
  bool busy() const { return chain_ != nullptr; }

  // What a run changed, once compared.
  std::function<void(const JournalRun& run, const ListingChanges& changes)> compared;
  // The time, for the journal and the snapshots' names; nothing else trusts it.
  std::function<std::chrono::system_clock::time_point()> now = std::chrono::system_clock::now;

 private:
  struct Chain;

  void Start(std::unique_ptr<Chain> chain);
  void Started(const RunHistory::Started& started);
  void TakeSnapshot(bool withSacl);
  void SnapshotTaken(bool withSacl, const SnapshotCheck& check);
  void SnapshotFailed(const std::string& why);
  void RunCommand();
  void ListAfter();
  void Compare();
  void Compared(Chain& chain, const std::optional<ListingChanges>& changes);
  void Checked(const std::string& folder, const JournalRun& done, const SnapshotSettings& settings,
               std::shared_ptr<RunHistory::Hold> keep, const SnapshotCheck& check);
  void NotRun(const std::string& status);
  void End(std::string status);
  void Write(std::string record);

  forms::Dialogs& dialogs_;
  CommandRun& run_;
  RunHistory& history_;
  std::function<void(std::string)> status_;
  std::unique_ptr<Chain> chain_;  // the run under way
  std::string newest_;            // the id of the last run started
};

// What an undo's listings say of whether its run's objects are back: the
// comparison of the run's snapshot with the listing after the undo, and
// how the restore ended.
struct UndoVerdict {
  std::string text;
  bool allBack = false;
};
UndoVerdict VerdictOf(const RunOutcome& restore, const std::optional<ListingChanges>& back,
                      bool auditCompared, const std::string& restoreOutput);
