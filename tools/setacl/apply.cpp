#include "tools/setacl/apply.h"

#include <windows.h>
#include <aclapi.h>
#include <sddl.h>

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <vector>

#include "platform/win32/local_memory.h"
#include "forms/win32/wide.h"
#include "setacl/listing.h"
#include "tools/setacl/describe.h"
#include "tools/setacl/objects.h"
#include "tools/setacl/rights.h"

namespace standin {
namespace {

// What each permission token grants, by object type.
ACCESS_MASK Mask(ObjectType type, const std::string& token) {
  static const std::map<ObjectType, std::map<std::string, ACCESS_MASK>> kMasks = {
      {ObjectType::File,
       {{"read", 0x120089}, {"write", 0x120116}, {"list_folder", 0x1200A9},
        {"read_ex", 0x1200A9}, {"change", 0x1301BF}, {"profile", 0x1701BF},
        {"full", 0x1F01FF}, {"traverse", 0x20}, {"list_dir", 0x1}, {"read_attr", 0x80},
        {"read_ea", 0x8}, {"add_file", 0x2}, {"add_subdir", 0x4}, {"write_attr", 0x100},
        {"write_ea", 0x10}, {"del_child", 0x40}, {"delete", DELETE},
        {"read_dacl", READ_CONTROL}, {"write_dacl", WRITE_DAC}, {"write_owner", WRITE_OWNER}}},
      {ObjectType::Registry,
       {{"read", KEY_READ}, {"full", KEY_ALL_ACCESS}, {"query_val", KEY_QUERY_VALUE},
        {"set_val", KEY_SET_VALUE}, {"create_subkey", KEY_CREATE_SUB_KEY},
        {"enum_subkeys", KEY_ENUMERATE_SUB_KEYS}, {"notify", KEY_NOTIFY},
        {"create_link", KEY_CREATE_LINK}, {"delete", DELETE}, {"write_dacl", WRITE_DAC},
        {"write_owner", WRITE_OWNER}, {"read_access", READ_CONTROL}}},
      {ObjectType::Service, {{"read", 0x2008D}, {"start_stop", 0x20170}, {"full", 0xF01FF}}},
      {ObjectType::Printer,
       {{"print", 0x20008}, {"man_printer", 0xF000C}, {"man_docs", 0xF0030}, {"full", 0xF000C}}},
      {ObjectType::Share, {{"read", 0x1200A9}, {"change", 0x1301BF}, {"full", 0x1F01FF}}}};
  auto type_ = kMasks.find(type);
  if (type_ == kMasks.end()) return 0;
  auto it = type_->second.find(token);
  return it == type_->second.end() ? 0 : it->second;
}

DWORD Inheritance(std::uint8_t flags) {
  return (flags & kSubObjects ? OBJECT_INHERIT_ACE : 0) |
         (flags & kSubContainers ? CONTAINER_INHERIT_ACE : 0) |
         (flags & kNoPropagation ? NO_PROPAGATE_INHERIT_ACE : 0) |
         (flags & kInheritOnly ? INHERIT_ONLY_ACE : 0);
}

ACCESS_MODE Mode(AceMode mode) {
  switch (mode) {
    case AceMode::Set: return SET_ACCESS;
    case AceMode::Grant: return GRANT_ACCESS;
    case AceMode::Revoke: return REVOKE_ACCESS;
    case AceMode::Deny: return DENY_ACCESS;
    case AceMode::AuditSuccess: return SET_AUDIT_SUCCESS;
    case AceMode::AuditFailure: return SET_AUDIT_FAILURE;
  }
  return SET_ACCESS;
}

// Whether lists given by the call take in one of them.
bool Covers(std::optional<AclLists> lists, bool sacl) {
  return lists == AclLists::Both || lists == (sacl ? AclLists::Sacl : AclLists::Dacl);
}

std::string ErrorWords(const std::string& what, const std::string& path, DWORD error) {
  return what + " failed on " + path + " (error " + std::to_string(error) + ")";
}

// A SID for an account by its name, or from its SID in text.
std::vector<BYTE> Sid(const Account& account) {
  if (account.sid) {
    PSID converted = nullptr;
    if (!ConvertStringSidToSidW(win32::Wide(account.name).c_str(), &converted)) return {};
    win32::LocalMemory sid(converted);
    auto* bytes = static_cast<BYTE*>(converted);
    return {bytes, bytes + GetLengthSid(converted)};
  }
  DWORD size = 0, domainSize = 0;
  SID_NAME_USE use;
  std::wstring name = win32::Wide(account.name);
  LookupAccountNameW(nullptr, name.c_str(), nullptr, &size, nullptr, &domainSize, &use);
  if (size == 0) return {};
  std::vector<BYTE> sid(size);
  std::wstring domain(domainSize, L'\0');
  if (!LookupAccountNameW(nullptr, name.c_str(), sid.data(), &size, domain.data(), &domainSize, &use))
    return {};
  return sid;
}

// One list of an object: read, changed, written back.
class ObjectAcl {
 public:
  ObjectAcl(const Command& c, const std::string& path, bool sacl)
      : name_(SystemName(c.type, path)), type_(SystemType(c.type)),
        part_(sacl ? SACL_SECURITY_INFORMATION : DACL_SECURITY_INFORMATION), path_(path) {
    PSECURITY_DESCRIPTOR sd = nullptr;
    error_ = GetNamedSecurityInfoW(name_.c_str(), type_, part_ | kOwnerAndGroup, &owner_, &group_,
                                   sacl ? nullptr : &acl_, sacl ? &acl_ : nullptr, &sd);
    sd_.reset(sd);
  }

