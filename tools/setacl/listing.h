#pragma once
// What -actn list prints without -bckp: the object's security as the system
// holds it, or, where it cannot be read, a plausible one; the header says which.

#include <string>

#include "tools/setacl/command.h"

namespace standin {

std::string Listing(const Command& command);

}  // namespace standin
