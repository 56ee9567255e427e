#pragma once
// Send It with a way back. Before a command that changes something, the
// tool lists the objects it reaches into a snapshot; after it, lists them
// again, and the two are compared off the interface thread. Undo sets a run's
// objects back from its snapshot through the same steps, and then says
// whether every object is back as it was. Each step goes into the journal.

#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "runner/journal.h"
#include "runner/listing_changes.h"
#include "runner/run_history.h"
#include "platform/services.h"
#include "runner/command_run.h"

class UndoableRun {
 public:
  UndoableRun(platform::Services& services, CommandRun& run, CommandRun::Window window,
              RunHistory& history);
  ~UndoableRun();

  // Runs the user's command: `scope` names what a snapshot of it covers,
  // `changes` whether it changes anything at all.
  void Send(const std::string& folder, const std::string& arguments, const std::string& scope,
            bool changes, const SnapshotSettings& settings);
  // Asks, then sets the objects of a run back as its snapshot holds them.
  void Undo(const std::string& folder, const JournalRun& run, const SnapshotSettings& settings);

  // What a run changed, once compared.
  std::function<void(const JournalRun& run, const ListingChanges& changes)> compared;
  // The time, for the journal and the snapshots' names.
  std::function<std::chrono::system_clock::time_point()> now = std::chrono::system_clock::now;

 private:
  struct Chain;

  void Start(std::unique_ptr<Chain> chain);
  void TakeSnapshot(bool withSacl);
  void SnapshotFailed(const std::string& why);
  void RunCommand();
  void ListAfter();
  void Compare();
  void Compared(Chain& chain, const std::optional<ListingChanges>& changes);
  void Verdict(const std::optional<ListingChanges>& back, const std::string& output);
  void NotRun(const std::string& status);
  void End(std::string status);
  void Write(std::string record) { history_.Write(std::move(record)); }
  std::string NewId(std::chrono::system_clock::time_point time);

  platform::Services& services_;
  CommandRun& run_;
  CommandRun::Window window_;
  RunHistory& history_;
  std::unique_ptr<Chain> chain_;  // the run under way
  std::string lastId_;
};
