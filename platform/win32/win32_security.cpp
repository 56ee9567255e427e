#include "platform/win32/win32_security.h"

#include <sddl.h>

#include <vector>

#include "platform/win32/local_memory.h"
#include "forms/win32/wide.h"

namespace win32 {
namespace {

std::string SidText(PSID sid) {
  LPWSTR text = nullptr;
  if (!sid || !ConvertSidToStringSidW(sid, &text)) return {};
  LocalMemory held(text);
  return Utf8(text);
}

platform::Ace EntryOf(const ACE_HEADER* header) {
  platform::Ace ace;
  ace.kind = header->AceType;
  ace.flags = header->AceFlags;
  ace.bytes.assign(reinterpret_cast<const char*>(header), header->AceSize);
  // Every kind read here holds its rights after the header, then its SID:
  // the object kinds with their flags and object types between.
  std::size_t sidAt = sizeof(ACE_HEADER) + sizeof(ACCESS_MASK);
  switch (header->AceType) {
    case ACCESS_ALLOWED_ACE_TYPE: ace.type = platform::Ace::Type::Allow; break;
    case ACCESS_DENIED_ACE_TYPE: ace.type = platform::Ace::Type::Deny; break;
    case SYSTEM_AUDIT_ACE_TYPE: ace.type = platform::Ace::Type::Audit; break;
    case SYSTEM_MANDATORY_LABEL_ACE_TYPE: ace.type = platform::Ace::Type::Label; break;
    case ACCESS_ALLOWED_CALLBACK_ACE_TYPE: case ACCESS_DENIED_CALLBACK_ACE_TYPE: break;
    case ACCESS_ALLOWED_OBJECT_ACE_TYPE: case ACCESS_DENIED_OBJECT_ACE_TYPE:
    case ACCESS_ALLOWED_CALLBACK_OBJECT_ACE_TYPE: case ACCESS_DENIED_CALLBACK_OBJECT_ACE_TYPE: {
      if (header->AceSize < sidAt + sizeof(DWORD)) return ace;
      const DWORD present = reinterpret_cast<const ACCESS_ALLOWED_OBJECT_ACE*>(header)->Flags;
      sidAt += sizeof(DWORD) + (present & ACE_OBJECT_TYPE_PRESENT ? sizeof(GUID) : 0) +
               (present & ACE_INHERITED_OBJECT_TYPE_PRESENT ? sizeof(GUID) : 0);
      break;
    }
    default: return ace;
  }
  // The SID whole within the entry: its header, then its sub-authorities.
  const auto* bytes = reinterpret_cast<const BYTE*>(header);
  if (header->AceSize < sidAt + 8 || sidAt + 8 + 4u * bytes[sidAt + 1] > header->AceSize) return ace;
  auto* sid = const_cast<BYTE*>(bytes + sidAt);
  if (!IsValidSid(sid)) return ace;
  ace.mask = reinterpret_cast<const ACCESS_ALLOWED_ACE*>(header)->Mask;
  ace.sid = SidText(sid);
  if (ace.type == platform::Ace::Type::Other) {
    const std::size_t sidEnd = sidAt + GetLengthSid(sid), rightsEnd = sizeof(ACE_HEADER) + sizeof(ACCESS_MASK);
    ace.extra = ace.bytes.substr(rightsEnd, sidAt - rightsEnd) + ace.bytes.substr(sidEnd);
  }
  return ace;
}

// The parts of a list the descriptor holds; one it does not hold leaves
// the pointer as it was, so nothing is read from it.
std::optional<platform::Acl> ListOf(PACL acl, BOOL present, SECURITY_DESCRIPTOR_CONTROL control,
                     SECURITY_DESCRIPTOR_CONTROL protectedBit, SECURITY_DESCRIPTOR_CONTROL autoInheritedBit,
                     SECURITY_DESCRIPTOR_CONTROL requiredBit) {
  platform::Acl list;
  list.protectedFromParent = control & protectedBit;
  list.autoInherited = control & autoInheritedBit;
  list.autoInheritRequired = control & requiredBit;
  if (!present) return list;
  list.present = true;
  list.null = !acl;
  for (DWORD i = 0; acl && i < acl->AceCount; ++i) {
    ACE_HEADER* header = nullptr;
    // An entry the system cannot give makes the list one it cannot read.
    if (!GetAce(acl, i, reinterpret_cast<void**>(&header))) return std::nullopt;
    list.aces.push_back(EntryOf(header));
  }
  return list;
}

// Entries that allow or deny belong in a DACL; the others (audit, alarm,
// label, attributes, policies) in a SACL.
bool DaclKind(BYTE kind) {
  switch (kind) {
    case ACCESS_ALLOWED_ACE_TYPE: case ACCESS_DENIED_ACE_TYPE: case ACCESS_ALLOWED_COMPOUND_ACE_TYPE:
    case ACCESS_ALLOWED_OBJECT_ACE_TYPE: case ACCESS_DENIED_OBJECT_ACE_TYPE:
    case ACCESS_ALLOWED_CALLBACK_ACE_TYPE: case ACCESS_DENIED_CALLBACK_ACE_TYPE:
    case ACCESS_ALLOWED_CALLBACK_OBJECT_ACE_TYPE: case ACCESS_DENIED_CALLBACK_OBJECT_ACE_TYPE:
      return true;
  }
  return false;
}

}  // namespace

std::optional<platform::SecurityDescriptor> DescriptorOf(PSECURITY_DESCRIPTOR sd) {
  SECURITY_DESCRIPTOR_CONTROL control = 0;
  DWORD revision = 0;
  GetSecurityDescriptorControl(sd, &control, &revision);
  platform::SecurityDescriptor out;
  PSID sid = nullptr;
  BOOL defaulted = FALSE, present = FALSE;
  if (GetSecurityDescriptorOwner(sd, &sid, &defaulted)) out.owner = SidText(sid);
  if (GetSecurityDescriptorGroup(sd, &sid, &defaulted)) out.group = SidText(sid);
  PACL acl = nullptr;
  if (GetSecurityDescriptorDacl(sd, &present, &acl, &defaulted)) {
    auto dacl = ListOf(acl, present, control, SE_DACL_PROTECTED, SE_DACL_AUTO_INHERITED,
                       SE_DACL_AUTO_INHERIT_REQ);
    if (!dacl) return std::nullopt;
    out.dacl = std::move(*dacl);
  }
  present = FALSE;
  if (GetSecurityDescriptorSacl(sd, &present, &acl, &defaulted)) {
    auto sacl = ListOf(acl, present, control, SE_SACL_PROTECTED, SE_SACL_AUTO_INHERITED,
                       SE_SACL_AUTO_INHERIT_REQ);
    if (!sacl) return std::nullopt;
    out.sacl = std::move(*sacl);
  }
  return out;
}

std::optional<platform::SecurityDescriptor> Win32Security::Read(const std::string& sddl) {
  PSECURITY_DESCRIPTOR sd = nullptr;
  if (!ConvertStringSecurityDescriptorToSecurityDescriptorW(Wide(sddl).c_str(), SDDL_REVISION_1,
                                                            &sd, nullptr))
    return std::nullopt;
  LocalMemory held(sd);
  return DescriptorOf(sd);
}

// A descriptor holding the entry alone, in the list its kind belongs to,
// written as SDDL: the entry is what follows the list's "D:" or "S:".
std::string Win32Security::EntryText(const platform::Ace& ace) {
  if (ace.bytes.size() < sizeof(ACE_HEADER)) return {};
  const DWORD size = sizeof(ACL) + static_cast<DWORD>(ace.bytes.size());
  std::vector<DWORD> memory((size + sizeof(DWORD) - 1) / sizeof(DWORD));
  auto* acl = reinterpret_cast<PACL>(memory.data());
  std::string entry = ace.bytes;  // AddAce takes it writable
  if (!InitializeAcl(acl, static_cast<DWORD>(memory.size() * sizeof(DWORD)), ACL_REVISION_DS) ||
      !AddAce(acl, ACL_REVISION_DS, 0, entry.data(), static_cast<DWORD>(entry.size())))
    return {};
  SECURITY_DESCRIPTOR sd;
  InitializeSecurityDescriptor(&sd, SECURITY_DESCRIPTOR_REVISION);
  const bool dacl = DaclKind(static_cast<BYTE>(ace.kind));
  if (!(dacl ? SetSecurityDescriptorDacl(&sd, TRUE, acl, FALSE)
             : SetSecurityDescriptorSacl(&sd, TRUE, acl, FALSE)))
    return {};
  const SECURITY_INFORMATION parts =
      dacl ? DACL_SECURITY_INFORMATION
           : SACL_SECURITY_INFORMATION | LABEL_SECURITY_INFORMATION |
                 ATTRIBUTE_SECURITY_INFORMATION | SCOPE_SECURITY_INFORMATION;
  LPWSTR text = nullptr;
  if (!ConvertSecurityDescriptorToStringSecurityDescriptorW(&sd, SDDL_REVISION_1, parts, &text, nullptr))
    return {};
  LocalMemory held(text);
  std::string sddl = Utf8(text);
  std::size_t open = sddl.find('(');
  return open == std::string::npos ? std::string() : sddl.substr(open);
}

std::optional<std::string> Win32Security::AccountName(const std::string& sidText) {
  PSID sid = nullptr;
  if (!ConvertStringSidToSidW(Wide(sidText).c_str(), &sid)) return std::nullopt;
  LocalMemory held(sid);
  wchar_t name[256], domain[256];
  DWORD nameSize = 256, domainSize = 256;
  SID_NAME_USE use;
  if (!LookupAccountSidW(nullptr, sid, name, &nameSize, domain, &domainSize, &use))
    return std::nullopt;
  return Utf8(domainSize ? std::wstring(domain) + L"\\" + name : std::wstring(name));
}

}  // namespace win32
