#include "setacl/permission_table.h"

#include <cstdio>
#include <set>
#include <utility>

#include "setacl/arguments.h"
#include "setacl/inheritance.h"

namespace {

using platform::Ace;

struct Named {
  std::uint32_t mask;
  const char* words;
};

struct Right {
  std::uint32_t bit;
  const char* words;
};

constexpr std::uint32_t kSynchronize = 0x100000;

constexpr Right kStandard[] = {{0x10000, "delete"}, {0x20000, "read permissions"},
                               {0x40000, "change permissions"}, {0x80000, "take ownership"}};

struct Words {
  std::vector<Named> named;  // first match wins
  std::vector<Right> rights;
};

const Words& WordsFor(ObjectType type) {
  static const Words files{
      {{0x1F01FF, "Full control"}, {0x1301BF, "Modify"}, {0x1200A9, "Read & execute"},
       {0x120089, "Read"}, {0x120116, "Write"}, {0x100116, "Write"},
       {0x1201BF, "Read & execute, Write"}, {0x12019F, "Read, Write"}},
      {{0x1, "list folder / read data"}, {0x2, "create files / write data"},
       {0x4, "create folders / append data"}, {0x8, "read extended attributes"},
       {0x10, "write extended attributes"}, {0x20, "traverse folder / execute file"},
       {0x40, "delete subfolders and files"}, {0x80, "read attributes"},
       {0x100, "write attributes"}}};
  static const Words keys{
      {{0xF003F, "Full control"}, {0x20019, "Read"}, {0x20006, "Write"}},
      {{0x1, "query values"}, {0x2, "set values"}, {0x4, "create subkeys"},
       {0x8, "enumerate subkeys"}, {0x10, "notify"}, {0x20, "create links"}}};
  static const Words services{
      {{0xF01FF, "Full control"}, {0x2008D, "Read"}, {0x20170, "Start, stop and pause"}},
      {{0x1, "query the configuration"}, {0x2, "change the configuration"},
       {0x4, "query the status"}, {0x8, "enumerate dependents"}, {0x10, "start"}, {0x20, "stop"},
       {0x40, "pause and continue"}, {0x80, "interrogate"}, {0x100, "send its own controls"}}};
  static const Words printers{
      {{0xF000C, "Full control"}, {0xF0030, "Manage documents"}, {0x20008, "Print"},
       {0x2000C, "Print, Manage this printer"}},
      {{0x1, "administer the server"}, {0x2, "enumerate servers"}, {0x4, "manage this printer"},
       {0x8, "print"}, {0x10, "administer documents"}, {0x20, "read documents"}}};
  static const Words shares{
      {{0x1F01FF, "Full control"}, {0x1301BF, "Change"}, {0x1200A9, "Read"}},
      files.rights};
  switch (type) {
    case ObjectType::File: return files;
    case ObjectType::Registry: return keys;
    case ObjectType::Service: return services;
    case ObjectType::Printer: return printers;
    case ObjectType::Share: break;
  }
  return shares;
}

std::string TypeWords(const Ace& ace) {
  switch (ace.type) {
    case Ace::Type::Allow: return "Allow";
    case Ace::Type::Deny: return "Deny";
    case Ace::Type::Audit: {
      bool success = ace.flags & platform::kAuditSuccess, failure = ace.flags & platform::kAuditFailure;
      return success && failure ? "Audit success and failure"
             : failure          ? "Audit failure"
             : success          ? "Audit success"
                                : "Audit nothing";
    }
    case Ace::Type::Label: return "Integrity label";
    case Ace::Type::Other: break;
  }
  return "Other";
}

// The kinds without words of their own, by the system's number.
std::string KindWords(std::uint8_t kind) {
  static const std::pair<std::uint8_t, const char*> kKinds[] = {
      {0x03, "Alarm"}, {0x04, "Allow (compound)"}, {0x05, "Allow (object)"}, {0x06, "Deny (object)"},
      {0x07, "Audit (object)"}, {0x08, "Alarm (object)"}, {0x09, "Allow (condition)"},
      {0x0A, "Deny (condition)"}, {0x0B, "Allow (object, condition)"},
      {0x0C, "Deny (object, condition)"}, {0x0D, "Audit (condition)"}, {0x0E, "Alarm (condition)"},
      {0x0F, "Audit (object, condition)"}, {0x10, "Alarm (object, condition)"},
      {0x12, "Resource attribute"}, {0x13, "Scoped policy"}, {0x14, "Trust label"},
      {0x15, "Access filter"}};
  for (auto [number, words] : kKinds)
    if (number == kind) return words;
  return "Other";
}

}  // namespace

