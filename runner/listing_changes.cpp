#include "runner/listing_changes.h"

#include <algorithm>
#include <tuple>
#include <unordered_map>

#include "run/permission_table.h"
#include "runner/run_status.h"
#include "run/setacl_listing.h"

namespace {

using platform::Ace;
using platform::Acl;
using platform::SecurityDescriptor;

auto Key(const Ace& ace) { return std::tie(ace.type, ace.flags, ace.mask, ace.sid); }

bool Before(const Ace& a, const Ace& b) { return Key(a) < Key(b); }

// A folder's entries may reach below it; a listing does not say which
// objects are folders, but entries that are passed on say so.
bool Container(ObjectType type, const SecurityDescriptor& a, const SecurityDescriptor& b) {
  if (type == ObjectType::Registry) return true;
  for (const SecurityDescriptor* sd : {&a, &b})
    for (const Acl* acl : {&sd->dacl, &sd->sacl})
      for (const Ace& ace : acl->aces)
        if (ace.flags & (platform::kObjectInherit | platform::kContainerInherit)) return true;
  return false;
}

class Difference {
 public:
  Difference(ObjectType type, bool container, AccountWords& accounts)
      : type_(type), container_(container), accounts_(accounts) {}

  std::vector<std::string> of(const SecurityDescriptor& a, const SecurityDescriptor& b) {
    if (a.owner != b.owner) lines_.push_back("Owner: " + accounts_(a.owner) + " → " + accounts_(b.owner));
    if (a.group != b.group)
      lines_.push_back("Primary group: " + accounts_(a.group) + " → " + accounts_(b.group));
    list("DACL", "Inheritance", a.dacl, b.dacl);
    list("SACL", "Audit inheritance", a.sacl, b.sacl);
    return std::move(lines_);
  }

 private:
  void list(const char* name, const char* inheritance, const Acl& a, const Acl& b) {
    auto state = [&](const Acl& acl) {
      return !acl.present ? std::string("no ") + name : acl.null ? std::string("a null ") + name : "";
    };
    if (state(a) != state(b))
      lines_.push_back(std::string(name) + ": " + (state(a).empty() ? std::string("a list") : state(a)) +
                       " → " + (state(b).empty() ? std::string("a list") : state(b)));
    if (a.present && b.present && a.protectedFromParent != b.protectedFromParent)
      lines_.push_back(std::string(inheritance) + ": " + InheritanceWords(a.protectedFromParent) +
                       " → " + InheritanceWords(b.protectedFromParent));
    std::vector<Ace> before = a.aces, after = b.aces;
    std::ranges::sort(before, Before);
    std::ranges::sort(after, Before);
    std::vector<Ace> removed, added;
    std::ranges::set_difference(before, after, std::back_inserter(removed), Before);
    std::ranges::set_difference(after, before, std::back_inserter(added), Before);
    for (const Ace& ace : removed) lines_.push_back("Removed: " + words(ace));
    for (const Ace& ace : added) lines_.push_back("Added: " + words(ace));
  }

  // "Allow Everyone: Read (This key and subkeys)", as the table has it.
  std::string words(const Ace& ace) {
    PermissionRow row = RowOf(ace, type_, container_, accounts_(ace.sid));
    std::string out = row.type + " " + row.account + ": " + row.access;
    if (!row.appliesTo.empty()) out += " (" + row.appliesTo + ")";
    if (row.inherited == "Yes") out += ", inherited";
    return out;
  }

  ObjectType type_;
  bool container_;
  AccountWords& accounts_;
  std::vector<std::string> lines_;
};

}  // namespace

ListingChanges CompareListings(std::string_view beforeText, std::string_view afterText,
                               platform::Security& security) {
  std::vector<ListedView> before = ReadListingLines(beforeText).objects, after = ReadListingLines(afterText).objects;
  std::unordered_map<std::string_view, std::size_t> afterByPath;
  afterByPath.reserve(after.size());
  for (std::size_t i = 0; i < after.size(); ++i) afterByPath.emplace(after[i].path, i);
  std::vector<bool> matched(after.size());
  AccountWords accounts(security);
  ListingChanges out;
  auto unread = [&](std::string_view path, const char* why) {
    ++out.unreadable;
    out.changes.push_back({std::string(path), {why}});
  };
  for (const ListedView& object : before) {
    auto it = afterByPath.find(object.path);
    if (it == afterByPath.end()) {
      unread(object.path, "Not listed after the run: it could not be read, or it is gone.");
      continue;
    }
    const ListedView& now = after[it->second];
    matched[it->second] = true;
    if (now.sddl == object.sddl) continue;
    auto a = security.Read(std::string(object.sddl)), b = security.Read(std::string(now.sddl));
    if (!a || !b) {
      unread(object.path, "The system reads no security descriptor in its listing.");
      continue;
    }
    ObjectType type = ListedType(object.type).value_or(ObjectType::File);
    std::vector<std::string> lines = Difference(type, Container(type, *a, *b), accounts).of(*a, *b);
    if (lines.empty()) continue;
    ++out.changed;
    out.changes.push_back({std::string(object.path), std::move(lines)});
  }
  out.objects = before.size();
  for (std::size_t i = 0; i < after.size(); ++i)
    if (!matched[i]) {
      ++out.objects;
      unread(after[i].path, "Not listed before the run: it could not be read, or it is new.");
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
  return out;
}
