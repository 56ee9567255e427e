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

// An account as the command names it: a name, or a SID in text.
struct Account {
  std::string name;
  bool sid = false;
};

// One -ace as given, for applying it.
struct AceOrder {
  Account trustee;
  std::vector<std::string> permissions;  // tokens, lower case
  std::string mode;                      // set, grant, deny, revoke, aud_succ, aud_fail
  bool sacl = false;
  std::vector<std::string> inheritance;  // so, sc, np, io
};

struct Command {
  std::string object;
  std::string type;  // file, reg, srv, prn, shr
  std::vector<std::string> actions;  // in the order given
  std::vector<std::string> aces;     // each entry in words
  std::vector<AceOrder> aceOrders;   // the same entries, to apply
  std::vector<std::string> trustees;
  std::string owner, group, protection, clear, resetChildren;  // in words
  Account ownerAccount, groupAccount;
  std::string daclProtection = "nc", saclProtection = "nc";
  std::string recursion;
  std::vector<std::string> filters;
  std::string log;
  std::string listFormat = "csv";     // -lst f:
  std::string listParts = "d";        // -lst w:, its letters in the order d, s, o, g
  bool listInherited = false, listSids = false;
  std::string backup;                 // -bckp
  std::size_t backedUpObjects = 0;    // how many objects the backup to restore holds
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

// Whether an object's path is one the filters skip: it holds a keyword, case
// ignored.
bool Filtered(const Command& command, std::string_view path);

}  // namespace standin
