#include "runner/descriptor_difference.h"

#include <algorithm>
#include <cstdio>

namespace {

using platform::Ace;
using platform::Acl;
using platform::SecurityDescriptor;

// Allow-like and deny-like entries decide access in their order; the others do not.
enum class Effect { None, Allows, Denies };

Effect EffectOf(const Ace& ace) {
  return platform::Allows(ace) ? Effect::Allows : platform::Denies(ace) ? Effect::Denies : Effect::None;
}

bool ByBytes(const Ace* a, const Ace* b) { return a->bytes < b->bytes; }

// A list's entries in order of their bytes; alike ones in list order.
std::vector<const Ace*> Sorted(const std::vector<Ace>& aces) {
  std::vector<const Ace*> out;
  out.reserve(aces.size());
  for (const Ace& ace : aces) out.push_back(&ace);
  std::ranges::stable_sort(out, ByBytes);
  return out;
}

std::string Hex(std::string_view bytes) {
  std::string out;
  char two[4];
  for (unsigned char byte : bytes) {
    std::snprintf(two, sizeof two, "%02x", byte);
    out += two;
  }
  return out;
}

class Difference {
 public:
  Difference(ObjectType type, bool container, AccountWords& accounts, platform::Security& security)
      : type_(type), container_(container), accounts_(accounts), security_(security) {}

  std::vector<std::string> of(const SecurityDescriptor& a, const SecurityDescriptor& b,
                              bool withSacl) {
    if (a.owner != b.owner)
      lines_.push_back("Owner: " + accounts_(a.owner) + " → " + accounts_(b.owner));
    if (a.group != b.group)
      lines_.push_back("Primary group: " + accounts_(a.group) + " → " + accounts_(b.group));
    list("DACL", "Inheritance", a.dacl, b.dacl, true);
    if (withSacl) list("SACL", "Audit inheritance", a.sacl, b.sacl, false);
    return std::move(lines_);
  }

 private:
  void list(const std::string& name, const char* inheritance, const Acl& a, const Acl& b,
            bool ordered) {
    auto state = [&](const Acl& acl) {
      return !acl.present ? "no " + name : acl.null ? "a null " + name : std::string("a list");
    };
    if (state(a) != state(b)) lines_.push_back(name + ": " + state(a) + " → " + state(b));
    if (a.protectedFromParent != b.protectedFromParent)
      lines_.push_back(std::string(inheritance) + ": " + InheritanceWords(a.protectedFromParent) +
                       " → " + InheritanceWords(b.protectedFromParent));
    auto onOff = [](bool on) { return on ? "on" : "off"; };
    if (a.autoInherited != b.autoInherited)
      lines_.push_back(name + ": automatic inheritance " + onOff(a.autoInherited) + " → " +
                       onOff(b.autoInherited));
    auto required = [](bool on) { return on ? "required" : "not required"; };
    if (a.autoInheritRequired != b.autoInheritRequired)
      lines_.push_back(name + ": automatic inheritance " + required(a.autoInheritRequired) + " → " +
                       required(b.autoInheritRequired));

    // Entries one list holds more often than the other; of alike ones, the last.
    std::vector<const Ace*> was = Sorted(a.aces), now = Sorted(b.aces), removed, added;
    std::ranges::set_difference(was, now, std::back_inserter(removed), ByBytes);
    std::ranges::set_difference(now, was, std::back_inserter(added), ByBytes);
    labels(removed, added);
    entries(removed, added);
    if (ordered) order(a.aces, b.aces, removed, added);
  }

  // A label's level, policy and reach, each said apart.
  void labels(std::vector<const Ace*>& removed, std::vector<const Ace*>& added) {
    auto take = [](std::vector<const Ace*>& from) {
      std::vector<const Ace*> labels;
      std::erase_if(from, [&](const Ace* ace) {
        if (ace->type != Ace::Type::Label) return false;
        labels.push_back(ace);
        return true;
      });
      return labels;
    };
    std::vector<const Ace*> was = take(removed), now = take(added);
    std::size_t both = std::min(was.size(), now.size());
    for (std::size_t i = 0; i < both; ++i) {
      const Ace &a = *was[i], &b = *now[i];
      if (a.sid != b.sid)
        lines_.push_back("Integrity level: " + IntegrityLevelWords(a.sid) + " → " +
                         IntegrityLevelWords(b.sid));
      if (a.mask != b.mask)
        lines_.push_back("Integrity policy: " + IntegrityPolicyWords(a.mask) + " → " +
                         IntegrityPolicyWords(b.mask));
      std::string x = reach(a), y = reach(b);
      if (x == y) x = EntrySddl(a, security_), y = EntrySddl(b, security_);
      if (a.flags != b.flags || (a.sid == b.sid && a.mask == b.mask))
        lines_.push_back("Integrity label: " + x + " → " + y);
    }
    for (std::size_t i = both; i < was.size(); ++i)
      lines_.push_back("Integrity label removed: " + label(*was[i]));
    for (std::size_t i = both; i < now.size(); ++i)
      lines_.push_back("Integrity label added: " + label(*now[i]));
  }

