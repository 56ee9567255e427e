#include "runner/undoable_run.h"

#include "setacl/call_string.h"
#include "platform/error_text.h"
#include "setacl/arguments.h"
#include "setacl/scope.h"
#include "runner/command_line_fits.h"

namespace {

// Objects and lines a message names before it says how many more there are.
constexpr std::size_t kNamed = 10;

// "1 object" or "312 objects".
std::string Objects(std::uint64_t n) { return Grouped(n) + (n == 1 ? " object" : " objects"); }

// The lines of the tool's output that name an object.
std::string ToolSaid(const std::string& output, const std::string& path) {
  std::string said;
  ForEachLine(output, [&](std::string_view line, std::string_view) {
    if (line.find(path) != std::string_view::npos)
      said += "    The tool said: " + std::string(line) + "\r\n";
  });
  return said;
}

// The first few, and how many more.
std::string Named(const std::vector<std::string>& items, std::size_t total) {
  std::vector<std::string> first(items.begin(), items.begin() + std::min(items.size(), kNamed));
  std::string out = Joined(first, "\r\n");
  if (total > first.size()) out += "\r\nand " + Grouped(total - first.size()) + " more";
  return out;
}

std::string ToolEnded(const RunResult& result) {
  return "SetACL.exe ended (" + OutcomeWords(result.outcome) + ")" +
         (result.output.empty() ? "." : " and wrote:\r\n" + result.output);
}

// What keeps a snapshot from being restored whole and within its run.
std::string Unfit(const SnapshotCheck& check, const Scope& scope) {
  if (!check.unreadable.empty())
    return Grouped(check.unreadable.size()) + (check.unreadable.size() == 1 ? " line" : " lines") +
           " of it could not be read, the first:\r\n" + check.unreadable.front();
  if (check.outsideCount)
    return "it names " + Objects(check.outsideCount) + " outside what the run reaches (" +
           ScopeWords(scope) + "):\r\n" + Named(check.outside, check.outsideCount);
  return {};
}

}  // namespace

struct UndoableRun::Chain {
  JournalRun run;
  std::string folder, arguments;
  SnapshotSettings settings;
  bool snapshot = false;              // one is to be taken
  bool madeFile = false;              // its snapshot's file was made for it
  bool changesSacl = false;           // the command changes a SACL
  bool journal = true;                // its records are written
  std::optional<JournalRun> undoing;  // the run this one sets back
  // The snapshots it reads, kept as they were read: its own, and the one it restores.
  std::shared_ptr<platform::FileSystem::Lock> pin, undonePin;
  std::vector<std::string> listingProblems;
  std::chrono::steady_clock::time_point started;
  std::string runStatus;  // how the command itself ended
  RunResult result;       // of the command itself
};

UndoableRun::UndoableRun(forms::Dialogs& dialogs, CommandRun& run, RunHistory& history,
                         std::function<void(std::string)> status)
    : dialogs_(dialogs), run_(run), history_(history), status_(std::move(status)) {}

UndoableRun::~UndoableRun() = default;

void UndoableRun::Write(std::string record) {
  if (chain_ && chain_->journal) history_.Write(std::move(record));
}

void UndoableRun::Send(const std::string& folder, const std::string& arguments, bool changes,
                       const SnapshotSettings& settings) {
  if (run_.running() || busy()) return;
  // A command that cannot start takes no snapshot either.
  if (!folder.empty() && !CommandLineFits(dialogs_, CommandRun::LineOf(folder, arguments))) return;
  auto chain = std::make_unique<Chain>();
  auto scope = ScopeOfCall(arguments);
  if (scope) chain->run.scope = *scope;
  chain->folder = folder;
  chain->arguments = arguments;
  chain->settings = settings;
  chain->snapshot = changes && settings.on && scope;
  chain->changesSacl = ChangesSacl(arguments);
  Start(std::move(chain));
}

