#pragma once
// What the stand-in really changes, when asked to: each changing action of a
// command on every object it reaches, through the system's own security
// functions, and a restore of an SDDL listing.

#include <string>
#include <string_view>

#include "setacl/call_reader.h"

namespace standin {

struct Applied {
  std::string out;    // a line per object changed, and those passed over with -ignoreerr
  std::string error;  // what ended it; empty when it went through
};

// The stand-in changes security only with VORLANE_STANDIN_APPLY=1 in its
// environment.
bool Applying();

Applied Apply(const CallReading& call);
// Sets each object of an SDDL listing back as the listing holds it, but
// those the filters skip.
Applied Restore(const Command& command, std::string_view listing);

}  // namespace standin
