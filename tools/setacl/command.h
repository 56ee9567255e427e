#pragma once
// The stand-in SetACL.exe's understanding of a command line: the options and
// values Vorlane composes, checked strictly, and what each action would do.

#include <string>
#include <string_view>
#include <vector>

namespace standin {

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
  std::string listFormat, listParts;  // -lst
  std::string backup;                 // -bckp
  std::string backedUpObject;         // what the backup to restore was taken of
  bool silent = false;
};

struct Parsed {
  Command command;
  std::string error;  // empty when the command line is accepted
};

// Reads a whole command line, the program's own path first.
Parsed Parse(std::string_view commandLine);

// One line per action the command would take, in the order of its actions.
std::vector<std::string> Describe(const Command& command);

// The backup file's text for -actn list, and, for -actn restore, the object
// a backup names (false when the text is no backup of ours).
std::string BackupText(const Command& command);
bool ReadBackup(std::string_view text, std::string& object);

}  // namespace standin
