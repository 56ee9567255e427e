#include "runner/tree_analysis.h"

#include <algorithm>
#include <map>
#include <optional>
#include <tuple>
#include <unordered_map>

#include "setacl/arguments.h"
#include "setacl/choices.h"
#include "setacl/inheritance.h"
#include "setacl/listing.h"
#include "setacl/permission_table.h"

namespace {

using platform::Ace;

// No descriptor to judge against: the parent is not listed, or not read.
constexpr std::uint32_t kNone = UINT32_MAX;
const int kFileType = ListedTypeNumber(ObjectType::File),
          kKeyType = ListedTypeNumber(ObjectType::Registry);

// Names compare without regard to (ASCII) case, as Windows compares them.
char Folded(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

bool SameName(std::string_view a, std::string_view b) {
  return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(),
                                            [](char x, char y) { return Folded(x) == Folded(y); });
}

// An account's words name it whole ("BUILTIN\Administrators") or, asked
// for without a domain, by the name after it ("Administrators").
bool Names(std::string_view words, std::string_view account) {
  if (SameName(words, account)) return true;
  const std::size_t slash = words.rfind('\\');
  return account.find('\\') == std::string_view::npos && slash != std::string_view::npos &&
         SameName(words.substr(slash + 1), account);
}

// Without the backslash a drive's root ends in, so "C:\" holds "C:\Windows".
std::string_view Trimmed(std::string_view path) {
  if (path.size() > 1 && path.ends_with('\\')) path.remove_suffix(1);
  return path;
}

bool Below(std::string_view above, std::string_view path) {
  return path.size() > above.size() && path[above.size()] == '\\' &&
         SameName(above, path.substr(0, above.size()));
}

std::string_view ParentOf(std::string_view path) {
  std::size_t at = path.rfind('\\');
  return at == std::string_view::npos ? std::string_view() : path.substr(0, at);
}

std::uint64_t PathHash(std::string_view path) {
  std::uint64_t hash = 14695981039346656037ull;
  for (char c : path) hash = (hash ^ static_cast<unsigned char>(Folded(c))) * 1099511628211ull;
  return hash;
}

// Paths by their hash, each to its descriptor: open addressing, 16 bytes a
// slot, at most half of them full.
class PathTable {
 public:
  void put(std::uint64_t hash, std::uint32_t descriptor) {
    if (2 * (count_ + 1) > slots_.size()) grow();
    place(hash, descriptor);
  }
  std::optional<std::uint32_t> find(std::uint64_t hash) const {
    if (slots_.empty()) return std::nullopt;
    for (std::size_t at = hash & (slots_.size() - 1);; at = (at + 1) & (slots_.size() - 1)) {
      if (!slots_[at].used) return std::nullopt;
      if (slots_[at].hash == hash) return slots_[at].descriptor;
    }
  }

 private:
  struct Slot {
    std::uint64_t hash = 0;
    std::uint32_t descriptor = 0;
    bool used = false;
  };
  void place(std::uint64_t hash, std::uint32_t descriptor) {
    std::size_t at = hash & (slots_.size() - 1);
    while (slots_[at].used && slots_[at].hash != hash) at = (at + 1) & (slots_.size() - 1);
    count_ += !slots_[at].used;
    slots_[at] = {hash, descriptor, true};
  }
  void grow() {
    std::vector<Slot> old =
        std::exchange(slots_, std::vector<Slot>(std::max<std::size_t>(1024, 2 * slots_.size())));
    count_ = 0;
    for (const Slot& slot : old)
      if (slot.used) place(slot.hash, slot.descriptor);
  }
  std::vector<Slot> slots_;
  std::size_t count_ = 0;
};

// A distinct SDDL of the listing, read once.
struct Descriptor {
  std::optional<platform::SecurityDescriptor> sd;  // none: the system cannot read it
  bool inherited = false;                          // holds inherited entries
  bool toldContainer = false;          // one of them passes on, or is inherit-only: a folder's
  bool givesCreator = false;           // passes on an entry for the creator's accounts
  std::vector<std::uint32_t> unknown;  // the unknown accounts its DACL names, each once
};

struct Verdict {
  std::vector<Departs> reasons;
  std::vector<std::string> entries;
  bool ownEntries = false;
};

// A row of the permissions table on a line.
std::string Words(const PermissionRow& row) {
  std::string out = row.type;
  if (!row.account.empty()) out += " " + row.account;
  out += ": " + row.access;
  if (!row.appliesTo.empty()) out += " (" + row.appliesTo + ")";
  if (row.inherited == "Yes") out += ", inherited";
  return out;
}

struct TextHash {
  using is_transparent = void;
  std::size_t operator()(std::string_view text) const {
    return std::hash<std::string_view>{}(text);
  }
};

}  // namespace

