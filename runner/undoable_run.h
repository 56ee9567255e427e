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
#include <vector>

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
  // A chain, or the check before an undo, is under way: nothing else starts.
  bool busy() const { return chain_ != nullptr || checking_; }

  // What a run changed, once compared.
  std::function<void(const JournalRun& run, const ListingChanges& changes)> compared;
  // The time, for the journal and the snapshots' names; nothing else trusts it.
  std::function<std::chrono::system_clock::time_point()> now = std::chrono::system_clock::now;

 private:
  struct Chain;

  void Checked(const std::string& folder, const JournalRun& done, const SnapshotSettings& settings,
               const SnapshotCheck& check);
  void Start(std::unique_ptr<Chain> chain);
  void Started(const RunHistory::Started& started);
  void TakeSnapshot(bool withSacl);
  void SnapshotTaken(bool withSacl, const SnapshotCheck& check);
  void SnapshotFailed(const std::string& why);
  void RunCommand();
  void ListAfter();
  void Compare();
  void Compared(Chain& chain, const std::optional<ListingChanges>& changes);
  void Discard();
  void NotRun(const std::string& status);
  void End(std::string status);
  void Write(std::string record);

  forms::Dialogs& dialogs_;
  CommandRun& run_;
  RunHistory& history_;
  std::function<void(std::string)> status_;
  std::unique_ptr<Chain> chain_;  // the run under way
  bool checking_ = false;         // an undo's snapshot is being read
  std::string newest_;            // the id of the last run started
};

// All an undo's listings show of whether its run's objects are back.
struct UndoEvidence {
  RunOutcome restore;
  // The run's snapshot compared with the listing after the undo.
  std::optional<ListingChanges> back = {};
  bool auditCompared = true;
  std::string restoreOutput = {};
  // What SetACL.exe said of objects it could not list, before or after.
  std::vector<std::string> listingProblems = {};
  // The run reached the object alone: what lies below it was not listed.
  bool belowNotListed = false;
};
struct UndoVerdict {
  std::string text;
  bool allBack = false;
};
// "back" only where the restore succeeded, every object was listed and
// compared, and nothing differs.
UndoVerdict VerdictOf(const UndoEvidence& evidence);
// The lines of a listing's output that say an object could not be listed.
std::vector<std::string> ListingProblems(const std::string& output);
