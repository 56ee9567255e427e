#pragma once
// Security descriptors through ConvertStringSecurityDescriptorToSecurityDescriptorW,
// GetAce and LookupAccountSidW; entries written back through
// ConvertSecurityDescriptorToStringSecurityDescriptorW.

#include <windows.h>

#include "platform/security.h"

namespace win32 {

class Win32Security : public platform::Security {
 public:
  std::optional<platform::SecurityDescriptor> Read(const std::string& sddl) override;
  std::string EntryText(const platform::Ace& ace) override;
  std::optional<std::string> AccountName(const std::string& sid) override;
};

// The parts of a descriptor the system holds, whichever way it was made;
// none when it cannot give one of its entries.
std::optional<platform::SecurityDescriptor> DescriptorOf(PSECURITY_DESCRIPTOR sd);

}  // namespace win32
