#pragma once
// The history of runs as a journal: UTF-8, one record a line, each appended
// as its step happens (a run started, its snapshot saved, it finished, what
// it changed), so a run the program never saw finish still shows, as
// interrupted. Fields are tab-separated with tabs, line breaks and
// backslashes escaped, and each line ends in a checksum of its own, so a
// damaged record is skipped (and counted) and never the whole journal.
// File names it holds are taken only as plain names in the snapshots folder.

#include <cstdint>
#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "setacl/scope.h"
#include "runner/run_status.h"

struct JournalRun {
  JournalRun() = default;
  // A run as its start records it.
  JournalRun(std::string id, std::string time = {}, std::string undoOf = {}, Scope scope = {},
             std::string commandLine = {})
      : id(std::move(id)), time(std::move(time)), undoOf(std::move(undoOf)), scope(std::move(scope)),
        commandLine(std::move(commandLine)) {}

  std::string id;           // date and time, unique; names the run's snapshot files
  std::string time;         // "2026-12-07 17:16:39", local
  std::string undoOf;       // the run this one undoes; empty for a command of the user's
  Scope scope;              // what its snapshots cover
  std::string commandLine;  // as run

  std::string snapshot;  // BeforeFile(id), the listing before the run; empty: none
  bool snapshotHasSacl = false;

  struct Finished {
    RunOutcome outcome;
    std::uint64_t milliseconds = 0;
  };
  std::optional<Finished> finished;  // none: interrupted

  struct Changed {
    std::string after;  // AfterFile(id), the listing after the run
    std::uint64_t changed = 0, objects = 0, unreadable = 0;
  };
  std::optional<Changed> changed;
};

struct Journal {
  std::vector<JournalRun> runs;  // oldest first
  std::size_t damaged = 0;       // records skipped
  std::vector<std::string> refused;  // file names that are not plain names, never used
  std::set<std::string> ids;     // of every whole record, its run's start read or not
};

// The files of a run's snapshot, by its id.
std::string BeforeFile(const std::string& id);
std::string AfterFile(const std::string& id);
// A name of a file in the snapshots folder and nothing more: no folder, no
// drive, no `..`, no quote or control character.
bool PlainFileName(std::string_view name);

std::string StartedRecord(const JournalRun& run);
std::string SnapshotRecord(const JournalRun& run);
std::string FinishedRecord(const JournalRun& run);
std::string ChangedRecord(const JournalRun& run);

Journal ReadJournal(std::string_view text);
// How a run ended, "Not finished" when it never said.
std::string OutcomeWords(const JournalRun& run);
// What a comparison of a run's listings leaves out, "; ..." each: audit
// entries where the snapshot holds none, and what lies below an object a
// run did not recurse into (a change to a folder's inheritable entries may
// reach it).
std::string ComparedCaveats(const JournalRun& run);
// The journal's text without the records of these runs; damaged records stay.
std::string WithoutRuns(std::string_view text, const std::set<std::string>& ids);

// The runs to remove, oldest first, so that at most `keepRuns` remain and
// their files take at most `keepBytes`; the newest run always stays. `bytes`
// gives the size of a run's files.
template <class Bytes>
std::set<std::string> RunsBeyond(const Journal& journal, std::size_t keepRuns,
                                 std::uint64_t keepBytes, Bytes bytes) {
  std::set<std::string> drop;
  std::uint64_t total = 0;
  for (const JournalRun& run : journal.runs) total += bytes(run);
  std::size_t left = journal.runs.size();
  for (std::size_t i = 0; i + 1 < journal.runs.size(); ++i) {
    if (left <= keepRuns && total <= keepBytes) break;
    drop.insert(journal.runs[i].id);
    total -= bytes(journal.runs[i]);
    --left;
  }
  return drop;
}
