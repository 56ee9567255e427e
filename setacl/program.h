#pragma once

#include <string>

// SetACL.exe in the folder given (which ends in its backslash), as a command
// line starts with it: quoted when the path holds a blank, so that Windows
// never tries C:\Program.exe and the like first.
std::string SetAclProgram(const std::string& folder);
