#include "setacl/inheritance.h"

#include <algorithm>
#include <functional>
#include <string_view>
#include <utility>

namespace {

using platform::Ace;

constexpr std::uint32_t kGenericAll = 0x10000000, kGenericExecute = 0x20000000,
                        kGenericWrite = 0x40000000, kGenericRead = 0x80000000;
// The system's ACE header: kind, flags, size.
constexpr std::size_t kHeader = 4;

struct Generic {
  std::uint32_t all, read, write, execute;
};

Generic GenericOf(ObjectType type) {
  switch (type) {
    case ObjectType::File:
      return {0x1F01FF, 0x120089, 0x120116, 0x1200A0};
    case ObjectType::Registry:
      return {0xF003F, 0x20019, 0x20006, 0x20019};
    case ObjectType::Service:
      return {0xF01FF, 0x2008D, 0x20002, 0x20170};
    case ObjectType::Printer:
      return {0xF000C, 0x20008, 0x20008, 0x20008};
    case ObjectType::Share:
      break;
  }
  return {0x1F01FF, 0x1200A9, 0x1301BF, 0x1200A9};
}

// Allow and deny entries of every kind are read by their parts (rights,
// account, and object types or a condition beside them), and given in
// parts; the others only whole.
bool ByParts(const Ace& ace) { return (platform::Allows(ace) || platform::Denies(ace)) && !ace.sid.empty(); }

// An effective copy: generic rights and the creator's accounts mapped.
GivenEntry Effective(const Ace& ace, std::uint8_t flags, ObjectType type, const std::string& owner,
                     const std::string& group) {
  GivenEntry given{WithFlags(ace, flags)};
  if (!ByParts(ace)) return given;
  Ace& copy = given.ace;
  copy.mask = MapGenericRights(ace.mask, type);
  if (IsCreator(ace.sid)) {
    const std::string& account = ace.sid == kCreatorOwner ? owner : group;
    if (account.empty())
      given.anyAccount = true;
    else
      copy.sid = account;
  }
  // Its bytes would be written anew; such entries are compared by their parts.
  if (copy.mask != ace.mask || copy.sid != ace.sid) copy.bytes.clear();
  return given;
}

bool Mapped(const GivenEntry& given, const Ace& from) {
  return given.ace.mask != from.mask || given.ace.sid != from.sid || given.anyAccount;
}

}  // namespace

bool IsCreator(const std::string& sid) { return sid == kCreatorOwner || sid == kCreatorGroup; }

Ace WithFlags(const Ace& ace, std::uint8_t flags) {
  Ace copy = ace;
  copy.flags = flags;
  if (copy.bytes.size() >= kHeader) copy.bytes[1] = static_cast<char>(flags);
  return copy;
}

std::uint32_t MapGenericRights(std::uint32_t mask, ObjectType type) {
  const Generic generic = GenericOf(type);
  const std::pair<std::uint32_t, std::uint32_t> meanings[] = {{kGenericAll, generic.all},
                                                              {kGenericRead, generic.read},
                                                              {kGenericWrite, generic.write},
                                                              {kGenericExecute, generic.execute}};
  for (auto [bit, meaning] : meanings)
    if (mask & bit) mask = (mask & ~bit) | meaning;
  return mask;
}

std::vector<GivenEntry> GivenEntries(const platform::SecurityDescriptor& parent, bool container,
                                     ObjectType type, const std::string& owner,
                                     const std::string& group) {
  std::vector<GivenEntry> given;
  std::vector<bool> creatorMapped;
  auto add = [&](GivenEntry entry, const Ace& from) {
    creatorMapped.push_back(IsCreator(from.sid) && entry.ace.sid != from.sid);
    given.push_back(std::move(entry));
  };
  for (const Ace& ace : parent.dacl.aces) {
    const std::uint8_t reach = ace.flags & (platform::kObjectInherit | platform::kContainerInherit);
    const bool objects = ace.flags & platform::kObjectInherit,
               containers = ace.flags & platform::kContainerInherit;
    const bool noPropagate = ace.flags & platform::kNoPropagate;
    if (!container) {
      if (objects) add(Effective(ace, platform::kInherited, type, owner, group), ace);
    } else if (containers && noPropagate) {
      add(Effective(ace, platform::kInherited, type, owner, group), ace);
    } else if (containers) {
      GivenEntry effective = Effective(ace, reach | platform::kInherited, type, owner, group);
      if (!Mapped(effective, ace)) {
        add(std::move(effective), ace);
        continue;
      }
      // Effective here mapped, and passed on as it stands.
      effective.ace = WithFlags(effective.ace, platform::kInherited);
      add(std::move(effective), ace);
      add({WithFlags(ace, reach | platform::kInheritOnly | platform::kInherited)}, ace);
    } else if (objects && !noPropagate) {
      add({WithFlags(ace,
                     platform::kObjectInherit | platform::kInheritOnly | platform::kInherited)},
          ace);
    }
  }
  // A creator's copy alike another entry given may be kept as one with it.
  for (std::size_t i = 0; i < given.size(); ++i) {
    if (!creatorMapped[i]) continue;
    for (std::size_t j = 0; j < given.size() && !given[i].mayMerge; ++j)
      if (j != i && !given[j].mayMerge && SameEntry(given[i].ace, given[j].ace))
        given[i].mayMerge = true;
  }
  return given;
}

bool SameEntry(const Ace& a, const Ace& b) {
  if (a.kind != b.kind || a.flags != b.flags) return false;
  if (ByParts(a)) return ByParts(b) && a.mask == b.mask && a.sid == b.sid && a.extra == b.extra;
  auto rest = [](const Ace& ace) {
    return std::string_view(ace.bytes).substr(std::min(kHeader, ace.bytes.size()));
  };
  return rest(a) == rest(b);
}

InheritedDifference CompareInherited(const std::vector<GivenEntry>& given,
                                     const std::vector<Ace>& held) {
  InheritedDifference difference;
  std::vector<bool> taken(held.size());
  auto take = [&](const std::function<bool(const Ace&)>& alike) {
    for (std::size_t i = 0; i < held.size(); ++i)
      if (!taken[i] && alike(held[i])) {
        taken[i] = true;
        return true;
      }
    return false;
  };
  // Those the system keeps as given first, so that neither a copy it may
  // merge nor one for any account takes their place.
  for (const GivenEntry& entry : given)
    if (!entry.mayMerge && !entry.anyAccount &&
        !take([&](const Ace& ace) { return SameEntry(entry.ace, ace); }))
      difference.missing.push_back(entry.ace);
  for (const GivenEntry& entry : given)
    if (entry.mayMerge) take([&](const Ace& ace) { return SameEntry(entry.ace, ace); });
  for (const GivenEntry& entry : given)
    if (entry.anyAccount && !take([&](const Ace& ace) {
          return ace.kind == entry.ace.kind && ace.flags == entry.ace.flags &&
                 ace.mask == entry.ace.mask && ace.extra == entry.ace.extra;
        }))
      difference.missing.push_back(entry.ace);
  for (std::size_t i = 0; i < held.size(); ++i)
    if (!taken[i]) difference.notGiven.push_back(held[i]);
  return difference;
}

bool InCanonicalOrder(const platform::Acl& acl) {
  bool inheritedSeen = false, allowSeen = false;
  for (const Ace& ace : acl.aces) {
    if (ace.flags & platform::kInherited) {
      inheritedSeen = true;
      continue;
    }
    if (inheritedSeen || (platform::Denies(ace) && allowSeen)) return false;
    allowSeen = allowSeen || platform::Allows(ace);
  }
  return true;
}