std::string DepartsWords(Departs reason) {
  switch (reason) {
    case Departs::Blocked:
      return "Inheritance blocked";
    case Departs::OwnEntries:
      return "Entries of its own";
    case Departs::Misses:
      return "Misses what its parent gives";
    case Departs::Stale:
      return "Inherited entries its parent does not give";
    case Departs::OutOfOrder:
      return "Out of canonical order";
    case Departs::NoDacl:
      return "No DACL: everyone has full access";
    case Departs::EmptyDacl:
      return "Empty DACL: no one has access";
    case Departs::BeforeAutoInheritance:
      return "Set before automatic inheritance";
    case Departs::Unreadable:
      return "Could not be read";
    case Departs::ParentNotListed:
      return "Its parent is not listed";
    case Departs::ParentUnreadable:
      break;
  }
  return "Its parent could not be read";
}

std::string ReasonsWords(const Departure& departure) {
  std::vector<std::string> words;
  for (Departs reason : departure.reasons) words.push_back(DepartsWords(reason));
  return Joined(words, ", ");
}

class TreeAnalysis::State {
 public:
  explicit State(platform::Security& security) : security_(security), accounts_(security) {}

  void feed(std::string_view text) {
    if (!partial_.empty()) {
      std::size_t end = text.find('\n');
      partial_ += text.substr(0, end);
      if (end == std::string_view::npos) return;
      line(partial_);
      partial_.clear();
      text.remove_prefix(end + 1);
    }
    for (std::size_t end; (end = text.find('\n')) != std::string_view::npos;
         text.remove_prefix(end + 1))
      line(text.substr(0, end));
    partial_ = text;
  }

  TreeReport finish(bool listingEnded) {
    // A line the tool was still writing when it was stopped is no object.
    if (!partial_.empty() && (listingEnded || ReadListingView(partial_))) line(partial_);
    partial_.clear();
    while (!stack_.empty()) pop();
    for (std::size_t i = 0; i < unknownCounts_.size(); ++i)
      if (unknownCounts_[i])
        report_.unknownAccounts.emplace_back(unknownSids_[i], unknownCounts_[i]);
    std::ranges::stable_sort(report_.unknownAccounts,
                             [](const auto& a, const auto& b) { return a.second > b.second; });
    return std::move(report_);
  }

  std::uint64_t seen = 0;

 private:
  // An object whose descendants may follow.
  struct Ancestor {
    std::size_t pathAt, pathSize, listedSize;  // in paths_: trimmed, and as listed
    std::uint32_t descriptor, parent;          // parent: kNone when not listed or not read
    int type;
    bool parentListed;
    bool pending;  // a file or folder not yet judged: what follows tells which
    bool folder;
  };
  enum class Reading { File, Folder, Either };

  std::string_view pathOf(const Ancestor& a) const {
    return std::string_view(paths_).substr(a.pathAt, a.pathSize);
  }

  void line(std::string_view text) {
    if (text.ends_with('\r')) text.remove_suffix(1);
    if (!BeginsAsListed(text)) return;
    ++seen;
    if (auto object = ReadListingView(text)) return listed(*object);
    ++report_.objects, ++report_.departing, ++report_.unreadable;
    record({Opening(text), 0, {Departs::Unreadable}, {}, false});
  }

