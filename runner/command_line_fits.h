#pragma once

#include <string>

namespace forms {
class Dialogs;
}

// Whether Windows can start the command line (kCommandLineLimit); when it
// cannot, a critical message says how long it is and what the limit is.
bool CommandLineFits(forms::Dialogs& dialogs, const std::string& commandLine);