void UndoableRun::Undo(const std::string& folder, const JournalRun& done,
                       const SnapshotSettings& settings) {
  if (run_.running() || busy()) return;
  if (done.snapshot.empty())
    return dialogs_.tell("This run has no snapshot to go back to.", "Undo");
  checking_ = true;
  run_.Hold();
  status_("Reading the snapshot of the run of " + done.time + "...");
  history_.Check(done.snapshot, done.scope,
                 [this, folder, done, settings](const SnapshotCheck& check) {
                   checking_ = false;
                   Checked(folder, done, settings, check);
                 });
}

// An elevated program restores whatever a snapshot says: one that cannot
// be read whole, or names an object its run never reached, is refused. The
// snapshot stays pinned from its reading to the restore.
void UndoableRun::Checked(const std::string& folder, const JournalRun& done,
                          const SnapshotSettings& settings, const SnapshotCheck& check) {
  auto refuse = [&](const std::string& why) {
    run_.Release();
    status_("Not undone.");
    dialogs_.tell(why, "Undo", forms::Icon::Critical);
  };
  const std::string path = history_.PathOf(done.snapshot);
  if (!check.read)
    return refuse("The snapshot of this run could not be read: " + path +
                  ". Nothing was set back.");
  if (std::string unfit = Unfit(check, done.scope); !unfit.empty())
    return refuse("The snapshot " + path + " was not restored: " + unfit);
  if (check.objects == 0)
    return refuse("The snapshot of this run holds no object: " + path + ". Nothing was set back.");
  // The restore writes every object of the snapshot, changed or not.
  std::string question = check.objects == 1
                             ? "Set the object of its snapshot back as it was before this run?"
                             : "Set the " + Objects(check.objects) +
                                   " of its snapshot back as they were before this run?";
  if (done.changed)
    question += done.changed->changed == 1
                    ? " The run changed 1 of them."
                    : " The run changed " + Grouped(done.changed->changed) + " of them.";
  if (!done.snapshotHasSacl)
    question += "\r\n\r\nIts snapshot holds no audit entries: they stay as they are now.";
  if (!check.others.empty())
    question += "\r\n\r\nWarning: besides Administrators and SYSTEM, " +
                Joined(check.others, ", ") + " can change the snapshots folder " +
                history_.folder() +
                ", its journal or this snapshot: the snapshot may not be what this run left.";
  if (!check.unknownSecurity.empty())
    question += "\r\n\r\nWarning: whether anyone but Administrators and SYSTEM can change " +
                Joined(check.unknownSecurity, ", ") +
                " is not known: the security could not be read.";
  if (!dialogs_.confirm(question, "Undo the Run of " + done.time + "?", forms::Icon::Question)) {
    run_.Release();
    return status_("");
  }
  auto chain = std::make_unique<Chain>();
  chain->run.undoOf = done.id;
  chain->run.scope = done.scope;
  chain->folder = folder;
  chain->arguments = RestoreFromFile(ScopeArguments(done.scope), path);
  chain->settings = settings;
  // Its own snapshot first, so an undo can be undone.
  chain->snapshot = true;
  chain->changesSacl = done.snapshotHasSacl;
  chain->undoing = done;
  chain->undonePin = check.pin;
  if (!CommandLineFits(dialogs_, CommandRun::LineOf(folder, chain->arguments))) {
    run_.Release();
    return status_("Not undone.");
  }
  Start(std::move(chain));
}

// The id first: its snapshot's file name and the journal's records hang on it.
void UndoableRun::Start(std::unique_ptr<Chain> chain) {
  chain_ = std::move(chain);
  JournalRun& run = chain_->run;
  auto time = now();
  run.id = LocalTime(time, "%Y-%m-%d %H.%M.%S");
  run.time = LocalTime(time, "%Y-%m-%d %H:%M:%S");
  run.commandLine = CommandRun::LineOf(chain_->folder, chain_->arguments);
  run_.Hold();
  if (long folderError = history_.MakeFolder(); folderError && chain_->snapshot) {
    // No folder, no journal and no id of its own: nothing is written there.
    chain_->snapshot = false;
    chain_->journal = false;
    return SnapshotFailed("the folder " + history_.folder() +
                          " could not be made: " + platform::SystemErrorText(folderError));
  }
  history_.Start(run, chain_->snapshot,
                 [this](const RunHistory::Started& started) { Started(started); });
}