  void listed(const ListedView& object) {
    const std::uint32_t id = intern(object.sddl);
    for (std::uint32_t account : descriptors_[id].unknown) ++unknownCounts_[account];
    const std::string_view path = Trimmed(object.path);
    if (!rooted_) {
      rooted_ = true;
      report_.rootPath = object.path;
      report_.rootType = object.type;
      report_.rootUnreadable = !descriptors_[id].sd;
      push(object, path.size(), id, kNone, false);
      stack_.back().pending = false;
      stack_.back().folder = true;
      return;
    }
    while (!stack_.empty() && !Below(pathOf(stack_.back()), path)) pop();
    // Something stands below it: a folder.
    if (!stack_.empty() && stack_.back().pending) resolve(stack_.back(), true);
    const std::string_view parentPath = ParentOf(path);
    std::optional<std::uint32_t> parent;
    if (!stack_.empty() && SameName(pathOf(stack_.back()), parentPath))
      parent = stack_.back().descriptor;
    else
      parent = folders_.find(PathHash(parentPath));
    push(object, path.size(), id, parent.value_or(kNone), parent.has_value());
    if (!stack_.back().pending)
      judge(stack_.back(), object.type == kKeyType ? Reading::Folder : Reading::File);
  }

  void push(const ListedView& object, std::size_t trimmedSize, std::uint32_t id,
            std::uint32_t parent, bool listed) {
    stack_.push_back({paths_.size(), trimmedSize, object.path.size(), id, parent, object.type,
                      listed, object.type == kFileType, object.type == kKeyType});
    paths_ += object.path;
  }

  // Its descendants are all read: kept for children listed out of order
  // when it may have any.
  void pop() {
    Ancestor& top = stack_.back();
    if (top.pending) resolve(top, false);
    const Descriptor& d = descriptors_[top.descriptor];
    const bool file = top.type == kFileType && !top.folder && d.inherited && !d.toldContainer;
    if (top.folder || (top.type == kFileType && !file))
      folders_.put(PathHash(pathOf(top)), top.descriptor);
    paths_.resize(top.pathAt);
    stack_.pop_back();
  }

  // A file or folder told by what stands below it, else by its inherited
  // entries; a leaf that cannot be told is taken as whichever departs less.
  void resolve(Ancestor& a, bool below) {
    a.pending = false;
    a.folder = below || descriptors_[a.descriptor].toldContainer;
    judge(a, a.folder ? Reading::Folder : Reading::Either);
    for (Departure& held : held_) report_.departures.push_back(std::move(held));
    held_.clear();
  }

  void judge(const Ancestor& a, Reading reading) {
    ++report_.objects;
    Departure departure;
    departure.path = paths_.substr(a.pathAt, a.listedSize);
    departure.type = a.type;
    const Descriptor& d = descriptors_[a.descriptor];
    if (!d.sd) {
      departure.reasons.push_back(Departs::Unreadable);
      ++report_.unreadable;
    } else {
      const Verdict& v = verdict(a.parent, a.descriptor, a.type, reading);
      departure.reasons = v.reasons;
      departure.entries = v.entries;
      departure.ownEntries = v.ownEntries;
    }
    if (!a.parentListed) departure.reasons.push_back(Departs::ParentNotListed);
    else if (a.parent != kNone && !descriptors_[a.parent].sd)
      departure.reasons.push_back(Departs::ParentUnreadable);
    if (departure.reasons.empty()) return;
    ++report_.departing;
    record(std::move(departure));
  }

  // Departures stand in listing order: a damaged line waits for the object
  // before it that is not yet judged.
  void record(Departure departure) {
    if (!stack_.empty() && stack_.back().pending)
      held_.push_back(std::move(departure));
    else
      report_.departures.push_back(std::move(departure));
  }

