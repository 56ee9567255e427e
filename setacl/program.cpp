#include "setacl/program.h"

std::string SetAclProgram(const std::string& folder) {
  std::string path = folder + "SetACL.exe";
  if (path.find_first_of(" \t") == std::string::npos) return path;
  return "\"" + path + "\"";
}
