#pragma once
// The one setting: the folder of SetACL.exe, followed by a backslash, as the
// string value Location of HKEY_LOCAL_MACHINE\SOFTWARE\Vorlane.

#include <string>

#include "platform/registry.h"

inline constexpr const char* kLocationKey = "SOFTWARE\\Vorlane";
inline constexpr const char* kLocationValue = "Location";
inline constexpr const char* kLocationKeyName = "HKEY_LOCAL_MACHINE\\SOFTWARE\\Vorlane";

// The value as text, ending in one NUL; empty when it cannot be read.
std::string ReadLocation(platform::Registry& registry);
// Opens the key (creating it first when asked) and writes the value: 0 or
// the system's error code.
long WriteLocation(platform::Registry& registry, const std::string& folder, bool createKey);
