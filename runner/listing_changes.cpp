#include "runner/listing_changes.h"

#include <unordered_map>

#include "setacl/permission_table.h"
#include "setacl/listing.h"
#include "runner/descriptor_difference.h"
#include "runner/listing_match.h"
#include "runner/run_status.h"

namespace {

// The difference of two SDDLs of one object type, worded once however many
// objects share it: a recursive change gives every object the same pair.
class Differences {
 public:
  Differences(platform::Security& security, bool withSacl)
      : security_(security), accounts_(security), withSacl_(withSacl) {}

  // Its lines; "Its SDDL could not be read." when the system reads either as none.
  const std::vector<std::string>& of(std::string_view before, std::string_view after, int type) {
    Key key{before, after, type};
    if (auto it = known_.find(key); it != known_.end()) return it->second;
    std::vector<std::string> lines{"Its SDDL could not be read."};
    auto a = security_.Read(std::string(before)), b = security_.Read(std::string(after));
    if (a && b) {
      ObjectType objectType = ListedType(type).value_or(ObjectType::File);
      lines = DescriptorDifference(*a, *b, objectType, IsContainer(objectType, *a, *b), withSacl_,
                                   accounts_, security_);
    }
    // Past so many pairs each is worded anew rather than held.
    if (known_.size() >= kMostKept) {
      last_ = std::move(lines);
      return last_;
    }
    return known_.emplace(key, std::move(lines)).first->second;
  }

 private:
  static constexpr std::size_t kMostKept = 4096;
  struct Key {
    std::string_view before, after;
    int type;
    bool operator==(const Key&) const = default;
  };
  struct Hash {
    std::size_t operator()(const Key& k) const {
      std::hash<std::string_view> hash;
      return hash(k.before) * 31 + hash(k.after) * 7 + static_cast<std::size_t>(k.type);
    }
  };

  platform::Security& security_;
  AccountWords accounts_;
  bool withSacl_;
  std::unordered_map<Key, std::vector<std::string>, Hash> known_;
  std::vector<std::string> last_;
};

}  // namespace

std::optional<ListingChanges> CompareListings(std::string_view beforeText,
                                              std::string_view afterText,
                                              platform::Security& security,
                                              const std::function<bool()>& stopped, bool withSacl) {
  Pace pace(stopped);
  IndexedListing before, after;
  if (!before.read(beforeText, pace) || !after.read(afterText, pace)) return std::nullopt;
  std::optional<std::vector<std::uint32_t>> partner = Match(before, after, pace);
  if (!partner) return std::nullopt;

  ListingChanges out;
  out.listedBefore = before.size();
  out.listedAfter = after.size();
  // Past so many objects only a count is kept: a run that changed a whole
  // tree would otherwise hold its every line twice.
  auto note = [&out](std::string path, std::vector<std::string> lines) {
    if (out.changes.size() < kMostDetailed)
      out.changes.push_back({std::move(path), std::move(lines)});
    else
      ++out.undetailed;
  };
  for (auto [listing, when] : {std::pair{&before, "before"}, std::pair{&after, "after"}})
    for (std::string_view line : listing->damaged()) {
      note("A line of the listing " + std::string(when) +
               " the run could not be read: " + Opening(line),
           {});
      ++out.unreadableLines;
    }
  out.unreadable = out.unreadableLines;

  Differences differences(security, withSacl);
  std::vector<bool> matched(after.size());
  for (std::uint32_t i = 0; i < before.size(); ++i) {
    const std::uint32_t j = (*partner)[i];
    if (j == kUnmatched) {
      ++out.unreadable;
      note(std::string(before.path(i)),
           {"Not listed after the run: it could not be read, or it is gone."});
      continue;
    }
    matched[j] = true;
    if (before.sddl(i) == after.sddl(j)) {
      if (pace.stopped()) return std::nullopt;
      continue;
    }
    if (pace.stopped(256)) return std::nullopt;
    const std::vector<std::string>& lines =
        differences.of(before.sddl(i), after.sddl(j), before.type(i));
    if (lines.empty()) continue;
    ++out.changed;
    note(std::string(before.path(i)), lines);
  }
  out.objects = before.size();
  for (std::uint32_t j = 0; j < after.size(); ++j)
    if (!matched[j]) {
      ++out.objects;
      ++out.unreadable;
      note(std::string(after.path(j)),
           {"Not listed before the run: it could not be read, or it is new."});
    }
  return out;
}

std::string ChangesSummary(const ListingChanges& c) {
  std::string out = Grouped(c.changed) + " of " + Grouped(c.objects) +
                    (c.objects == 1 ? " object changed" : " objects changed");
  if (c.unreadable) out += "; " + Grouped(c.unreadable) + " could not be read";
  return out;
}

std::string ChangesText(const ListingChanges& c) {
  std::string out;
  for (const ObjectChange& change : c.changes) {
    out += change.path + "\r\n";
    for (const std::string& line : change.lines) out += "    " + line + "\r\n";
  }
  if (c.undetailed) {
    out += "and " + Grouped(c.undetailed) + (c.undetailed == 1 ? " more object" : " more objects") +
           ", not shown here: the listings hold them.\r\n";
  }
  return out;
}
