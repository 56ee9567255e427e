#pragma once
// What every command line Vorlane starts must respect to reach SetACL.exe
// as composed.

#include <cstddef>
#include <string>
#include <string_view>

// A value as it must stand right before a closing double quote: the C
// runtime reads `\"` as an escaped quote and 2n backslashes before a quote
// as n, so a run of backslashes at the end is doubled. Nothing else changes.
std::string BeforeClosingQuote(std::string_view value);

// Windows starts command lines of fewer than this many characters, the
// program's path included.
constexpr std::size_t kCommandLineLimit = 32767;