void UndoableRun::Started(const RunHistory::Started& started) {
  if (!chain_) return;
  JournalRun& run = chain_->run;
  run.id = newest_ = started.id;
  chain_->madeFile = chain_->snapshot && !started.snapshotError;
  if (started.journalError) {
    chain_->journal = false;
    if (!dialogs_.confirm("The journal of runs could not be written: " +
                              platform::SystemErrorText(started.journalError) +
                              "\r\n\r\nRun without it? The run will be missing from Runs.",
                          "No Journal", forms::Icon::Critical)) {
      Discard();
      return End("Not run: the journal could not be written.");
    }
  }
  if (!chain_->snapshot) return RunCommand();
  // Every line of the chain must start, or none does.
  for (const std::string& file : {BeforeFile(run.id), AfterFile(run.id)})
    if (!CommandLineFits(
            dialogs_,
            CommandRun::LineOf(chain_->folder, ListingToFile(ScopeArguments(run.scope),
                                                             history_.PathOf(file), true)))) {
      Discard();
      return NotRun("Not run: its snapshot's command line is too long.");
    }
  if (started.snapshotError)
    return SnapshotFailed(
        "its file " + history_.PathOf(BeforeFile(run.id)) +
        " could not be made: " + platform::SystemErrorText(started.snapshotError));
  TakeSnapshot(true);
}

// Without the right to read audit entries the tool lists none: the snapshot
// is taken again without them, and says so.
void UndoableRun::TakeSnapshot(bool withSacl) {
  const std::string file = BeforeFile(chain_->run.id);
  bool started = run_.Run(
      chain_->folder,
      ListingToFile(ScopeArguments(chain_->run.scope), history_.PathOf(file), withSacl),
      [this, withSacl](const RunResult& result) {
        if (result.outcome.kind == RunOutcome::Kind::Stopped) {
          Discard();
          return NotRun("Stopped during the snapshot: nothing ran.");
        }
        if (result.outcome.succeeded()) {
          chain_->listingProblems = ListingProblems(result.output);
          return history_.Check(
              BeforeFile(chain_->run.id), chain_->run.scope,
              [this, withSacl](const SnapshotCheck& check) { SnapshotTaken(withSacl, check); });
        }
        if (withSacl) return TakeSnapshot(false);
        SnapshotFailed(ToolEnded(result));
      },
      {.quiet = true,
       .keepOutput = true,
       .changesNothing = true,
       .label = withSacl ? "Taking a snapshot" : "Taking a snapshot without audit entries"});
  if (!started) {
    Discard();
    NotRun("");  // the user was told why
  }
}

// A snapshot that holds no object for an object the tool could list is no
// snapshot at all; one an undo would refuse is said so before the run.
void UndoableRun::SnapshotTaken(bool withSacl, const SnapshotCheck& check) {
  if (!chain_) return;
  const std::string file = BeforeFile(chain_->run.id);
  if (!check.read || check.objects == 0)
    return SnapshotFailed("SetACL.exe listed no object into " + history_.PathOf(file) + ".");
  if (std::string unfit = Unfit(check, chain_->run.scope); !unfit.empty())
    return SnapshotFailed("an undo could not restore it: " + unfit);
  JournalRun& run = chain_->run;
  run.snapshot = file;
  run.snapshotHasSacl = withSacl;
  chain_->pin = check.pin;
  Write(SnapshotRecord(run));
  if (!withSacl && chain_->changesSacl &&
      !dialogs_.confirm(
          "The snapshot holds no audit entries: SetACL.exe could not read them. This "
          "command changes a SACL, so its audit entries could not be set back, and What "
          "Changed will not compare them.\r\n\r\nRun it all the same?",
          "No Audit Entries in the Snapshot?", forms::Icon::Critical))
    return NotRun("Not run: the snapshot holds no audit entries.");
  RunCommand();
}

