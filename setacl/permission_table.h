#pragma once
// An object's security as a table in words, as Explorer shows it, and what
// Explorer hides: entries out of canonical order, accounts that no longer
// exist, and an empty list (no one may enter) apart from no list (everyone
// may).

#include <cstdint>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "platform/security.h"
#include "setacl/choices.h"

struct PermissionRow {
  std::string type;       // Allow, Deny, Audit success, Audit failure, Integrity label, ...
  std::string account;    // the name, or the SID of an unknown account; a label's level
  std::string access;     // in the object type's own words; a label's policy; else SDDL
  std::string inherited;  // Yes: from the parent
  std::string appliesTo;  // for a folder or key: what below it the entry reaches
};

struct PermissionTable {
  std::string owner, group, inheritance;
  std::vector<PermissionRow> rows;  // the DACL's entries, then the SACL's
  std::vector<std::string> warnings;
};

inline constexpr const char* kPermissionColumns[] = {"Type", "Account", "Access", "Inherited",
                                                     "Applies to"};

// Accounts in words, each SID looked up once: its name, "(not listed)" for
// none, or the SID marked as an unknown account.
class AccountWords {
 public:
  explicit AccountWords(platform::Security& security) : security_(security) {}
  const std::string& operator()(const std::string& sid);
  // The SIDs met that no account has.
  const std::set<std::string>& unknown() const { return unknown_; }

 private:
  platform::Security& security_;
  std::map<std::string, std::string> words_;
  std::set<std::string> unknown_;
};

// `container`: a folder or key, whose entries may reach what is below it.
// An allow, deny or audit entry in words.
PermissionRow RowOf(const platform::Ace& ace, ObjectType type, bool container, std::string account);
// Any entry: allow, deny and audit ones in words, an integrity label by its
// level and policy, the other kinds by name with their SDDL.
PermissionRow EntryRow(const platform::Ace& ace, ObjectType type, bool container,
                       AccountWords& accounts, platform::Security& security);
// An integrity label's level by its SID: Low, Medium, Medium Plus, High,
// System; else the SID.
std::string IntegrityLevelWords(const std::string& sid);
// "no write up, no read up"; "no policy" for none.
std::string IntegrityPolicyWords(std::uint32_t mask);
// An entry as SDDL as the system writes it, else its kind's number.
std::string EntrySddl(const platform::Ace& ace, platform::Security& security);
// The reach below a folder or key of an entry's flags, in words; empty for
// other objects.
std::string AppliesTo(std::uint8_t flags, ObjectType type, bool container);
// Whether a list takes its parent's entries, in words.
std::string InheritanceWords(bool protectedFromParent);
PermissionTable TableOf(const platform::SecurityDescriptor& descriptor, ObjectType type,
                        bool container, platform::Security& security);
// An access mask in the words of the object type: its named sets (files:
// "Full control", "Modify", "Read & execute", "Read", "Write"), else each
// right.
std::string AccessWords(std::uint32_t mask, ObjectType type);
// The table with its column heads, a row a line, tab-separated.
std::string TabSeparated(const PermissionTable& table);
