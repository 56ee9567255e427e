#include "tools/setacl/listing.h"

#include <windows.h>
#include <aclapi.h>
#include <sddl.h>

#include <array>

#include "platform/win32/local_memory.h"
#include "forms/win32/wide.h"
#include "setacl/listing.h"
#include "tools/setacl/objects.h"
#include "tools/setacl/rights.h"

namespace standin {
namespace {

// Administrators and SYSTEM in full control, users reading: what most
// objects carry, shown when the real one cannot be read.
constexpr wchar_t kPlausible[] = L"O:BAG:SYD:(A;OICI;FA;;;BA)(A;OICI;FA;;;SY)(A;OICI;0x1200a9;;;BU)";

SECURITY_INFORMATION Parts(const Listing& listing) {
  return (listing.dacl ? DACL_SECURITY_INFORMATION : 0) |
         (listing.sacl ? SACL_SECURITY_INFORMATION : 0) |
         (listing.owner ? OWNER_SECURITY_INFORMATION : 0) |
         (listing.group ? GROUP_SECURITY_INFORMATION : 0);
}

std::string Trustee(PSID sid, bool asSid) {
  wchar_t name[256], domain[256];
  DWORD nameSize = 256, domainSize = 256;
  SID_NAME_USE use;
  if (!asSid && LookupAccountSidW(nullptr, sid, name, &nameSize, domain, &domainSize, &use))
    return win32::Utf8(domainSize ? std::wstring(domain) + L"\\" + name : std::wstring(name));
  LPWSTR text = nullptr;
  if (!ConvertSidToStringSidW(sid, &text)) return "?";
  std::string out = win32::Utf8(text);
  LocalFree(text);
  return out;
}

// The tool's word for a mask: the named sets first, else the mask itself.
std::string Permission(ACCESS_MASK mask) {
  constexpr std::pair<ACCESS_MASK, const char*> kNamed[] = {
      {FILE_ALL_ACCESS, "full"},  {GENERIC_ALL, "full"},      {0x1301BF, "change"},
      {0x1200A9, "read_ex"},      {0x120089, "read"},         {GENERIC_READ, "read"},
      {0x100116, "write"},        {GENERIC_WRITE, "write"},   {KEY_ALL_ACCESS, "full"},
      {KEY_READ, "read"}};
  for (auto [bits, word] : kNamed)
    if (mask == bits) return word;
  char hex[16];
  wsprintfA(hex, "0x%lx", mask);
  return hex;
}

std::string Inheritance(BYTE flags) {
  std::string out;
  auto add = [&](BYTE bit, const char* word) {
    if (flags & bit) out += std::string(out.empty() ? "" : "+") + word;
  };
  add(OBJECT_INHERIT_ACE, "object_inherit");
  add(CONTAINER_INHERIT_ACE, "container_inherit");
  add(NO_PROPAGATE_INHERIT_ACE, "no_propagate");
  add(INHERIT_ONLY_ACE, "inherit_only");
  add(INHERITED_ACE, "inherited");
  return out.empty() ? "no_inheritance" : out;
}

// One entry a line: trustee, permission, kind, inheritance.
std::vector<std::array<std::string, 4>> Entries(PACL acl, bool asSid, bool withInherited) {
  std::vector<std::array<std::string, 4>> entries;
  for (DWORD i = 0; acl && i < acl->AceCount; ++i) {
    ACE_HEADER* header = nullptr;
    if (!GetAce(acl, i, reinterpret_cast<void**>(&header))) continue;
    if ((header->AceFlags & INHERITED_ACE) && !withInherited) continue;
    // The allowed, denied and audit entries share this layout.
    auto* ace = reinterpret_cast<ACCESS_ALLOWED_ACE*>(header);
    const char* kind = header->AceType == ACCESS_ALLOWED_ACE_TYPE  ? "allow"
                       : header->AceType == ACCESS_DENIED_ACE_TYPE ? "deny"
                       : header->AceType == SYSTEM_AUDIT_ACE_TYPE  ? "audit"
                                                                   : "other";
    entries.push_back({Trustee(&ace->SidStart, asSid), Permission(ace->Mask), kind,
                       Inheritance(header->AceFlags)});
  }
  return entries;
}

std::string Formatted(ObjectType type, const Listing& listing, const std::string& path,
                      PSECURITY_DESCRIPTOR sd, SECURITY_INFORMATION parts) {
  if (listing.format == ListFormat::Sddl) {
    LPWSTR text = nullptr;
    ListedObject listed{path, ListedTypeNumber(type), {}};
    if (ConvertSecurityDescriptorToStringSecurityDescriptorW(sd, SDDL_REVISION_1, parts, &text,
                                                             nullptr)) {
      listed.sddl = win32::Utf8(text);
      LocalFree(text);
    }
    return ListingLine(listed) + "\r\n";
  }
  bool tab = listing.format == ListFormat::Tabular;
  std::string out =
      tab ? path + "\r\n" : "\"" + path + "\"," + std::string(Of(kObjectTypes, type).token);
  auto part = [&](const std::string& title, const std::vector<std::array<std::string, 4>>& rows) {
    if (tab) {
      out += "\r\n   " + title + ":\r\n";
      for (const auto& row : rows) {
        out += "  ";
        for (const std::string& field : row)
          if (!field.empty()) out += " " + field + "  ";
        out.erase(out.find_last_not_of(' ') + 1);
        out += "\r\n";
      }
      return;
    }
    out += ",\"" + title + ":";
    for (size_t i = 0; i < rows.size(); ++i)
      out += (i ? ":" : "") + rows[i][0] + "," + rows[i][1] + "," + rows[i][2] + "," + rows[i][3];
    out += "\"";
  };
  PSID sid = nullptr;
  BOOL defaulted = FALSE, present = FALSE;
  PACL acl = nullptr;
  if (listing.dacl && GetSecurityDescriptorDacl(sd, &present, &acl, &defaulted))
    part("DACL", Entries(acl, listing.sids, listing.inherited));
  if (listing.sacl && GetSecurityDescriptorSacl(sd, &present, &acl, &defaulted))
    part("SACL", Entries(acl, listing.sids, listing.inherited));
  if (listing.owner && GetSecurityDescriptorOwner(sd, &sid, &defaulted) && sid)
    part("Owner", {{Trustee(sid, listing.sids), "", "", ""}});
  if (listing.group && GetSecurityDescriptorGroup(sd, &sid, &defaulted) && sid)
    part("Group", {{Trustee(sid, listing.sids), "", "", ""}});
  return out + "\r\n";
}

// The SACL is read only with the "Manage auditing" right, which the tool
// takes when its account holds it.
void TakeAuditingRight() { TakeRight(SE_SECURITY_NAME); }

// An object's security as the system reads it.
struct Read {
  DWORD error = ERROR_SUCCESS;
  win32::LocalMemory sd;
};

void ReadInto(Read& read, const Command& c, const std::string& path, SECURITY_INFORMATION parts) {
  PSECURITY_DESCRIPTOR sd = nullptr;
  read.error = GetNamedSecurityInfoW(SystemName(c.type, path).c_str(), SystemType(c.type), parts,
                                     nullptr, nullptr, nullptr, nullptr, &sd);
  read.sd.reset(sd);
}

}  // namespace

ListingResult List(const CallReading& call, bool toFile) {
  const Command& c = call.command;
  const Listing listing = call.listing.value_or(kToolListing);
  ListingResult result;
  SECURITY_INFORMATION parts = Parts(listing);
  if (parts & SACL_SECURITY_INFORMATION) TakeAuditingRight();
  std::string header = "SetACL stand-in listing of \"" + c.object + "\": read from the system";
  std::string objects;
  const bool walked = ForEachObject(c, false, [&](const Reached& object) {
    Read read;
    ReadInto(read, c, object.path, parts);
    if (read.error == ERROR_PRIVILEGE_NOT_HELD && (parts & SACL_SECURITY_INFORMATION)) {
      // A backup without its audit entries would pass for a whole one.
      if (toFile) {
        result.error = "The right to read audit entries (SeSecurityPrivilege) is not held.";
        return false;
      }
      parts &= ~SACL_SECURITY_INFORMATION;
      header += "; no right to read the SACL";
      ReadInto(read, c, object.path, parts);
    }
    if (object.top && (read.error == ERROR_FILE_NOT_FOUND || read.error == ERROR_PATH_NOT_FOUND)) {
      result.error = "The object " + c.object + " does not exist.";
      return false;
    }
    if (read.error != ERROR_SUCCESS && object.top && !toFile) {
      header = "SetACL stand-in listing of \"" + c.object +
               "\": a plausible listing; the system's could not be read (error " +
               std::to_string(read.error) + ")";
      PSECURITY_DESCRIPTOR plausible = nullptr;
      ConvertStringSecurityDescriptorToSecurityDescriptorW(kPlausible, SDDL_REVISION_1, &plausible,
                                                           nullptr);
      read.sd.reset(plausible);
    } else if (read.error != ERROR_SUCCESS) {
      std::string why = "Could not read the security of " + object.path + " (error " +
                        std::to_string(read.error) + ")";
      if (!c.continueOnErrors) {
        result.error = why;
        return false;
      }
      result.messages += why + "\r\n";
      return true;
    }
    objects += Formatted(c.type, listing, object.path, read.sd.get(), parts);
    return true;
  });
  if (!walked) result.error = kReaderGone;
  result.text = toFile ? objects : header + "\r\n\r\n" + objects;
  return result;
}

}  // namespace standin
