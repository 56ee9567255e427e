#include "runner/reach.h"

#include <algorithm>

#include "setacl/arguments.h"
#include "setacl/call_reader.h"
#include "runner/run_status.h"

namespace {

constexpr std::uint64_t kProgressEvery = 1000;
constexpr std::size_t kNamedUnreadable = 3;

std::string Objects(const ReachQuestion& q) {
  if (q.registry) return "keys";
  if (q.folders && q.files) return "folders and files";
  return q.folders ? "folders" : "files and the folder itself";
}

}  // namespace

std::optional<ReachQuestion> ReachOf(const Command& command, std::string_view callString) {
  if (command.object.empty()) return std::nullopt;
  ReachQuestion q;
  q.object = command.object;
  q.registry = command.type == ObjectType::Registry;
  // The recursion counts only where the call string carries it.
  if (command.type == ObjectType::File && command.recursion != Recursion::No &&
      command.recursion != Recursion::Subkeys) {
    q.folders = command.recursion != Recursion::Objects;
    q.files = command.recursion != Recursion::Containers;
  } else if (!(q.registry && command.recursion == Recursion::Subkeys)) {
    return std::nullopt;
  }
  for (const std::string& filter : ReadCall(callString).command.filters.added) q.filters.push_back(Lower(filter));
  return q;
}

ReachCount CountReach(platform::ObjectTree& tree, const ReachQuestion& q,
                      const std::function<bool()>& stopped,
                      const std::function<void(const ReachCount&)>& progress) {
  ReachCount count;
  auto take = [&](const std::string& path) {
    bool skip = false;
    if (!q.filters.empty()) {
      std::string lower = Lower(path);
      skip = std::ranges::any_of(q.filters, [&](const std::string& f) {
        return lower.find(f) != std::string::npos;
      });
    }
    ++(skip ? count.skipped : count.objects);
    if ((count.objects + count.skipped) % kProgressEvery == 0) progress(count);
    count.capped = count.objects + count.skipped > q.cap;
  };
  take(q.object);
  std::vector<std::string> below{q.object};
  std::vector<platform::Listed> children;
  while (!below.empty() && !count.capped && !stopped()) {
    std::string folder = std::move(below.back());
    below.pop_back();
    children.clear();
    if (!tree.Children(folder, q.registry, children)) {
      if (count.unreadableNames.size() < kNamedUnreadable) count.unreadableNames.push_back(folder);
      ++count.unreadable;
      continue;
    }
    std::string prefix = folder.ends_with('\\') ? folder : folder + '\\';
    for (const platform::Listed& child : children) {
      std::string path = prefix + child.name;
      if (q.registry || (child.container ? q.folders : q.files)) take(path);
      if (count.capped) break;
      // Files below are reached through every folder, counted or not.
      if (child.container) below.push_back(std::move(path));
    }
  }
  count.done = !stopped();
  return count;
}

std::string ReachWords(const ReachQuestion& q, const ReachCount& count) {
  if (!count.done && !count.capped)
    return "Reach: counting... " + Grouped(count.objects + count.skipped) + " so far";
  std::string words = count.capped         ? "Reach: more than " + Grouped(q.cap) + " " + Objects(q)
                      : count.objects == 1 ? std::string("Reach: the object alone")
                                           : "Reach: " + Grouped(count.objects) + " " + Objects(q);
  if (count.skipped) words += " (the filter skips " + Grouped(count.skipped) + ")";
  if (count.unreadable) {
    words += "; " + Grouped(count.unreadable) + " could not be read: ";
    for (std::size_t i = 0; i < count.unreadableNames.size(); ++i)
      words += (i ? ", " : "") + count.unreadableNames[i];
    if (count.unreadable > count.unreadableNames.size()) words += " and more";
  }
  return words;
}

void Reach::Ask(std::optional<ReachQuestion> question) {
  if (question == question_) return;
  question_ = std::move(question);
  work_.reset();
  count_ = {};
  if (!question_) return;
  work_ = workers_.Start([this, q = *question_](platform::Workers::Context& context) {
    auto tell = [this, &context](const ReachCount& count) {
      context.post([this, count] {
        count_ = count;
        if (changed) changed();
      });
    };
    tell(CountReach(tree_, q, [&context] { return context.stopped(); }, tell));
  });
}

std::string Reach::words() const { return question_ ? ReachWords(*question_, count_) : std::string(); }
