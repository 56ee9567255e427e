#pragma once
// Starts a command line through the shell, split into program and
// parameters, in the program's folder unless told otherwise.

#include <optional>
#include <string>

class App;

// The window style of backup and restore consoles: shown in their normal
// size without taking the focus.
inline constexpr int kShowNoActivate = 4;

// The shell's value; when neither the shell nor the fallback start could run
// the command, the user is told why. CommandLine loses the quotes around a
// quoted program.
long CallIt(App& app, std::string& CommandLine, int& WindowStyle,
            const std::optional<std::string>& WorkingFolder = std::nullopt);
