#pragma once
// A command line split into arguments as the C runtime hands them to a
// program's main: the program's path first (to its closing quote, or to the
// first blank), then blanks separate, double quotes group, "" inside quotes
// is one quote, and backslashes escape a quote (2n of them before one stand
// for n). SetACL.exe reads its command line this way.

#include <algorithm>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

std::vector<std::string> SplitArguments(std::string_view commandLine);

// For reading the values: keywords are matched without regard to case, and
// fields and lists are split at their separator.
std::string Lower(std::string_view text);
std::vector<std::string> Split(std::string_view text, char separator);
// The items one after another, the separator between them.
std::string Joined(const std::vector<std::string>& items, std::string_view separator);
// A text that is a whole number and nothing else.
std::optional<std::uint64_t> WholeNumber(std::string_view text);

// Each line of a text: without its line break (LF or CR LF), and whole, as
// it stands in the text with its break.
template <class Each>
void ForEachLine(std::string_view text, Each each) {
  for (std::size_t at = 0; at < text.size();) {
    std::size_t end = text.find('\n', at);
    if (end == std::string_view::npos) end = text.size();
    std::string_view line = text.substr(at, end - at);
    if (line.ends_with('\r')) line.remove_suffix(1);
    each(line, text.substr(at, std::min(end + 1, text.size()) - at));
    at = end + 1;
  }
}