  // Each entry in words; where the words of one removed and one added are
  // alike, in SDDL too, and failing that in bytes.
  void entries(const std::vector<const Ace*>& removed, const std::vector<const Ace*>& added) {
    std::vector<int> removedDetail(removed.size()), addedDetail(added.size());
    auto describe = [&](const std::vector<const Ace*>& aces, const std::vector<int>& detail) {
      std::vector<std::string> out;
      for (std::size_t i = 0; i < aces.size(); ++i) out.push_back(words(*aces[i], detail[i]));
      return out;
    };
    auto collide = [](const std::vector<std::string>& mine, const std::vector<std::string>& theirs,
                      std::vector<int>& detail) {
      for (std::size_t i = 0; i < mine.size(); ++i)
        if (std::ranges::find(theirs, mine[i]) != theirs.end())
          detail[i] = std::min(detail[i] + 1, 2);
    };
    for (int round = 0; round < 2; ++round) {
      std::vector<std::string> was = describe(removed, removedDetail),
                               now = describe(added, addedDetail);
      collide(was, now, removedDetail);
      collide(now, was, addedDetail);
    }
    for (const std::string& line : describe(removed, removedDetail))
      lines_.push_back("Removed: " + line);
    for (const std::string& line : describe(added, addedDetail)) lines_.push_back("Added: " + line);
  }

  // A deny passed by an allow, or an allow by a deny, among the entries both
  // lists hold: each the k-th alike one in both.
  void order(const std::vector<Ace>& a, const std::vector<Ace>& b,
             const std::vector<const Ace*>& removed, const std::vector<const Ace*>& added) {
    auto deciding = [](const std::vector<Ace>& aces, const std::vector<const Ace*>& extra) {
      std::vector<const Ace*> out;
      for (const Ace& ace : aces)
        if (EffectOf(ace) != Effect::None && std::ranges::find(extra, &ace) == extra.end())
          out.push_back(&ace);
      return out;
    };
    std::vector<const Ace*> was = deciding(a, removed), now = deciding(b, added);
    auto byBytes = [](const std::vector<const Ace*>& aces) {
      std::vector<std::size_t> at(aces.size());
      for (std::size_t i = 0; i < at.size(); ++i) at[i] = i;
      std::ranges::stable_sort(
          at, [&](std::size_t x, std::size_t y) { return ByBytes(aces[x], aces[y]); });
      return at;
    };
    std::vector<std::size_t> wasSorted = byBytes(was), nowSorted = byBytes(now), place(was.size());
    for (std::size_t k = 0; k < wasSorted.size(); ++k) place[wasSorted[k]] = nowSorted[k];
    // The entry of each effect that stands latest after the run, of those before this one.
    const Ace* latest[2] = {nullptr, nullptr};
    std::size_t latestPlace[2] = {0, 0};
    for (std::size_t i = 0; i < was.size(); ++i) {
      int mine = EffectOf(*was[i]) == Effect::Allows ? 0 : 1, other = 1 - mine;
      if (latest[other] && latestPlace[other] > place[i]) {
        lines_.push_back("Order changed: " + words(*was[i], 0) + " now stands before " +
                         words(*latest[other], 0));
        return;
      }
      if (!latest[mine] || place[i] > latestPlace[mine])
        latest[mine] = was[i], latestPlace[mine] = place[i];
    }
  }

  // "Allow Everyone: Read (This key and subkeys)", as the table has it; the
  // kinds without words in SDDL. `detail` 1 adds the SDDL, 2 the bytes.
  std::string words(const Ace& ace, int detail) {
    std::string out;
    if (ace.type == Ace::Type::Other) {
      out = EntrySddl(ace, security_);
    } else {
      PermissionRow row = RowOf(ace, type_, container_, accounts_(ace.sid));
      out = row.type + " " + row.account + ": " + row.access;
      if (!row.appliesTo.empty()) out += " (" + row.appliesTo + ")";
      if (ace.flags & platform::kInherited) out += ", inherited";
      if (detail >= 1) out += " [" + EntrySddl(ace, security_) + "]";
    }
    if (detail >= 2) out += " [" + Hex(ace.bytes) + "]";
    return out;
  }

  // "High, no write up (This folder, subfolders and files), inherited"
  std::string label(const Ace& ace) {
    std::string out = IntegrityLevelWords(ace.sid) + ", " + IntegrityPolicyWords(ace.mask);
    std::string where = AppliesTo(ace.flags, type_, container_);
    if (!where.empty()) out += " (" + where + ")";
    if (ace.flags & platform::kInherited) out += ", inherited";
    return out;
  }

  std::string reach(const Ace& ace) {
    std::string where = AppliesTo(ace.flags, type_, container_);
    return (where.empty() ? "" : where + ", ") +
           (ace.flags & platform::kInherited ? "inherited" : "not inherited");
  }

  ObjectType type_;
  bool container_;
  AccountWords& accounts_;
  platform::Security& security_;
  std::vector<std::string> lines_;
};

}  // namespace

std::vector<std::string> DescriptorDifference(const SecurityDescriptor& before,
                                              const SecurityDescriptor& after, ObjectType type,
                                              bool container, bool withSacl, AccountWords& accounts,
                                              platform::Security& security) {
  return Difference(type, container, accounts, security).of(before, after, withSacl);
}

bool IsContainer(ObjectType type, const SecurityDescriptor& a, const SecurityDescriptor& b) {
  if (type == ObjectType::Registry) return true;
  for (const SecurityDescriptor* sd : {&a, &b})
    for (const Acl* acl : {&sd->dacl, &sd->sacl})
      for (const Ace& ace : acl->aces)
        if (ace.flags & (platform::kObjectInherit | platform::kContainerInherit)) return true;
  return false;
}
