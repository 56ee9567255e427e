#include "platform/error_text.h"

// Headless, an error's description names its code.
std::string platform::SystemErrorText(long code) { return "system error " + std::to_string(code); }
