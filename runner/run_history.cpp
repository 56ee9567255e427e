#include "runner/run_history.h"

#include <algorithm>
#include <set>

#include "platform/error_text.h"
#include "runner/folder_guard.h"
#include "setacl/call_string.h"

namespace {

constexpr long kAlreadyExists = 183;
constexpr const char* kJournal = "journal.txt";
constexpr const char* kLock = "journal.lock";
// Objects a check names before it only counts them.
constexpr std::size_t kNamed = 10;

}  // namespace

// What the worker and the interface thread share.
struct RunHistory::Shared {
  std::mutex mutex;
  struct Queued {
    Task task;
    bool evenClosing;
  };
  std::deque<Queued> tasks;
  bool working = false;  // a worker takes the tasks
  bool closing = false;
};

RunHistory::RunHistory(platform::FileSystem& files, platform::Workers& workers,
                       platform::Security& security, FromAnsi fromAnsi, std::string programFolder)
    : workers_(workers),
      place_{files, security, std::move(fromAnsi), BackupFolder(programFolder) + "\\Snapshots"},
      shared_(std::make_shared<Shared>()) {}

RunHistory::~RunHistory() {
  {
    std::lock_guard lock(shared_->mutex);
    shared_->closing = true;
  }
  works_.clear();
}

long RunHistory::MakeFolder() {
  if (place_.files.FolderExists(folder_)) return 0;
  long error = place_.files.CreateFolderWith(folder_, kGuardedFolder);
  return error == kAlreadyExists ? 0 : error;
}

// One worker at a time takes the tasks in order; it ends when none is left,
// and the next task starts another.
void RunHistory::Queue(Task task, bool evenClosing) {
  {
    std::lock_guard lock(shared_->mutex);
    shared_->tasks.push_back({std::move(task), evenClosing});
    if (std::exchange(shared_->working, true)) return;
  }
  std::uint64_t n = started_++;
  works_.emplace(n, nullptr);
  auto work = workers_.Start([shared = shared_, n, this](platform::Workers::Context& context) {
    const Stopped stopped = [&] {
      std::lock_guard lock(shared->mutex);
      return shared->closing || context.stopped();
    };
    for (;;) {
      Shared::Queued next;
      {
        std::lock_guard lock(shared->mutex);
        if (shared->tasks.empty()) {
          shared->working = false;
          break;
        }
        next = std::move(shared->tasks.front());
        shared->tasks.pop_front();
        if (shared->closing && !next.evenClosing) continue;
      }
      if (std::function<void()> news = next.task(stopped)) context.post(std::move(news));
    }
    // What the history is gone for is never run.
    context.post([this, n] { works_.erase(n); });
  });
  if (!work) {
    // No thread to be had: the tasks are done here, rather than never.
    works_.erase(n);
    std::deque<Shared::Queued> tasks;
    {
      std::lock_guard lock(shared_->mutex);
      shared_->working = false;
      tasks.swap(shared_->tasks);
    }
    for (Shared::Queued& queued : tasks)
      if (auto news = queued.task([] { return false; })) news();
    return;
  }
  // Work done at once has already said so.
  if (auto it = works_.find(n); it != works_.end()) it->second = std::move(work);
}

namespace {

// Appends records to the journal, the lock held, on a line of their own
// after a record cut short.
long Append(platform::FileSystem& files, const std::string& path, const std::string& records) {
  std::string text;
  bool cutShort = files.ReadText(path, text) && !text.empty() && !text.ends_with('\n');
  return files.AppendText(path, cutShort ? "\r\n" + records : records);
}

}  // namespace

void RunHistory::Start(JournalRun run, bool snapshot, std::function<void(Started)> done) {
  Queue(
      [place = place_, run = std::move(run), snapshot,
       done = std::move(done)](const Stopped&) mutable -> std::function<void()> {
        platform::FileSystem& files = place.files;
        Started started;
        auto lock = files.Hold(place.path(kLock), started.journalError);
        std::string text;
        // A journal that is there but cannot be read names ids that cannot be known.
        constexpr long kReadFault = 30;
        if (!files.ReadText(place.path(kJournal), text) && files.FileExists(place.path(kJournal)) &&
            !started.journalError)
          started.journalError = kReadFault;
        const Journal journal = ReadJournal(text);
        const std::string base = run.id;
        for (int n = 2;; ++n) {
          bool free = !journal.ids.contains(run.id) &&
                      !files.FileExists(place.path(BeforeFile(run.id))) &&
                      !files.FileExists(place.path(AfterFile(run.id)));
          if (free && snapshot) {
            long made = files.CreateNew(place.path(BeforeFile(run.id)));
            free = made != platform::FileSystem::kFileExists;
            if (free) started.snapshotError = made;
          }
          if (free) break;
          run.id = base + " (" + std::to_string(n) + ")";
        }
        started.id = run.id;
        if (lock && !started.journalError)
          started.journalError = Append(files, place.path(kJournal), StartedRecord(run));
        return [done = std::move(done), started] { done(started); };
      },
      true);
}

