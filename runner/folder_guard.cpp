#include "runner/folder_guard.h"

#include <cstdint>

#include "setacl/permission_table.h"

namespace {

constexpr const char* kAdministrators = "S-1-5-32-544";
constexpr const char* kSystem = "S-1-5-18";
constexpr const char* kCreatorOwner = "S-1-3-0";  // stands for no one on the object itself
constexpr const char* kOwnerRights = "S-1-3-4";

// Writing or appending data, extended attributes or attributes, deleting
// it or what it holds, changing its permissions or owner, generic write or all.
constexpr std::uint32_t kChanges =
    0x2 | 0x4 | 0x10 | 0x40 | 0x100 | 0x10000 | 0x40000 | 0x80000 | 0x10000000 | 0x40000000;

bool Trusted(const std::string& sid) { return sid == kAdministrators || sid == kSystem; }

}  // namespace

std::optional<std::vector<std::string>> OthersWhoCanChange(const std::string& sddl,
                                                           platform::Security& security) {
  auto sd = sddl.empty() ? std::nullopt : security.Read(sddl);
  if (!sd) return std::nullopt;
  AccountWords account(security);
  std::vector<std::string> others;
  auto add = [&](std::string words) {
    for (const std::string& known : others)
      if (known == words) return;
    others.push_back(std::move(words));
  };
  // Its owner may always change its permissions.
  if (!sd->owner.empty() && !Trusted(sd->owner)) add(account(sd->owner));
  if (!sd->dacl.present || sd->dacl.null) add("Everyone (it has no DACL)");
  for (const platform::Ace& ace : sd->dacl.aces) {
    if (!platform::Allows(ace) || (ace.flags & platform::kInheritOnly)) continue;
    // An entry with object types or a condition may allow anything to anyone.
    if (ace.type != platform::Ace::Type::Allow) {
      add("whoever the entry " + security.EntryText(ace) + " allows");
      continue;
    }
    if (!(ace.mask & kChanges) || ace.sid == kCreatorOwner) continue;
    const std::string& sid = ace.sid == kOwnerRights ? sd->owner : ace.sid;
    if (!Trusted(sid)) add(account(sid));
  }
  return others;
}