  DWORD error() const { return error_; }
  PACL acl() const { return acl_; }

  // A copy holding the entries `keep` takes, each made explicit when asked.
  std::vector<BYTE> Copy(const std::function<bool(const ACE_HEADER&)>& keep, bool makeExplicit) const {
    std::vector<BYTE> copy(acl_ ? acl_->AclSize : sizeof(ACL));
    InitializeAcl(reinterpret_cast<PACL>(copy.data()), static_cast<DWORD>(copy.size()),
                  acl_ ? acl_->AclRevision : ACL_REVISION);
    for (DWORD i = 0; acl_ && i < acl_->AceCount; ++i) {
      ACE_HEADER* ace = nullptr;
      if (!GetAce(acl_, i, reinterpret_cast<void**>(&ace)) || !keep(*ace)) continue;
      AddAce(reinterpret_cast<PACL>(copy.data()), acl_->AclRevision, MAXDWORD, ace, ace->AceSize);
    }
    auto* out = reinterpret_cast<PACL>(copy.data());
    for (DWORD i = 0; makeExplicit && i < out->AceCount; ++i) {
      ACE_HEADER* ace = nullptr;
      if (GetAce(out, i, reinterpret_cast<void**>(&ace))) ace->AceFlags &= ~INHERITED_ACE;
    }
    return copy;
  }

  // `protection`: 0, or the flag that protects the list or lets it inherit.
  // Owner and group are written back as they were: wine would put the
  // caller's in their place.
  DWORD Write(PACL acl, SECURITY_INFORMATION protection = 0) const {
    bool sacl = part_ == SACL_SECURITY_INFORMATION;
    return SetNamedSecurityInfoW(const_cast<wchar_t*>(name_.c_str()), type_,
                                 part_ | protection | kOwnerAndGroup, owner_, group_,
                                 sacl ? nullptr : acl, sacl ? acl : nullptr);
  }

  std::string Failure(const std::string& what, DWORD error) const {
    return ErrorWords(what, path_, error);
  }