  std::uint32_t intern(std::string_view sddl) {
    if (auto known = ids_.find(sddl); known != ids_.end()) return known->second;
    Descriptor d;
    d.sd = security_.Read(std::string(sddl));
    if (d.sd) summarize(d);
    const auto id = static_cast<std::uint32_t>(descriptors_.size());
    descriptors_.push_back(std::move(d));
    ids_.emplace(std::string(sddl), id);
    return id;
  }

  // What its entries tell before it is judged, and the unknown accounts they name.
  void summarize(Descriptor& d) {
    for (const Ace& ace : d.sd->dacl.aces) {
      if (ace.flags & platform::kInherited) {
        d.inherited = true;
        if (ace.flags &
            (platform::kObjectInherit | platform::kContainerInherit | platform::kInheritOnly))
          d.toldContainer = true;
      }
      if (IsCreator(ace.sid) &&
          (ace.flags & (platform::kObjectInherit | platform::kContainerInherit)))
        d.givesCreator = true;
      if (ace.sid.empty()) continue;
      accounts_(ace.sid);
      if (!accounts_.unknown().contains(ace.sid)) continue;
      auto [at, fresh] =
          unknownIds_.try_emplace(ace.sid, static_cast<std::uint32_t>(unknownSids_.size()));
      if (fresh) unknownSids_.push_back(ace.sid), unknownCounts_.push_back(0);
      if (std::ranges::find(d.unknown, at->second) == d.unknown.end())
        d.unknown.push_back(at->second);
    }
  }

  const Verdict& verdict(std::uint32_t parent, std::uint32_t child, int type, Reading reading) {
    if (reading == Reading::Either) {
      const Verdict& file = verdict(parent, child, type, Reading::File);
      const Verdict& folder = verdict(parent, child, type, Reading::Folder);
      return folder.reasons.size() < file.reasons.size() ? folder : file;
    }
    const bool container = reading == Reading::Folder;
    if (parent != kNone && !descriptors_[parent].sd) parent = kNone;
    // The type's number takes three bits, so up to 2^28 descriptors.
    const std::uint64_t key = std::uint64_t{parent} << 32 | std::uint64_t{child} << 4 |
                              static_cast<unsigned>(type) << 1 | container;
    auto [at, fresh] = verdicts_.try_emplace(key);
    if (fresh)
      at->second = judged(parent, child, ListedType(type).value_or(ObjectType::File), container);
    return at->second;
  }

  const std::vector<GivenEntry>& given(std::uint32_t parent, bool container, ObjectType type,
                                       const platform::SecurityDescriptor& child) {
    const bool creator = descriptors_[parent].givesCreator;
    auto key = std::make_tuple(parent, container, type, creator ? child.owner : "",
                               creator ? child.group : "");
    auto [at, fresh] = given_.try_emplace(std::move(key));
    if (fresh)
      at->second =
          GivenEntries(*descriptors_[parent].sd, container, type, child.owner, child.group);
    return at->second;
  }

