#pragma once
// Where the runs are kept: the folder Snapshots in the program's Backups,
// holding each run's listings and the journal. Every read and write of it
// happens off the interface thread, one after another in the order asked.

#include <condition_variable>
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <set>
#include <string>

#include "runner/journal.h"
#include "runner/listing_changes.h"
#include "platform/files.h"
#include "platform/security.h"
#include "platform/workers.h"

// Whether a snapshot is taken before each run, and how much history is kept.
struct SnapshotSettings {
  bool on = true;
  std::size_t keepRuns = 100;
  std::uint64_t keepMegabytes = 1000;
};

class RunHistory {
 public:
  RunHistory(platform::FileSystem& files, platform::Workers& workers, platform::Security& security,
             std::string programFolder);
  ~RunHistory();

  const std::string& folder() const { return folder_; }
  std::string PathOf(const std::string& file) const { return folder_ + "\\" + file; }
  // Makes the folder when it is missing; 0 or the system's error code.
  long MakeFolder();

  // Adds a record at the journal's end.
  void Write(std::string record);
  // The journal as it stands once every record given before is written.
  void Read(std::function<void(Journal)> done);
  // Two listings of the folder compared; nullopt when one cannot be read.
  void Compare(const std::string& before, const std::string& after,
               std::function<void(std::optional<ListingChanges>)> done);
  // Removes the oldest runs and their files until the runs and megabytes
  // left are within the settings.
  void Prune(const SnapshotSettings& settings);
  // Raised with what went wrong when the journal could not be written.
  std::function<void(std::string)> failed;

 private:
  static constexpr const char* kJournal = "journal.txt";
  // A task gives back the news to post, if any, once its turn is over.
  using Task = std::function<std::function<void()>()>;
  void Queue(Task task);
  void Failed(long error);
  std::string journalPath() const { return PathOf(kJournal); }

  // Tasks take their turns by ticket.
  struct Turns {
    std::mutex mutex;
    std::condition_variable changed;
    std::uint64_t next = 0;
    std::set<std::uint64_t> skipped;  // never started
    // The next ticket's turn; the mutex held.
    void Advance() {
      for (++next; skipped.erase(next);) ++next;
    }
  };

  platform::FileSystem& files_;
  platform::Workers& workers_;
  platform::Security& security_;
  std::string folder_;
  std::shared_ptr<Turns> turns_ = std::make_shared<Turns>();
  std::uint64_t issued_ = 0;
  std::map<std::uint64_t, std::unique_ptr<platform::Work>> running_;
};