 private:
  std::wstring name_;
  SE_OBJECT_TYPE type_;
  SECURITY_INFORMATION part_;
  std::string path_;
  static constexpr SECURITY_INFORMATION kOwnerAndGroup =
      OWNER_SECURITY_INFORMATION | GROUP_SECURITY_INFORMATION;
  win32::LocalMemory sd_;
  PSID owner_ = nullptr, group_ = nullptr;
  PACL acl_ = nullptr;
  DWORD error_;
};

bool Inherited(const ACE_HEADER& ace) { return ace.AceFlags & INHERITED_ACE; }

// The command's entries for one list, merged into it by the system.
std::string Entries(const Command& c, const std::string& path, bool sacl) {
  std::vector<EXPLICIT_ACCESS_W> entries;
  std::vector<std::vector<BYTE>> sids;
  for (const AceEntry& ace : c.aces.added) {
    if (!Covers(ace.where, sacl)) continue;
    EXPLICIT_ACCESS_W entry{};
    for (const std::string& token : ace.permissions)
      entry.grfAccessPermissions |= Mask(c.type, token);
    entry.grfAccessMode = Mode(ace.mode);
    entry.grfInheritance = Inheritance(ace.inheritance);
    sids.push_back(Sid(ace.trustee));
    if (sids.back().empty())
      return "No account is named " + ace.trustee.name + " (on " + path + ")";
    BuildTrusteeWithSidW(&entry.Trustee, sids.back().data());
    entries.push_back(entry);
  }
  if (entries.empty()) return {};
  ObjectAcl list(c, path, sacl);
  if (list.error()) return list.Failure("Reading the ACL", list.error());
  PACL out = nullptr;
  if (DWORD error = SetEntriesInAclW(static_cast<ULONG>(entries.size()), entries.data(), list.acl(), &out))
    return list.Failure("Merging the entries", error);
  win32::LocalMemory merged(out);
  if (DWORD error = list.Write(out)) return list.Failure("Writing the ACL", error);
  return {};
}

std::string SetAccount(const Command& c, const std::string& path, const Account& account, bool owner) {
  std::vector<BYTE> sid = Sid(account);
  if (sid.empty()) return "No account is named " + account.name + " (on " + path + ")";
  std::wstring name = SystemName(c.type, path);
  DWORD error = SetNamedSecurityInfoW(name.data(), SystemType(c.type),
                                      owner ? OWNER_SECURITY_INFORMATION : GROUP_SECURITY_INFORMATION,
                                      owner ? sid.data() : nullptr, owner ? nullptr : sid.data(),
                                      nullptr, nullptr);
  return error ? ErrorWords(owner ? "Setting the owner" : "Setting the group", path, error) : "";
}

// np lets the list inherit; p_c protects it, its inherited entries kept as
// its own; p_nc protects it, its inherited entries dropped.
std::string Protect(const Command& c, const std::string& path, bool sacl, Protection how) {
  if (how == Protection::NoChange) return {};
  ObjectAcl list(c, path, sacl);
  if (list.error()) return list.Failure("Reading the ACL", list.error());
  const bool copied = how == Protection::ProtectedCopy;
  std::vector<BYTE> copy =
      list.Copy([&](const ACE_HEADER& ace) { return copied || !Inherited(ace); }, copied);
  SECURITY_INFORMATION flag = how == Protection::InheritsParent
                                  ? (sacl ? UNPROTECTED_SACL_SECURITY_INFORMATION
                                          : UNPROTECTED_DACL_SECURITY_INFORMATION)
                                  : (sacl ? PROTECTED_SACL_SECURITY_INFORMATION
                                          : PROTECTED_DACL_SECURITY_INFORMATION);
  DWORD error = list.Write(reinterpret_cast<PACL>(copy.data()), flag);
  return error ? list.Failure("Setting the inheritance", error) : "";
}

// Only the inherited entries stay; a reset lets the list inherit again.
std::string Clear(const Command& c, const std::string& path, bool sacl, bool reset) {
  ObjectAcl list(c, path, sacl);
  if (list.error()) return list.Failure("Reading the ACL", list.error());
  std::vector<BYTE> copy = list.Copy(Inherited, false);
  SECURITY_INFORMATION flag =
      !reset ? 0 : sacl ? UNPROTECTED_SACL_SECURITY_INFORMATION : UNPROTECTED_DACL_SECURITY_INFORMATION;
  DWORD error = list.Write(reinterpret_cast<PACL>(copy.data()), flag);
  return error ? list.Failure(reset ? "Resetting the ACL" : "Clearing the ACL", error) : "";
}

// Every changing action of the call on one object, in the call's order.
std::string ApplyTo(const CallReading& call, const Reached& object) {
  const Command& c = call.command;
  std::string error;
  for (const std::string& action : call.actions) {
    if (!error.empty()) break;
    if (action == "rstchldrn") {
      if (object.top) continue;
      if (Covers(c.resetChildren, false)) error = Clear(c, object.path, false, true);
      if (error.empty() && Covers(c.resetChildren, true)) error = Clear(c, object.path, true, true);
      continue;
    }
    if (!object.recursion) continue;  // reached for the reset alone
    if (action == "ace") {
      error = Entries(c, object.path, false);
      if (error.empty()) error = Entries(c, object.path, true);
    } else if (action == "setowner") {
      error = SetAccount(c, object.path, c.owner, true);
    } else if (action == "setgroup") {
      error = SetAccount(c, object.path, c.group, false);
    } else if (action == "setprot") {
      error = Protect(c, object.path, false, c.daclProtection);
      if (error.empty()) error = Protect(c, object.path, true, c.saclProtection);
    } else if (action == "clear") {
      if (Covers(c.clear, false)) error = Clear(c, object.path, false, false);
      if (error.empty() && Covers(c.clear, true)) error = Clear(c, object.path, true, false);
    }
  }
  return error;
}

// Each object's outcome: a line when it changed, the error passed over
// with -ignoreerr, or the end of the run.
class Report {
 public:
  Report(const Command& c, const char* done) : c_(c), done_(done) {}
  bool operator()(const std::string& path, std::string error) {
    if (error.empty()) {
      applied.out += done_ + path + "\r\n";
      return true;
    }
    if (!c_.continueOnErrors) {
      applied.error = std::move(error);
      return false;
    }
    applied.out += error + "\r\n";
    return true;
  }
  Applied applied;

