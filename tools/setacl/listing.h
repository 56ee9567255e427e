#pragma once
// What -actn list prints without -bckp: the object's security as the system
// holds it, or, where the system cannot read it there, a plausible one; the
// header says which. An object that does not exist is an error, as for the
// real tool.

#include <string>

#include "tools/setacl/command.h"

namespace standin {

struct ListingResult {
  std::string text;
  std::string error;  // empty when listed
};

ListingResult Listing(const Command& command);

}  // namespace standin
