#pragma once
// A Tree Report's listing, run and read as it grows: the tool lists an object
// and everything below it into a file of the Backups folder, through the
// same runner as Send It (a listing, which changes nothing, and ends with the
// program), while a worker reads the file as the tool writes it and judges
// each object against what its parent gives.

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/services.h"
#include "platform/workers.h"
#include "runner/command_run.h"
#include "runner/listing_changes.h"
#include "runner/tree_analysis.h"
#include "setacl/listing.h"
#include "setacl/scope.h"

class TreeScan {
 public:
  TreeScan(platform::Services& services, CommandRun& run, FromAnsi fromAnsi);
  ~TreeScan();

  struct Done {
    RunResult listing;                  // how the tool ended, and what it said
    std::optional<TreeReport> report;   // none when the listing could not be read
    std::string file;                   // the listing, kept beside the report
  };
  // Lists the object and everything below it into `file`; `objects` hears how
  // many were read so far, `done` the end. False when it did not start (the
  // user was told why).
  bool Start(const std::string& folder, const std::string& object, ObjectType type, std::string file,
             std::function<void(std::uint64_t objects)> objects, std::function<void(Done)> done);
  bool running() const { return state_ != nullptr; }
  // Reads what the tool has written since the last look; the window calls
  // it on its timer while the tool runs.
  void Look();
  // Forgets the listing read and what was asked of it, once the tool has
  // ended: nothing more is heard of them.
  void Drop();
  // What lies below an object for the tool: everything.
  static Scope Everything(const std::string& object, ObjectType type);

  // On a worker: what changed from an earlier listing to a later one (none
  // when one cannot be read), and the objects of a listing whose DACL names
  // an account.
  void Compare(const std::string& earlier, const std::string& later,
               std::function<void(std::optional<ListingChanges>)> done);
  void Where(const std::string& listing, const std::string& account,
             std::function<void(std::optional<std::vector<std::string>>)> done);

 private:
  struct State;
  void Read(bool last);
  void Ended(const RunResult& result);

  platform::Services& services_;
  CommandRun& run_;
  FromAnsi fromAnsi_;
  // What the reads share, one read at a time: the file, how far it was read,
  // the decoder and the analysis.
  std::shared_ptr<State> state_;
  std::unique_ptr<platform::Work> reading_;  // the read under way
  std::unique_ptr<platform::Work> asked_;    // a comparison or an account's places
  bool listed_ = false;                       // the tool has ended
  std::function<void(std::uint64_t)> objects_;
  std::function<void(Done)> done_;
  RunResult listing_;
};