  Verdict judged(std::uint32_t parent, std::uint32_t child, ObjectType type, bool container) {
    const platform::SecurityDescriptor& sd = *descriptors_[child].sd;
    const platform::Acl& dacl = sd.dacl;
    std::vector<Ace> inherited, own;
    for (const Ace& ace : dacl.aces)
      (ace.flags & platform::kInherited ? inherited : own).push_back(ace);
    const bool noDacl = !dacl.present || dacl.null;
    // Its own copies of what it would inherit, from before the system passed
    // entries on by itself.
    const bool beforeAuto = !noDacl && !dacl.protectedFromParent && !dacl.autoInherited &&
                            inherited.empty() && !own.empty();
    Verdict v;
    v.ownEntries = !own.empty();
    std::optional<InheritedDifference> difference;
    bool copies = false;
    if (parent != kNone) {
      const std::vector<GivenEntry>& gives = given(parent, container, type, sd);
      difference = CompareInherited(gives, inherited);
      if (beforeAuto) {
        std::vector<Ace> asInherited;
        for (const Ace& ace : own)
          asInherited.push_back(WithFlags(ace, ace.flags | platform::kInherited));
        copies = CompareInherited(gives, asInherited).none();
      }
    }
    auto add = [&](bool when, Departs reason) {
      if (when) v.reasons.push_back(reason);
    };
    if (!copies) {
      add(dacl.protectedFromParent, Departs::Blocked);
      // Without its parent, an old copy is taken for one.
      add(!own.empty() && !(beforeAuto && !difference), Departs::OwnEntries);
      add(difference && !dacl.protectedFromParent && !difference->missing.empty(), Departs::Misses);
      add(difference && !difference->notGiven.empty(), Departs::Stale);
      add(!InCanonicalOrder(dacl), Departs::OutOfOrder);
      add(noDacl, Departs::NoDacl);
      add(!noDacl && dacl.aces.empty(), Departs::EmptyDacl);
    }
    add(beforeAuto, Departs::BeforeAutoInheritance);
    if (v.reasons.empty()) return v;
    auto words = [&](const Ace& ace) {
      return Words(EntryRow(ace, type, container, accounts_, security_));
    };
    for (const Ace& ace : dacl.aces) v.entries.push_back(words(ace));
    if (std::ranges::find(v.reasons, Departs::Misses) != v.reasons.end())
      for (const Ace& ace : difference->missing) v.entries.push_back("Missing: " + words(ace));
    if (std::ranges::find(v.reasons, Departs::Stale) != v.reasons.end())
      for (const Ace& ace : difference->notGiven)
        v.entries.push_back("Not given by its parent: " + words(ace));
    return v;
  }

  platform::Security& security_;
  AccountWords accounts_;
  TreeReport report_;
  std::string partial_;  // a line not yet ended
  bool rooted_ = false;
  std::vector<Ancestor> stack_;
  std::string paths_;  // the ancestors' paths, end to end
  std::vector<Departure> held_;
  PathTable folders_;
  std::unordered_map<std::string, std::uint32_t, TextHash, std::equal_to<>> ids_;
  std::vector<Descriptor> descriptors_;
  std::unordered_map<std::uint64_t, Verdict> verdicts_;
  std::map<std::tuple<std::uint32_t, bool, ObjectType, std::string, std::string>,
           std::vector<GivenEntry>>
      given_;
  std::unordered_map<std::string, std::uint32_t> unknownIds_;
  std::vector<std::string> unknownSids_;
  std::vector<std::uint64_t> unknownCounts_;
};

TreeAnalysis::TreeAnalysis(platform::Security& security)
    : state_(std::make_unique<State>(security)) {}
TreeAnalysis::~TreeAnalysis() = default;
void TreeAnalysis::feed(std::string_view text) { state_->feed(text); }
TreeReport TreeAnalysis::finish(bool listingEnded) { return state_->finish(listingEnded); }
std::uint64_t TreeAnalysis::objectsSoFar() const { return state_->seen; }

std::vector<std::string> WhereAccountAppears(std::string_view listingText,
                                             const std::string& account,
                                             platform::Security& security) {
  AccountWords accounts(security);
  std::unordered_map<std::string_view, bool> names;  // by SDDL
  auto naming = [&](std::string_view sddl) {
    std::optional<platform::SecurityDescriptor> sd = security.Read(std::string(sddl));
    return sd && std::ranges::any_of(sd->dacl.aces, [&](const Ace& ace) {
             return !ace.sid.empty() &&
                    (SameName(ace.sid, account) || Names(accounts(ace.sid), account));
           });
  };
  std::vector<std::string> found;
  ForEachLine(listingText, [&](std::string_view line, std::string_view) {
    std::optional<ListedView> object = ReadListingView(line);
    if (!object) return;
    auto [at, fresh] = names.try_emplace(object->sddl);
    if (fresh) at->second = naming(object->sddl);
    if (at->second) found.emplace_back(object->path);
  });
  return found;
}
