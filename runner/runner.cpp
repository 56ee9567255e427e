#include "runner/runner.h"

#include "platform/processes.h"

Runner::Runner(platform::Services& services, RunView view)
    : services_(services),
      history_(services.files, services.workers, services.security,
               [&processes = services.processes](std::string_view ansi) { return processes.FromAnsi(ansi); },
               services.programFolder),
      command_(services.processes, services.dialogs, view),
      undoable_(services.dialogs, command_, history_, view.status),
      reach_(services.workers, services.tree) {
  undoable_.compared = [this](const JournalRun& run, const ListingChanges& changes) {
    last_ = Last{run, changes};
    if (lastChanged) lastChanged();
  };
}

void Runner::Send(const std::string& folder, const std::string& arguments, bool changes,
                  const SnapshotSettings& settings) {
  undoable_.Send(folder, arguments, changes, settings);
}

void Runner::Undo(const std::string& folder, const JournalRun& run, const SnapshotSettings& settings) {
  undoable_.Undo(folder, run, settings);
}

void Runner::List(const std::string& folder, const std::string& arguments,
                  std::function<void(const RunResult&)> done) {
  if (undoable_.busy()) return;
  command_.Run(folder, arguments, std::move(done), {.keepOutput = true, .changesNothing = true});
}

void Runner::WhatChanged(const JournalRun& run, std::function<void(std::optional<ListingChanges>)> done) {
  if (run.snapshot.empty() || !run.changed) return done(std::nullopt);
  history_.Compare(run.snapshot, run.changed->after, std::move(done));
}
