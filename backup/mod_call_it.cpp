#include "backup/mod_call_it.h"

#include "forms/dialogs.h"
#include "platform/error_text.h"
#include "platform/shell.h"
#include "runner/command_line_fits.h"

bool CallIt(platform::Services& services, std::string& CommandLine, int WindowStyle,
            const std::optional<std::string>& WorkingFolder) {
  // A longer line would reach the program cut short: start nothing.
  if (!CommandLineFits(services.dialogs, CommandLine)) return false;
  // The program ends at the closing quote of a quoted program, else at the
  // first blank; `split` is where its parameters begin (0-based).
  bool quoted = !CommandLine.empty() && CommandLine[0] == '"';
  std::size_t split;
  if (quoted) {
    std::size_t close = CommandLine.find('"', 1);
    if (close == std::string::npos) {
      split = CommandLine.size();
    } else {
      CommandLine = CommandLine.substr(1, close - 1) + CommandLine.substr(close + 1);
      split = close - 1;
    }
  } else {
    split = std::min(CommandLine.find(' '), CommandLine.size());
  }

  std::string folder;
  if (WorkingFolder) {
    folder = *WorkingFolder;
  } else if (std::size_t slash = CommandLine.rfind('\\', split == 0 ? 0 : split - 1);
             split > 0 && slash != std::string::npos) {
    // A drive root such as C:\ keeps its backslash.
    bool root = slash == 0 || CommandLine[slash - 1] == ':';
    folder = CommandLine.substr(0, root ? slash + 1 : slash);
  } else {
    folder = services.shell.CurrentFolder();
  }

  const std::string program = CommandLine.substr(0, split);
  std::string parameters = CommandLine.substr(split);
  parameters.erase(0, parameters.find_first_not_of(' '));
  if (services.shell.Open(program, parameters, folder, WindowStyle) >= 32) return true;

  // The fallback starts the program by its full path: quoted again when it
  // holds a blank, so no other program named by its first word runs instead.
  std::string whole = CommandLine;
  if (program.find(' ') != std::string::npos)
    whole = '"' + program + '"' + CommandLine.substr(split);
  long error = services.shell.Start(whole, WindowStyle);
  if (error)
    services.dialogs.tell("The command could not be started:\r\n" + whole + "\r\n" +
                              platform::SystemErrorText(error),
                          {}, forms::Icon::Critical);
  return !error;
}