// What below a folder or key an entry reaches; a file's, service's, printer's
// or share's reach nothing.
std::string AppliesTo(std::uint8_t flags, ObjectType type, bool container) {
  if (!container) return {};
  bool objects = flags & platform::kObjectInherit, containers = flags & platform::kContainerInherit;
  bool only = flags & platform::kInheritOnly;
  std::string words;
  if (type == ObjectType::Registry) {
    words = !containers ? "This key only" : only ? "Subkeys only" : "This key and subkeys";
  } else if (!objects && !containers) {
    words = "This folder only";
  } else {
    static const char* const kReach[2][2][2] = {
        // [only][objects][containers]
        {{"", "This folder and subfolders"}, {"This folder and files", "This folder, subfolders and files"}},
        {{"", "Subfolders only"}, {"Files only", "Subfolders and files only"}}};
    words = kReach[only][objects][containers];
  }
  if (flags & platform::kNoPropagate && (objects || containers)) words += ", the next level only";
  return words;
}

std::string AccessWords(std::uint32_t mask, ObjectType type) {
  const Words& words = WordsFor(type);
  mask = MapGenericRights(mask, type);  // in this type's own rights
  for (const Named& named : words.named)
    if (mask == named.mask) return named.words;
  std::vector<std::string> rights;
  for (const Right& right : words.rights)
    if (mask & right.bit) rights.emplace_back(right.words);
  for (const Right& right : kStandard)
    if (mask & right.bit) rights.emplace_back(right.words);
  std::uint32_t known = kSynchronize;
  for (const Right& right : words.rights) known |= right.bit;
  for (const Right& right : kStandard) known |= right.bit;
  if (std::uint32_t other = mask & ~known) {
    char hex[16];
    std::snprintf(hex, sizeof hex, "0x%X", other);
    rights.push_back(std::string("other rights ") + hex);
  }
  if (rights.empty()) return mask & kSynchronize ? "synchronize" : "nothing";
  return Joined(rights, ", ");
}

const std::string& AccountWords::operator()(const std::string& sid) {
  auto [it, fresh] = words_.try_emplace(sid);
  if (!fresh) return it->second;
  if (sid.empty()) return it->second = "(not listed)";
  if (auto name = security_.AccountName(sid)) return it->second = *name;
  unknown_.insert(sid);
  return it->second = sid + " (unknown account)";
}

PermissionRow RowOf(const Ace& ace, ObjectType type, bool container, std::string account) {
  return {TypeWords(ace), std::move(account), AccessWords(ace.mask, type),
          ace.flags & platform::kInherited ? "Yes" : "No", AppliesTo(ace.flags, type, container)};
}

std::string IntegrityLevelWords(const std::string& sid) {
  static const std::pair<const char*, const char*> kLevels[] = {
      {"S-1-16-4096", "Low"}, {"S-1-16-8192", "Medium"}, {"S-1-16-8448", "Medium Plus"},
      {"S-1-16-12288", "High"}, {"S-1-16-16384", "System"}};
  for (auto [level, words] : kLevels)
    if (sid == level) return words;
  return sid;
}

std::string IntegrityPolicyWords(std::uint32_t mask) {
  static const Right kPolicies[] = {{platform::kNoWriteUp, "no write up"},
                                    {platform::kNoReadUp, "no read up"},
                                    {platform::kNoExecuteUp, "no execute up"}};
  std::vector<std::string> words;
  for (const Right& policy : kPolicies)
    if (mask & policy.bit) words.emplace_back(policy.words);
  if (std::uint32_t other = mask & ~(platform::kNoWriteUp | platform::kNoReadUp | platform::kNoExecuteUp)) {
    char hex[16];
    std::snprintf(hex, sizeof hex, "0x%X", other);
    words.push_back(std::string("other policy ") + hex);
  }
  return words.empty() ? "no policy" : Joined(words, ", ");
}

