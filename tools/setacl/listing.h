#pragma once
// What -actn list writes: for the screen, a header saying where the security
// came from, then each object reached; into a backup file, the objects alone.
// An object that does not exist is an error, as for the real tool; on the
// screen an object whose security the system cannot read there shows a
// plausible one, and the header says so.

#include <string>

#include "setacl/call_reader.h"

namespace standin {

struct ListingResult {
  std::string text;
  std::string messages;  // objects passed over, with -ignoreerr
  std::string error;     // empty when listed
};

ListingResult List(const CallReading& call, bool toFile);

}  // namespace standin