 private:
  const Command& c_;
  std::string done_;
};

void TakeRights() {
  TakeRight(SE_SECURITY_NAME);
  TakeRight(SE_RESTORE_NAME);
  TakeRight(SE_TAKE_OWNERSHIP_NAME);
}

}  // namespace

bool Applying() {
  wchar_t value[4] = {};
  return GetEnvironmentVariableW(L"VORLANE_STANDIN_APPLY", value, 4) == 1 && value[0] == L'1';
}

Applied Apply(const CallReading& call) {
  TakeRights();
  Report report(call.command, "changed: ");
  const bool walked =
      ForEachObject(call.command, call.asked("rstchldrn"), [&](const Reached& object) {
        return report(object.path, ApplyTo(call, object));
      });
  if (!walked) report.applied.error = kReaderGone;
  return report.applied;
}

Applied Restore(const Command& c, std::string_view listing) {
  TakeRights();
  Report report(c, "restored: ");
  for (const ListedObject& object : ReadListing(listing)) {
    if (ReaderGone()) {
      report.applied.error = kReaderGone;
      break;
    }
    if (Filtered(c, object.path)) continue;
    PSECURITY_DESCRIPTOR converted = nullptr;
    if (!ConvertStringSecurityDescriptorToSecurityDescriptorW(win32::Wide(object.sddl).c_str(),
                                                              SDDL_REVISION_1, &converted, nullptr)) {
      if (!report(object.path, ErrorWords("Reading the SDDL", object.path, GetLastError()))) break;
      continue;
    }
    win32::LocalMemory sd(converted);
    PSID owner = nullptr, group = nullptr;
    PACL dacl = nullptr, sacl = nullptr;
    BOOL defaulted = FALSE, daclPresent = FALSE, saclPresent = FALSE;
    SECURITY_DESCRIPTOR_CONTROL control = 0;
    DWORD revision = 0;
    GetSecurityDescriptorOwner(converted, &owner, &defaulted);
    GetSecurityDescriptorGroup(converted, &group, &defaulted);
    GetSecurityDescriptorDacl(converted, &daclPresent, &dacl, &defaulted);
    GetSecurityDescriptorSacl(converted, &saclPresent, &sacl, &defaulted);
    GetSecurityDescriptorControl(converted, &control, &revision);
    SECURITY_INFORMATION parts = 0;
    if (owner) parts |= OWNER_SECURITY_INFORMATION;
    if (group) parts |= GROUP_SECURITY_INFORMATION;
    if (daclPresent)
      parts |= DACL_SECURITY_INFORMATION | (control & SE_DACL_PROTECTED ? PROTECTED_DACL_SECURITY_INFORMATION
                                                                        : UNPROTECTED_DACL_SECURITY_INFORMATION);
    if (saclPresent)
      parts |= SACL_SECURITY_INFORMATION | (control & SE_SACL_PROTECTED ? PROTECTED_SACL_SECURITY_INFORMATION
                                                                        : UNPROTECTED_SACL_SECURITY_INFORMATION);
    // The listing's type numbers are the system's own object types.
    auto type = static_cast<SE_OBJECT_TYPE>(object.type);
    std::wstring name =
        SystemName(type == SE_REGISTRY_KEY ? ObjectType::Registry : ObjectType::File, object.path);
    DWORD error = SetNamedSecurityInfoW(name.data(), type, parts,
                                        owner, group, dacl, sacl);
    if (!report(object.path, error ? ErrorWords("Restoring", object.path, error) : "")) break;
  }
  return report.applied;
}

}  // namespace standin
