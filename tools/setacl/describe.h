#pragma once
// What the stand-in says of a call the tool accepts: a line for each thing
// it would do, and which objects the call's filters pass over.

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "setacl/call_reader.h"

namespace standin {

// One line per action, in the order of the call's actions; `backedUp` is
// how many objects the backup to restore holds.
std::vector<std::string> Describe(const CallReading& call, std::size_t backedUp = 0);

// Whether -actn list prints the listing instead of writing a backup file.
inline bool ListsToScreen(const CallReading& call) { return call.backupFile.empty(); }

// Whether an object's path is one the filters skip: it holds a keyword, case
// ignored.
bool Filtered(const Command& command, std::string_view path);

}  // namespace standin
