#pragma once
// Security descriptors through ConvertStringSecurityDescriptorToSecurityDescriptorW,
// GetAce and LookupAccountSidW.

#include "platform/security.h"

namespace win32 {

class Win32Security : public platform::Security {
 public:
  std::optional<platform::SecurityDescriptor> Read(const std::string& sddl) override;
  std::optional<std::string> AccountName(const std::string& sid) override;
};

}  // namespace win32
