#pragma once
// An elevated Vorlane restores whatever a snapshot says, so the snapshots
// folder, its journal and its listings must be changed by no one but
// Administrators and SYSTEM.

#include <optional>
#include <string>
#include <vector>

#include "platform/security.h"

// The security the folder is made with; what is made in it inherits it.
inline constexpr const char* kGuardedFolder = "O:BAG:SYD:PAI(A;OICI;FA;;;SY)(A;OICI;FA;;;BA)";

// Who besides Administrators and SYSTEM can change a file or folder of this
// security (owner and DACL in SDDL), each account once in words: its owner,
// and the accounts an entry lets write, delete or change its permissions.
// None when the system cannot read it.
std::optional<std::vector<std::string>> OthersWhoCanChange(const std::string& sddl,
                                                           platform::Security& security);
