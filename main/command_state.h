#pragma once
// The program-wide texts through which the windows co-operate. All start
// empty and none is saved.

#include <string>

struct CommandState {
  // Accumulated entries.
  std::string AceList;
  std::string TrusteeList;
  std::string FilterList;
  // Option fragments, as the last BuildItChecks left them.
  std::string ObjTypeCode;
  std::string RecursionOpt;
  std::string ClearOpt;
  std::string ResetChildrenOpt;
  std::string SetProtOpt;
  std::string SetGroupOpt;
  // Hand-over values between windows.
  std::string EditListKind;
  std::string SelectedObjType;
  std::string BrowsePurpose;
  // The folder of SetACL.exe as read back from the registry: path, backslash, NUL.
  std::string SetAclFolder;
};
