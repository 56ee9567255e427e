#pragma once
// What every command line Vorlane starts must respect to reach SetACL.exe
// as composed.

#include <cstddef>
#include <string>
#include <string_view>

// A value between double quotes, written so that the C runtime hands it to
// the program whole: a quote inside it goes as \" with the backslashes right
// before it doubled (2n+1 before a quote stand for n and the quote), and a run
// of backslashes at its end is doubled so the closing quote still closes.
// Other backslashes stand as they are.
std::string QuotedArgument(std::string_view value);

// Windows starts command lines of fewer than this many characters, the
// program's path included.
constexpr std::size_t kCommandLineLimit = 32767;
