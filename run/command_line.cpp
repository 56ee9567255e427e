#include "run/command_line.h"

#include "forms/controls.h"
#include "forms/dialogs.h"

std::string BeforeClosingQuote(std::string_view value) {
  std::size_t trailing = value.size() - (value.find_last_not_of('\\') + 1);
  return std::string(value) + std::string(trailing, '\\');
}

bool CommandLineFits(forms::Dialogs& dialogs, const std::string& commandLine) {
  std::size_t length = forms::Utf16Length(commandLine);
  if (length < kCommandLineLimit) return true;
  dialogs.tell("This command line is " + std::to_string(length) +
                   " characters long. Windows starts command lines of fewer than " +
                   std::to_string(kCommandLineLimit) + " characters, so it was not run.",
               {}, forms::Icon::Critical);
  return false;
}
