#include "runner/undoable_run.h"

#include <ctime>

#include "forms/dialogs.h"
#include "main/call_string.h"
#include "platform/error_text.h"
#include "platform/files.h"
#include "run/arguments.h"
#include "runner/run_status.h"

namespace {

// Objects a verdict names before it says how many more there are.
constexpr std::size_t kNamedObjects = 10;

std::string LocalTime(std::chrono::system_clock::time_point time, const char* format) {
  std::time_t t = std::chrono::system_clock::to_time_t(time);
  char text[32];
  std::strftime(text, sizeof text, format, std::localtime(&t));
  return text;
}

std::string Outcome(const DOSOutputs::Result& result) {
  if (result.stopped) return "stopped";
  return result.exited ? "exit " + std::to_string(result.exitCode) : "ended";
}

bool Succeeded(const DOSOutputs::Result& result) {
  return !result.stopped && result.exited && result.exitCode == 0;
}

// "1 object" or "312 objects".
std::string Objects(std::uint64_t n) { return Grouped(n) + (n == 1 ? " object" : " objects"); }

// The lines of the tool's output that name an object.
std::string ToolSaid(const std::string& output, const std::string& path) {
  std::string said;
  ForEachLine(output, [&](std::string_view line, std::string_view) {
    if (line.find(path) != std::string_view::npos) said += "    The tool said: " + std::string(line) + "\r\n";
  });
  return said;
}

}  // namespace

struct UndoableRun::Chain {
  JournalRun run;
  std::string folder, arguments;
  SnapshotSettings settings;
  bool snapshot = false;               // one is to be taken
  std::optional<JournalRun> undoing;   // the run this one sets back
  std::chrono::steady_clock::time_point started;
  std::string runStatus;               // how the command itself ended
  std::string output;                  // what an undo's restore wrote, for its verdict
};

UndoableRun::UndoableRun(platform::Services& services, CommandRun& run, CommandRun::Window window,
                         RunHistory& history)
    : services_(services), run_(run), window_(window), history_(history) {}

UndoableRun::~UndoableRun() = default;

std::string UndoableRun::NewId(std::chrono::system_clock::time_point time) {
  std::string base = LocalTime(time, "%Y-%m-%d %H.%M.%S"), id = base;
  for (int n = 2; id <= lastId_ || services_.files.FileExists(history_.PathOf(id + " before.txt")); ++n)
    id = base + " (" + std::to_string(n) + ")";
  return lastId_ = id;
}

void UndoableRun::Send(const std::string& folder, const std::string& arguments,
                       const std::string& scope, bool changes, const SnapshotSettings& settings) {
  if (run_.running() || chain_) return;
  auto chain = std::make_unique<Chain>();
  chain->run.scope = scope;
  chain->folder = folder;
  chain->arguments = arguments;
  chain->settings = settings;
  chain->snapshot = changes && settings.on;
  Start(std::move(chain));
}

void UndoableRun::Undo(const std::string& folder, const JournalRun& done,
                       const SnapshotSettings& settings) {
  if (run_.running() || chain_) return;
  if (done.snapshot.empty())
    return services_.dialogs.tell("This run has no snapshot to go back to.", "Undo");
  std::string question =
      done.changed ? "Set " + Objects(done.changed->changed) + " back as " +
                         (done.changed->changed == 1 ? "it was" : "they were") + " before this run?"
                   : "Set the objects of its snapshot back as they were before this run?";
  if (!services_.dialogs.confirm(question, "Undo the Run of " + done.time + "?", forms::Icon::Question))
    return;
  auto chain = std::make_unique<Chain>();
  chain->run.undoOf = done.id;
  chain->run.scope = done.scope;
  chain->folder = folder;
  chain->arguments = RestoreFromFile(done.scope, history_.PathOf(done.snapshot));
  chain->settings = settings;
  // Its own snapshot first, so an undo can be undone.
  chain->snapshot = true;
  chain->undoing = done;
  Start(std::move(chain));
}

void UndoableRun::Start(std::unique_ptr<Chain> chain) {
  chain_ = std::move(chain);
  JournalRun& run = chain_->run;
  auto time = now();
  run.id = NewId(time);
  run.time = LocalTime(time, "%Y-%m-%d %H:%M:%S");
  run.commandLine = CommandRun::LineOf(chain_->folder, chain_->arguments);
  long folderError = history_.MakeFolder();
  Write(StartedRecord(run));
  run_.Hold();
  if (!chain_->snapshot) return RunCommand();
  if (folderError)
    return SnapshotFailed("the folder " + history_.folder() + " could not be made: " +
                          platform::SystemErrorText(folderError));
  TakeSnapshot(true);
}

// Without the right to read audit entries the tool lists none: the snapshot
// is taken again without them, and says so.
void UndoableRun::TakeSnapshot(bool withSacl) {
  std::string file = chain_->run.id + " before.txt";
  bool started = run_.Run(
      chain_->folder, ListingToFile(chain_->run.scope, history_.PathOf(file), withSacl),
      [this, file, withSacl](const DOSOutputs::Result& result) {
        if (result.stopped) return NotRun("Stopped during the snapshot: nothing ran.");
        if (Succeeded(result) && services_.files.FileSize(history_.PathOf(file)) > 0) {
          chain_->run.snapshot = file;
          chain_->run.snapshotHasSacl = withSacl;
          Write(SnapshotRecord(chain_->run));
          return RunCommand();
        }
        if (withSacl) return TakeSnapshot(false);
        std::string said = run_.collected();
        SnapshotFailed(Succeeded(result)
                           ? "SetACL.exe wrote no listing into " + history_.PathOf(file) + "."
                           : "SetACL.exe ended with " + Outcome(result) +
                                 (said.empty() ? "." : " and wrote:\r\n" + said));
      },
      {true, withSacl ? "Taking a snapshot" : "Taking a snapshot without audit entries"});
  if (!started) NotRun("");  // the user was told why
}

