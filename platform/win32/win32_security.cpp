#include "platform/win32/win32_security.h"

#include <windows.h>
#include <sddl.h>

#include "platform/win32/local_memory.h"
#include "platform/win32/wide.h"

namespace win32 {
namespace {

std::string SidText(PSID sid) {
  LPWSTR text = nullptr;
  if (!sid || !ConvertSidToStringSidW(sid, &text)) return {};
  LocalMemory held(text);
  return Utf8(text);
}

// The parts of a list the descriptor holds; one it does not hold leaves
// the pointer as it was, so nothing is read from it.
platform::Acl ListOf(PACL acl, BOOL present, bool isProtected) {
  platform::Acl list;
  if (!present) return list;
  list.present = present;
  list.null = present && !acl;
  list.protectedFromParent = isProtected;
  for (DWORD i = 0; acl && i < acl->AceCount; ++i) {
    ACE_HEADER* header = nullptr;
    if (!GetAce(acl, i, reinterpret_cast<void**>(&header))) continue;
    platform::Ace ace;
    ace.flags = header->AceFlags;
    switch (header->AceType) {
      case ACCESS_ALLOWED_ACE_TYPE: ace.type = platform::Ace::Type::Allow; break;
      case ACCESS_DENIED_ACE_TYPE: ace.type = platform::Ace::Type::Deny; break;
      case SYSTEM_AUDIT_ACE_TYPE: ace.type = platform::Ace::Type::Audit; break;
      default: break;
    }
    if (ace.type != platform::Ace::Type::Other) {
      // The allowed, denied and audit entries share this layout.
      auto* known = reinterpret_cast<ACCESS_ALLOWED_ACE*>(header);
      ace.mask = known->Mask;
      ace.sid = SidText(&known->SidStart);
    }
    list.aces.push_back(std::move(ace));
  }
  return list;
}

}  // namespace

std::optional<platform::SecurityDescriptor> Win32Security::Read(const std::string& sddl) {
  PSECURITY_DESCRIPTOR sd = nullptr;
  if (!ConvertStringSecurityDescriptorToSecurityDescriptorW(Wide(sddl).c_str(), SDDL_REVISION_1,
                                                            &sd, nullptr))
    return std::nullopt;
  LocalMemory held(sd);
  SECURITY_DESCRIPTOR_CONTROL control = 0;
  DWORD revision = 0;
  GetSecurityDescriptorControl(sd, &control, &revision);
  platform::SecurityDescriptor out;
  PSID sid = nullptr;
  BOOL defaulted = FALSE, present = FALSE;
  if (GetSecurityDescriptorOwner(sd, &sid, &defaulted)) out.owner = SidText(sid);
  if (GetSecurityDescriptorGroup(sd, &sid, &defaulted)) out.group = SidText(sid);
  PACL acl = nullptr;
  if (GetSecurityDescriptorDacl(sd, &present, &acl, &defaulted))
    out.dacl = ListOf(acl, present, control & SE_DACL_PROTECTED);
  if (GetSecurityDescriptorSacl(sd, &present, &acl, &defaulted))
    out.sacl = ListOf(acl, present, control & SE_SACL_PROTECTED);
  return out;
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