std::string EntrySddl(const Ace& ace, platform::Security& security) {
  std::string text = security.EntryText(ace);
  if (!text.empty()) return text;
  char kind[48];
  std::snprintf(kind, sizeof kind, "an entry of type 0x%02X", static_cast<unsigned>(ace.kind));
  return kind;
}

PermissionRow EntryRow(const Ace& ace, ObjectType type, bool container, AccountWords& accounts,
                       platform::Security& security) {
  switch (ace.type) {
    case Ace::Type::Allow: case Ace::Type::Deny: case Ace::Type::Audit:
      return RowOf(ace, type, container, accounts(ace.sid));
    case Ace::Type::Label:
      return {TypeWords(ace), IntegrityLevelWords(ace.sid), IntegrityPolicyWords(ace.mask),
              ace.flags & platform::kInherited ? "Yes" : "No", AppliesTo(ace.flags, type, container)};
    case Ace::Type::Other:
      // One given by its parts, its bytes not written: its account and rights.
      if (ace.bytes.empty() && !ace.sid.empty()) return RowOf(ace, type, container, accounts(ace.sid));
      break;
  }
  return {KindWords(ace.kind), "", EntrySddl(ace, security), ace.flags & platform::kInherited ? "Yes" : "No",
          AppliesTo(ace.flags, type, container)};
}

std::string InheritanceWords(bool protectedFromParent) {
  return protectedFromParent ? "Protected: it inherits nothing from its parent"
                             : "It inherits from its parent";
}

PermissionTable TableOf(const platform::SecurityDescriptor& sd, ObjectType type, bool container,
                        platform::Security& security) {
  PermissionTable table;
  AccountWords account(security);
  table.owner = account(sd.owner);
  table.group = account(sd.group);
  table.inheritance = InheritanceWords(sd.dacl.protectedFromParent);
  for (const platform::Acl* acl : {&sd.dacl, &sd.sacl})
    for (const Ace& ace : acl->aces) table.rows.push_back(EntryRow(ace, type, container, account, security));

  std::vector<std::string>& warnings = table.warnings;
  if (!sd.dacl.present || sd.dacl.null)
    warnings.push_back("There is no DACL: everyone has full access.");
  else if (sd.dacl.aces.empty())
    warnings.push_back("The DACL is empty: no one has access.");
  // Canonical order: explicit entries before inherited ones, and among the
  // explicit ones denials first; the system stops at the first entry that decides.
  bool inheritedSeen = false, allowSeen = false, explicitLate = false, denyLate = false;
  for (const Ace& ace : sd.dacl.aces) {
    bool inherited = ace.flags & platform::kInherited;
    if (inherited) {
      inheritedSeen = true;
      continue;
    }
    if (inheritedSeen && !explicitLate) {
      explicitLate = true;
      warnings.push_back("Out of canonical order: the explicit entry for " + account(ace.sid) +
                         " stands after inherited entries.");
    }
    if (platform::Allows(ace)) allowSeen = true;
    if (platform::Denies(ace) && allowSeen && !denyLate) {
      denyLate = true;
      warnings.push_back("Out of canonical order: the deny entry for " + account(ace.sid) +
                         " stands after an allow entry, so an allowed right may pass it.");
    }
  }
  for (const std::string& sid : account.unknown())
    warnings.push_back("Unknown account " + sid +
                       ": no account has this SID now; it may have been deleted.");
  return table;
}

std::string TabSeparated(const PermissionTable& table) {
  std::vector<std::string> lines{Joined({std::begin(kPermissionColumns), std::end(kPermissionColumns)}, "\t")};
  for (const PermissionRow& row : table.rows)
    lines.push_back(Joined({row.type, row.account, row.access, row.inherited, row.appliesTo}, "\t"));
  return Joined(lines, "\r\n") + "\r\n";
}
