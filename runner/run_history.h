#pragma once
// Where the runs are kept: the folder Snapshots in the program's Backups,
// holding each run's listings and the journal, made so that only
// Administrators and SYSTEM may change them. Every read and write of the
// journal and the listings happens off the interface thread, on one worker,
// in the order asked; the journal is changed only under a lock that other
// Vorlanes respect too.

#include <cstdint>
#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "platform/files.h"
#include "platform/security.h"
#include "platform/workers.h"
#include "setacl/scope.h"
#include "setacl/listing.h"
#include "runner/journal.h"
#include "runner/listing_changes.h"

// Whether a snapshot is taken before each run, and how much history is kept.
struct SnapshotSettings {
  bool on = true;
  std::size_t keepRuns = 100;
  std::uint64_t keepMegabytes = 1000;
};

// A snapshot as read back: how many objects it holds, and what makes it
// unfit to restore from.
struct SnapshotCheck {
  bool read = false;  // the file could be read at all
  std::uint64_t objects = 0;
  std::vector<std::string> unreadable;  // lines that begin as listing lines but are not
  std::vector<std::string> outside;     // objects outside the scope (the first few)
  std::uint64_t outsideCount = 0;
  // Who besides Administrators and SYSTEM can change the folder, its
  // journal or the snapshot; and those of them whose security could not be read.
  std::vector<std::string> others;
  std::vector<std::string> unknownSecurity;
  // The snapshot kept as it was read, by this program and any other, until
  // this goes: no one changes or deletes it meanwhile, pruning included.
  std::shared_ptr<platform::FileSystem::Lock> pin;
};

class RunHistory {
 public:
  RunHistory(platform::FileSystem& files, platform::Workers& workers, platform::Security& security,
             FromAnsi fromAnsi, std::string programFolder);
  // Whatever is queued is dropped but for the journal's records, which are
  // written; a comparison under way stops.
  ~RunHistory();

  const std::string& folder() const { return folder_; }
  std::string PathOf(const std::string& file) const { return place_.path(file); }
  // Makes the folder, only Administrators and SYSTEM able to change it, when
  // missing; 0 or the system's error code.
  long MakeFolder();

  struct Started {
    std::string id;          // unique among the journal's runs and the folder's files
    long journalError = 0;   // why the journal could not be written; 0 when it was
    long snapshotError = 0;  // why the snapshot's file could not be made
  };
  // Gives the run an id: the first of `run.id`, "<id> (2)", "<id> (3)"... that
  // no record of the journal and no file of the folder has, whatever the
  // clock did and whichever Vorlane asks; with `snapshot`, makes its snapshot
  // file (empty) so no other run takes it; then records the start.
  void Start(JournalRun run, bool snapshot, std::function<void(Started)> done);
  // Adds a record at the journal's end, on a line of its own.
  void Write(std::string record);
  // The journal as it stands once every record given before is written.
  void Read(std::function<void(Journal)> done);
  // A snapshot read back, checked against the scope of its run and pinned.
  void Check(const std::string& snapshot, const Scope& scope, std::function<void(SnapshotCheck)> done);
  // Two listings of the folder compared, their SACLs too or not; nullopt
  // when one cannot be read.
  void Compare(const std::string& before, const std::string& after,
               std::function<void(std::optional<ListingChanges>)> done, bool withSacl = true);
  // Removes a file of the folder.
  void Discard(const std::string& file);
  // Removes the oldest runs and their files until the runs and megabytes
  // left are within the settings; never a run with a file pinned (a run or
  // an undo under way, here or in another Vorlane, needs it).
  void Prune(const SnapshotSettings& settings);

  // Raised with what went wrong when the journal could not be written.
  std::function<void(std::string)> failed;

 private:
  struct Shared;
  using Stopped = std::function<bool()>;
  // A task gives back the news to post, if any, once it is done.
  using Task = std::function<std::function<void()>(const Stopped& stopped)>;
  // Journal records are written even while closing; other tasks are dropped.
  void Queue(Task task, bool evenClosing = false);
  void Failed(long error);

  // What a task uses, held by value: the history may be gone before the
  // task ends, and only the services outlive it.
  struct Place {
    platform::FileSystem& files;
    platform::Security& security;
    FromAnsi fromAnsi;
    std::string folder;
    std::string path(const std::string& file) const { return folder + "\\" + file; }
  };

  platform::Workers& workers_;
  Place place_;
  const std::string& folder_ = place_.folder;
  std::shared_ptr<Shared> shared_;
  std::uint64_t started_ = 0;
  std::map<std::uint64_t, std::unique_ptr<platform::Work>> works_;
};