void UndoableRun::SnapshotFailed(const std::string& why) {
  Discard();
  chain_->run.snapshot.clear();
  chain_->pin.reset();
  if (dialogs_.confirm(
          "The snapshot before the run failed: " + why + "\r\n\r\nRun without a snapshot?",
          "Snapshot Failed", forms::Icon::Critical))
    return RunCommand();
  NotRun("Not run: the snapshot failed.");
}

// Only the file this run made is ever removed.
void UndoableRun::Discard() {
  if (std::exchange(chain_->madeFile, false)) history_.Discard(BeforeFile(chain_->run.id));
}

void UndoableRun::RunCommand() {
  chain_->started = std::chrono::steady_clock::now();
  bool started =
      run_.Run(chain_->folder, chain_->arguments,
               [this](const RunResult& result) {
                 auto took = std::chrono::steady_clock::now() - chain_->started;
                 chain_->run.finished = JournalRun::Finished{
                     result.outcome,
                     static_cast<std::uint64_t>(
                         std::chrono::duration_cast<std::chrono::milliseconds>(took).count())};
                 Write(FinishedRecord(chain_->run));
                 chain_->result = result;
                 chain_->runStatus = EndStatus(result.progress, result.outcome);
                 // An undo is listed after it even without a snapshot of its own: its verdict needs
                 // it.
                 if (chain_->run.snapshot.empty() && !chain_->undoing)
                   return End(chain_->runStatus);
                 ListAfter();
               },
               {.keepOutput = chain_->undoing.has_value()});
  if (!started) NotRun("");  // the user was told why
}

// A run stopped halfway changed something too: it is listed all the same.
void UndoableRun::ListAfter() {
  const std::string file = AfterFile(chain_->run.id);
  auto notKnown = [this](const std::string& why) {
    if (chain_->undoing)
      dialogs_.tell("Whether every object is back is not known: " + why, "Undo",
                    forms::Icon::Critical);
    End(chain_->runStatus + " What it changed is not known: " + why);
  };
  const bool withSacl =
      chain_->run.snapshot.empty() ? chain_->undoing->snapshotHasSacl : chain_->run.snapshotHasSacl;
  bool started =
      run_.Run(chain_->folder,
               ListingToFile(ScopeArguments(chain_->run.scope), history_.PathOf(file), withSacl),
               [this, file, notKnown, withSacl](const RunResult& result) {
                 if (!result.outcome.succeeded())
                   return notKnown("the listing after it did not succeed (" +
                                   OutcomeWords(result.outcome) + ").");
                 for (std::string& problem : ListingProblems(result.output))
                   chain_->listingProblems.push_back(std::move(problem));
                 chain_->run.changed = JournalRun::Changed{file, 0, 0, 0};
                 if (chain_->run.snapshot.empty()) chain_->run.snapshotHasSacl = withSacl;
                 Compare();
               },
               {.quiet = true,
                .keepOutput = true,
                .changesNothing = true,
                .label = "Listing what the run changed"});
  if (!started) notKnown("the listing after it did not start.");
}

// The window is free again while the listings are compared; a newer run's
// status is left alone when an older comparison ends.
void UndoableRun::Compare() {
  std::shared_ptr<Chain> chain(chain_.release());
  run_.Release();
  status_(chain->runStatus + " Comparing the listings...");
  const JournalRun& run = chain->run;
  if (!run.snapshot.empty())
    history_.Compare(
        run.snapshot, run.changed->after,
        [this, chain](std::optional<ListingChanges> changes) { Compared(*chain, changes); });
  if (!chain->undoing) return;
  // Audit entries count only where both listings hold them.
  const bool audit = chain->undoing->snapshotHasSacl && run.snapshotHasSacl;
  history_.Compare(
      chain->undoing->snapshot, run.changed->after,
      [this, chain, audit](std::optional<ListingChanges> back) {
        const Scope& scope = chain->run.scope;
        UndoVerdict verdict =
            VerdictOf({chain->result.outcome, std::move(back), audit, chain->result.output,
                       chain->listingProblems,
                       scope.recursion == Recursion::No &&
                           (scope.type == ObjectType::File || scope.type == ObjectType::Registry)});
        dialogs_.tell(verdict.text, "Undo",
                      verdict.allBack ? forms::Icon::Information : forms::Icon::Critical);
      },
      audit);
}

