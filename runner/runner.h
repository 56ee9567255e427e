#pragma once
// The running of commands for the windows, in one piece: the command run
// with its output and status, "Send It" with its snapshot chain, Undo, the
// history of runs, the last run's changes, and the reach of a recursive
// command. The windows call it and hear back typed results; it reads no
// window.

#include <functional>
#include <optional>
#include <string>

#include "platform/services.h"
#include "runner/command_run.h"
#include "runner/journal.h"
#include "runner/listing_changes.h"
#include "runner/reach.h"
#include "runner/run_history.h"
#include "runner/undoable_run.h"

class Runner {
 public:
  Runner(platform::Services& services, RunView view);

  // "Send It": the call's arguments, whether it changes anything.
  void Send(const std::string& folder, const std::string& arguments, bool changes,
            const SnapshotSettings& settings);
  void Undo(const std::string& folder, const JournalRun& run, const SnapshotSettings& settings);
  // A listing that changes nothing ("Current Permissions"): its output and
  // how it ended, handed back.
  void List(const std::string& folder, const std::string& arguments,
            std::function<void(const RunResult&)> done);
  // What a run of the journal changed, compared anew from its listings.
  void WhatChanged(const JournalRun& run, std::function<void(std::optional<ListingChanges>)> done);

  // The last run compared in this program, and what it changed.
  struct Last {
    JournalRun run;
    ListingChanges changes;
  };
  const std::optional<Last>& last() const { return last_; }
  // Raised when a newer run's changes arrive.
  std::function<void()> lastChanged;

  CommandRun& command() { return command_; }
  RunHistory& history() { return history_; }
  UndoableRun& undoable() { return undoable_; }
  Reach& reach() { return reach_; }

 private:
  platform::Services& services_;
  RunHistory history_;
  CommandRun command_;
  UndoableRun undoable_;
  Reach reach_;
  std::optional<Last> last_;
};