void RunHistory::Write(std::string record) {
  Queue(
      [this, place = place_, record = std::move(record)](const Stopped&) -> std::function<void()> {
        long error = 0;
        auto lock = place.files.Hold(place.path(kLock), error);
        if (lock) error = Append(place.files, place.path(kJournal), record);
        if (error) return [this, error] { Failed(error); };
        return {};
      },
      true);
}

void RunHistory::Failed(long error) {
  if (failed)
    failed("The journal of runs could not be written: " + platform::SystemErrorText(error));
}

void RunHistory::Read(std::function<void(Journal)> done) {
  Queue([place = place_, done = std::move(done)](const Stopped&) -> std::function<void()> {
    std::string text;
    place.files.ReadText(place.path(kJournal), text);
    return [journal = ReadJournal(text), done]() mutable { done(std::move(journal)); };
  });
}

void RunHistory::Check(const std::string& snapshot, const Scope& scope,
                       std::function<void(SnapshotCheck)> done) {
  Queue([place = place_, snapshot, scope,
         done = std::move(done)](const Stopped& stopped) -> std::function<void()> {
    SnapshotCheck check;
    for (const std::string& path : {place.folder, place.path(kJournal), place.path(snapshot)}) {
      auto others = OthersWhoCanChange(place.files.SecurityOf(path), place.security);
      if (!others)
        check.unknownSecurity.push_back(path);
      else
        for (std::string& who : *others)
          if (std::ranges::find(check.others, who) == check.others.end())
            check.others.push_back(std::move(who));
    }
    // Pinned before it is read, so what was read is what stays.
    check.pin = place.files.Pin(place.path(snapshot));
    if (auto text =
            check.pin ? ReadListingFile(place.files, place.path(snapshot), place.fromAnsi, stopped)
                      : std::nullopt) {
      check.read = true;
      ListingLines lines = ReadListingLines(*text);
      check.objects = lines.objects.size();
      for (std::string_view line : lines.unreadable) check.unreadable.push_back(Opening(line));
      for (const ListedView& object : lines.objects)
        if (!WithinScope(scope, object.path) && check.outsideCount++ < kNamed)
          check.outside.emplace_back(object.path);
    }
    if (stopped()) return {};
    return [check = std::move(check), done]() mutable { done(std::move(check)); };
  });
}

void RunHistory::Compare(const std::string& before, const std::string& after,
                         std::function<void(std::optional<ListingChanges>)> done, bool withSacl) {
  Queue([place = place_, before, after, done = std::move(done),
         withSacl](const Stopped& stopped) -> std::function<void()> {
    std::optional<ListingChanges> changes;
    auto beforeText = ReadListingFile(place.files, place.path(before), place.fromAnsi, stopped);
    auto afterText = beforeText
                         ? ReadListingFile(place.files, place.path(after), place.fromAnsi, stopped)
                         : std::nullopt;
    if (beforeText && afterText)
      changes = CompareListings(*beforeText, *afterText, place.security, stopped, withSacl);
    if (stopped()) return {};
    return [changes = std::move(changes), done]() mutable { done(std::move(changes)); };
  });
}

void RunHistory::Discard(const std::string& file) {
  Queue([place = place_, file](const Stopped&) -> std::function<void()> {
    place.files.RemoveFile(place.path(file));
    return {};
  });
}

void RunHistory::Prune(const SnapshotSettings& settings) {
  const std::size_t keepRuns = settings.keepRuns;
  const std::uint64_t keepBytes = settings.keepMegabytes * 1024 * 1024;
  Queue([this, place = place_, keepRuns, keepBytes](const Stopped&) -> std::function<void()> {
    constexpr long kFileNotFound = 2;
    platform::FileSystem& files = place.files;
    long error = 0;
    auto lock = files.Hold(place.path(kLock), error);
    std::string text;
    if (!lock || !files.ReadText(place.path(kJournal), text)) return {};
    Journal journal = ReadJournal(text);
    auto names = [](const JournalRun& run) {
      std::vector<std::string> names;
      if (!run.snapshot.empty()) names.push_back(run.snapshot);
      if (run.changed) names.push_back(run.changed->after);
      return names;
    };
    auto bytes = [&](const JournalRun& run) {
      std::uint64_t total = 0;
      for (const std::string& name : names(run)) total += files.FileSize(place.path(name));
      return total;
    };
    std::set<std::string> drop = RunsBeyond(journal, keepRuns, keepBytes, bytes);
    // The files first: one pinned (a run under way needs it) keeps its run.
    for (const JournalRun& run : journal.runs) {
      if (!drop.contains(run.id)) continue;
      for (const std::string& name : names(run))
        if (long removed = files.RemoveFile(place.path(name)); removed && removed != kFileNotFound)
          drop.erase(run.id);
    }
    if (drop.empty()) return {};
    if (long written = files.WriteText(place.path(kJournal), WithoutRuns(text, drop)))
      return [this, written] { Failed(written); };
    return {};
  });
}
