#pragma once
// A command line split into arguments as the C runtime hands them to a
// program's main: the program's path first (to its closing quote, or to the
// first blank), then blanks separate, double quotes group, "" inside quotes
// is one quote, and backslashes escape a quote (2n of them before one stand
// for n). SetACL.exe reads its command line this way.

#include <string>
#include <string_view>
#include <vector>

std::vector<std::string> SplitArguments(std::string_view commandLine);

// For reading the values: keywords are matched without regard to case, and
// fields and lists are split at their separator.
std::string Lower(std::string_view text);
std::vector<std::string> Split(std::string_view text, char separator);