void UndoableRun::SnapshotFailed(const std::string& why) {
  if (services_.dialogs.confirm("The snapshot before the run failed: " + why +
                                    "\r\n\r\nRun without a snapshot?",
                                "Snapshot Failed", forms::Icon::Critical))
    return RunCommand();
  NotRun("Not run: the snapshot failed.");
}

void UndoableRun::RunCommand() {
  chain_->started = std::chrono::steady_clock::now();
  bool started = run_.Run(chain_->folder, chain_->arguments, [this](const DOSOutputs::Result& result) {
    auto took = std::chrono::steady_clock::now() - chain_->started;
    chain_->run.finished = JournalRun::Finished{
        Outcome(result),
        static_cast<std::uint64_t>(std::chrono::duration_cast<std::chrono::milliseconds>(took).count())};
    Write(FinishedRecord(chain_->run));
    chain_->runStatus = window_.status.text();
    if (chain_->undoing) chain_->output = window_.output.text();
    if (chain_->run.snapshot.empty()) return End(chain_->runStatus);
    ListAfter();
  });
  if (!started) NotRun("");  // the user was told why
}

// A run stopped halfway changed something too: it is listed all the same.
void UndoableRun::ListAfter() {
  std::string file = chain_->run.id + " after.txt";
  bool started = run_.Run(
      chain_->folder, ListingToFile(chain_->run.scope, history_.PathOf(file), chain_->run.snapshotHasSacl),
      [this, file](const DOSOutputs::Result& result) {
        if (!Succeeded(result))
          return End(chain_->runStatus + " What it changed is not known: the listing after it " +
                     (result.stopped ? "was stopped." : "failed (" + Outcome(result) + ")."));
        chain_->run.changed = JournalRun::Changed{file, 0, 0, 0};
        Compare();
      },
      {true, "Listing what the run changed"});
  if (!started) End(chain_->runStatus + " What it changed is not known: the listing after it did not start.");
}

// The window is free again while the listings are compared; a newer run's
// status is left alone when an older comparison ends.
void UndoableRun::Compare() {
  std::shared_ptr<Chain> chain(chain_.release());
  run_.Release();
  window_.status.setText(chain->runStatus + " Comparing the listings...");
  const JournalRun& run = chain->run;
  history_.Compare(run.snapshot, run.changed->after, [this, chain](std::optional<ListingChanges> changes) {
    Compared(*chain, changes);
  });
  if (chain->undoing)
    history_.Compare(chain->undoing->snapshot, run.changed->after,
                     [this, chain](std::optional<ListingChanges> back) { Verdict(back, chain->output); });
}

void UndoableRun::Compared(Chain& chain, const std::optional<ListingChanges>& changes) {
  JournalRun& run = chain.run;
  bool newest = run.id == lastId_ && !chain_;
  if (!changes) {
    if (newest) window_.status.setText(chain.runStatus + " What it changed is not known: its listings could not be read.");
    return;
  }
  run.changed->changed = changes->changed;
  run.changed->objects = changes->objects;
  run.changed->unreadable = changes->unreadable;
  Write(ChangedRecord(run));
  history_.Prune(chain.settings);
  std::string summary = ChangesSummary(*changes);
  if (!run.snapshotHasSacl) summary += "; the snapshot holds no audit entries";
  if (newest) window_.status.setText(summary + ". " + chain.runStatus);
  if (compared) compared(run, *changes);
}

// Whether an undo set every object back as the snapshot of the run it undid
// holds it, and for those it did not, what differs and what the tool said.
void UndoableRun::Verdict(const std::optional<ListingChanges>& back, const std::string& output) {
  if (!back)
    return services_.dialogs.tell(
        "The snapshot of the run could not be read again: whether every object is back is not known.",
        "Undo", forms::Icon::Critical);
  if (back->changes.empty())
    return services_.dialogs.tell("Every object is back as it was", "Undo", forms::Icon::Information);
  std::string verdict = Objects(back->changes.size()) + (back->changes.size() == 1 ? " is" : " are") +
                        " not back as before the run:\r\n";
  for (std::size_t i = 0; i < back->changes.size() && i < kNamedObjects; ++i) {
    const ObjectChange& object = back->changes[i];
    verdict += object.path + "\r\n";
    for (const std::string& line : object.lines) verdict += "    " + line + "\r\n";
    verdict += ToolSaid(output, object.path);
  }
  if (back->changes.size() > kNamedObjects)
    verdict += "and " + Grouped(back->changes.size() - kNamedObjects) + " more.";
  services_.dialogs.tell(verdict, "Undo", forms::Icon::Critical);
}

void UndoableRun::NotRun(const std::string& status) {
  chain_->run.finished = JournalRun::Finished{"not run", 0};
  Write(FinishedRecord(chain_->run));
  End(status);
}

void UndoableRun::End(std::string status) {
  history_.Prune(chain_->settings);
  chain_.reset();
  run_.Release();
  window_.status.setText(std::move(status));
}
