#include "runner/command_line_fits.h"

#include "forms/controls.h"
#include "forms/dialogs.h"
#include "setacl/command_line.h"

bool CommandLineFits(forms::Dialogs& dialogs, const std::string& commandLine) {
  std::size_t length = forms::Utf16Length(commandLine);
  if (length < kCommandLineLimit) return true;
  dialogs.tell("This command line is " + std::to_string(length) +
                   " characters long. Windows starts command lines of fewer than " +
                   std::to_string(kCommandLineLimit) + " characters, so it was not run.",
               {}, forms::Icon::Critical);
  return false;
}