void UndoableRun::Compared(Chain& chain, const std::optional<ListingChanges>& changes) {
  JournalRun& run = chain.run;
  bool newest = run.id == newest_ && !chain_;
  if (!changes) {
    if (newest)
      status_(chain.runStatus + " What it changed is not known: its listings could not be read.");
    return;
  }
  run.changed->changed = changes->changed;
  run.changed->objects = changes->objects;
  run.changed->unreadable = changes->unreadable;
  if (chain.journal) history_.Write(ChangedRecord(run));
  history_.Prune(chain.settings);
  std::string summary = ChangesSummary(*changes) + ComparedCaveats(run);
  if (!chain.listingProblems.empty())
    summary += "; SetACL.exe could not list " + Objects(chain.listingProblems.size());
  if (newest) status_(summary + ". " + chain.runStatus);
  if (compared) compared(run, *changes);
}

void UndoableRun::NotRun(const std::string& status) {
  chain_->run.finished = JournalRun::Finished{RunOutcome{RunOutcome::Kind::NotRun}, 0};
  Write(FinishedRecord(chain_->run));
  End(status);
}

void UndoableRun::End(std::string status) {
  history_.Prune(chain_->settings);
  chain_.reset();
  run_.Release();
  status_(std::move(status));
}

std::vector<std::string> ListingProblems(const std::string& output) {
  std::vector<std::string> problems;
  ForEachLine(output, [&](std::string_view line, std::string_view) {
    std::string lower = Lower(line);
    for (const char* sign : {"could not", "error message", "error:", "finished with error", "denied", "failed"})
      if (lower.find(sign) != std::string::npos) return problems.emplace_back(line), void();
  });
  return problems;
}

UndoVerdict VerdictOf(const UndoEvidence& e) {
  std::string head;
  if (!e.restore.succeeded())
    head = "The restore did not succeed (" + OutcomeWords(e.restore) +
           "): not every object may be back.\r\n";
  if (!e.listingProblems.empty())
    head += "SetACL.exe could not list every object, so not every one was compared:\r\n" +
            Named(e.listingProblems, e.listingProblems.size()) + "\r\n";
  if (!e.back)
    return {head + "Whether every object is back is not known: the listings could not be read.",
            false};
  const ListingChanges& back = *e.back;
  const std::size_t total = back.listedBefore;
  if (total == 0)
    return {head + "The snapshot of the run holds no object: nothing was compared.", false};
  std::string notes;
  if (!e.auditCompared) notes += "\r\nAudit entries were not compared: a snapshot holds none.";
  if (e.belowNotListed)
    notes += "\r\nWhat lies below the object, if anything, was not listed, so not compared.";
  const std::string subject = total == 1 ? "The object" : "Every one of the " + Objects(total);
  if (back.differing() == 0) {
    if (!head.empty())
      return {head + "Yet " + (total == 1 ? "the object" : "every one of the " + Objects(total)) +
                  " reads as before the run." + notes,
              false};
    if (!e.auditCompared)
      return {subject + " has its owner, group and DACL back as before." + notes, false};
    return {subject + " is back as it was." + notes, true};
  }
  std::string text = head + Grouped(back.differing()) + " of " + Objects(back.objects) +
                     (back.differing() == 1 ? " is" : " are") +
                     " not back as before the run, or not known to be:\r\n";
  for (std::size_t i = 0; i < back.changes.size() && i < kNamed; ++i) {
    const ObjectChange& object = back.changes[i];
    text += object.path + "\r\n";
    for (const std::string& line : object.lines) text += "    " + line + "\r\n";
    text += ToolSaid(e.restoreOutput, object.path);
  }
  if (back.differing() > kNamed) text += "and " + Grouped(back.differing() - kNamed) + " more.";
  return {text + notes, false};
}
