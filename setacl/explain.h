#pragma once
// The call string in plain words: one line per thing it does, read from its
// arguments as SetACL.exe will receive them, then warnings for what the tool
// will refuse or what does more than it may seem to.

#include <string>
#include <string_view>

std::string ExplainCall(std::string_view callString);
