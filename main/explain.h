#pragma once
// The call string in plain words: one line per thing it does, read from its
// arguments as SetACL.exe will receive them, then warnings for what the tool
// will refuse or what does more than it may seem to.

#include <string>
#include <string_view>
#include <utility>
#include <vector>

// A value the user typed, and what it is ("object name", "owner"...): a
// double quote inside it ends the value early, which the arguments alone
// cannot show.
using TypedValue = std::pair<std::string, std::string>;

std::string ExplainCall(std::string_view callString, const std::vector<TypedValue>& typed = {});
