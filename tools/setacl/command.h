#pragma once
// The stand-in SetACL.exe's understanding of a command line, read as the
// real tool reads it: split by the C runtime's rules, options and keywords
// without regard to case, with the real tool's refusals and leniencies.

#include <string>
#include <string_view>
#include <vector>

namespace standin {

// The real tool's exit codes.
enum ExitCode { kOk = 0, kUsage = 1, kGeneralError = 2, kInvalidParameters = 3 };

struct Command {
  std::string object;
  std::string type;  // file, reg, srv, prn, shr
  std::vector<std::string> actions;  // in the order given
  std::vector<std::string> aces;     // each entry in words
  std::vector<std::string> trustees;
  std::string owner, group, protection, clear, resetChildren;
  std::string recursion;
  std::vector<std::string> filters;
  std::string log;
  std::string listFormat = "csv";     // -lst f:
  std::string listParts = "d";        // -lst w:, its letters in the order d, s, o, g
  bool listInherited = false, listSids = false;
  std::string backup;                 // -bckp
  std::string backedUpObject;         // what the backup to restore was taken of
  bool silent = false;
  bool ignoreErrors = false;
};

struct Parsed {
  Command command;
  std::string error;  // the tool's message; empty when the command line is accepted
  ExitCode exitCode = kOk;
};

// Reads a whole command line, the program's own path first.
Parsed Parse(std::string_view commandLine);

// One line per action the command would take, in the order of its actions.
std::vector<std::string> Describe(const Command& command);

// Whether -actn list prints the listing instead of writing a backup file.
inline bool ListsToScreen(const Command& c) { return c.backup.empty(); }

// The backup file's text for -actn list, and, for -actn restore, the object
// a backup names (false when the text is no backup of ours).
std::string BackupText(const Command& command);
bool ReadBackup(std::string_view text, std::string& object);

}  // namespace standin
