#pragma once
// How many objects a recursive command will touch, the object itself
// included and what the filter skips set apart: counted on a thread of its
// own, anew whenever the object, its type, the recursion or the filter
// changes, and said in "What It Does".

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "setacl/command.h"
#include "platform/object_tree.h"
#include "platform/workers.h"

// Counting stops past this many objects.
inline constexpr std::uint64_t kReachCap = 1'000'000;

// What to count.
struct ReachQuestion {
  std::string object;
  bool registry = false;
  bool folders = false, files = false;  // which objects below a folder count
  std::vector<std::string> filters;     // a path holding one is skipped
  std::uint64_t cap = kReachCap;
  bool operator==(const ReachQuestion&) const = default;
};

struct ReachCount {
  std::uint64_t objects = 0;  // those it touches
  std::uint64_t skipped = 0;  // those the filter skips
  std::uint64_t unreadable = 0;
  std::vector<std::string> unreadableNames;  // the first few
  bool capped = false;                       // it stopped at the cap
  bool done = false;
};

// The question a command asks, or none when it does not recurse. The
// filters are those the call string holds, hand-edited ones included.
std::optional<ReachQuestion> ReachOf(const Command& command, std::string_view callString);
// Counts; `progress` hears the count now and then, and counting ends early
// when `stopped` says so.
ReachCount CountReach(platform::ObjectTree& tree, const ReachQuestion& question,
                      const std::function<bool()>& stopped,
                      const std::function<void(const ReachCount&)>& progress);
// "Reach: 1,241 folders and files (the filter skips 120)", or the count so far.
std::string ReachWords(const ReachQuestion& question, const ReachCount& count);

// The count for the main window: asked anew on every change, started only
// when the question changes, the last one's news dropped.
class Reach {
 public:
  Reach(platform::Workers& workers, platform::ObjectTree& tree) : workers_(workers), tree_(tree) {}
  // A new question; none stops counting.
  void Ask(std::optional<ReachQuestion> question);
  // The line for "What It Does"; empty when nothing recurses.
  std::string words() const;
  // Raised on the interface thread when the count moved.
  std::function<void()> changed;

 private:
  platform::Workers& workers_;
  platform::ObjectTree& tree_;
  std::optional<ReachQuestion> question_;
  ReachCount count_;
  std::unique_ptr<platform::Work> work_;
};
