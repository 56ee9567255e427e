#pragma once

#include <string>

namespace platform {

// The system's description of an error code, as the system words it, without
// a line break at its end.
std::string SystemErrorText(long code);

}  // namespace platform
