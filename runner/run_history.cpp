#include "runner/run_history.h"

#include "platform/error_text.h"

namespace {

constexpr long kAlreadyExists = 183;

}  // namespace

RunHistory::RunHistory(platform::FileSystem& files, platform::Workers& workers,
                       platform::Security& security, std::string programFolder)
    : files_(files), workers_(workers), security_(security),
      folder_(programFolder + "\\Backups\\Snapshots") {}

RunHistory::~RunHistory() = default;

long RunHistory::MakeFolder() {
  if (files_.FolderExists(folder_)) return 0;
  long error = files_.CreateFolder(folder_);
  return error == kAlreadyExists ? 0 : error;
}

void RunHistory::Queue(Task task) {
  std::uint64_t ticket = issued_++;
  running_.emplace(ticket, nullptr);
  auto work = workers_.Start([turns = turns_, ticket, task = std::move(task), this](
                                 platform::Workers::Context& context) {
    {
      std::unique_lock lock(turns->mutex);
      turns->changed.wait(lock, [&] { return turns->next == ticket; });
    }
    std::function<void()> news = task();
    {
      std::lock_guard lock(turns->mutex);
      turns->Advance();
    }
    turns->changed.notify_all();
    context.post([this, ticket, news = std::move(news)] {
      running_.erase(ticket);
      if (news) news();
    });
  });
  if (!work) {
    std::lock_guard lock(turns_->mutex);
    if (turns_->next == ticket) turns_->Advance();
    else turns_->skipped.insert(ticket);
    running_.erase(ticket);
    return;
  }
  // Work done at once has already said so.
  if (auto it = running_.find(ticket); it != running_.end()) it->second = std::move(work);
}

// Tasks hold what they use by value: the history may be gone before they
// end; what they post is dropped with it.
void RunHistory::Write(std::string record) {
  Queue([this, &files = files_, path = journalPath(), record = std::move(record)]() -> std::function<void()> {
    if (long error = files.AppendText(path, record)) return [this, error] { Failed(error); };
    return {};
  });
}

void RunHistory::Failed(long error) {
  if (failed) failed("The journal of runs could not be written: " + platform::SystemErrorText(error));
}

void RunHistory::Read(std::function<void(Journal)> done) {
  Queue([&files = files_, path = journalPath(), done = std::move(done)]() -> std::function<void()> {
    std::string text;
    files.ReadText(path, text);
    return [journal = ReadJournal(text), done]() mutable { done(std::move(journal)); };
  });
}

void RunHistory::Compare(const std::string& before, const std::string& after,
                         std::function<void(std::optional<ListingChanges>)> done) {
  Queue([&files = files_, &security = security_, before = PathOf(before), after = PathOf(after),
         done = std::move(done)]() -> std::function<void()> {
    std::string beforeText, afterText;
    std::optional<ListingChanges> changes;
    if (files.ReadText(before, beforeText) && files.ReadText(after, afterText))
      changes = CompareListings(beforeText, afterText, security);
    return [changes = std::move(changes), done]() mutable { done(std::move(changes)); };
  });
}

void RunHistory::Prune(const SnapshotSettings& settings) {
  const std::size_t keepRuns = settings.keepRuns;
  const std::uint64_t keepBytes = settings.keepMegabytes * 1024 * 1024;
  Queue([this, &files = files_, folder = folder_, keepRuns, keepBytes]() -> std::function<void()> {
    auto path = [&](const std::string& name) { return folder + "\\" + name; };
    std::string text;
    if (!files.ReadText(path(kJournal), text)) return {};
    Journal journal = ReadJournal(text);
    auto names = [](const JournalRun& run) {
      std::vector<std::string> names;
      if (!run.snapshot.empty()) names.push_back(run.snapshot);
      if (run.changed) names.push_back(run.changed->after);
      return names;
    };
    std::set<std::string> drop = RunsBeyond(journal, keepRuns, keepBytes, [&](const JournalRun& run) {
      std::uint64_t bytes = 0;
      for (const std::string& name : names(run)) bytes += files.FileSize(path(name));
      return bytes;
    });
    if (drop.empty()) return {};
    // The journal first: a run it no longer names is never offered without its files.
    if (long error = files.WriteText(path(kJournal), WithoutRuns(text, drop)))
      return [this, error] { Failed(error); };
    for (const JournalRun& run : journal.runs)
      if (drop.contains(run.id))
        for (const std::string& name : names(run)) files.RemoveFile(path(name));
    return {};
  });
}
