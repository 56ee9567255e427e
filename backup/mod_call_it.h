#pragma once
// Starts a command line through the shell, split into program and
// parameters, in the program's folder unless told otherwise.

#include <optional>
#include <string>

#include "platform/services.h"

// The window style of backup and restore consoles: shown in their normal
// size without taking the focus.
inline constexpr int kShowNoActivate = 4;

// True when the shell, or the fallback start of the whole line, started the
// command; when neither could, the user is told why. CommandLine loses the
// quotes around a quoted program.
bool CallIt(platform::Services& services, std::string& CommandLine, int WindowStyle,
            const std::optional<std::string>& WorkingFolder = std::nullopt);
