#pragma once
// SetACL.exe's command lines read back into the model, as the tool reads
// them: split by the C runtime's rules, options and keywords in any case,
// each option's value typed, and every part the tool refuses named with the
// tool's own message. "What It Does", the reach of a recursive command, the
// scope of a snapshot, "Use this command again" and the stand-in all read
// calls here; reading what the composer wrote gives back the model it came from.

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <variant>
#include <vector>

#include "setacl/command.h"

// The tool's exit codes.
enum class ToolExit { Ok = 0, Usage = 1, GeneralError = 2, InvalidParameters = 3 };

inline constexpr std::size_t kWholeCall = static_cast<std::size_t>(-1);

// A part of a call the tool refuses.
struct CallProblem {
  std::size_t option = kWholeCall;  // the option it is about, or the whole call
  std::string toolMessage;          // what the tool says as it stops there
  ToolExit exit = ToolExit::InvalidParameters;
  // The part in words when it could not be read at all ("the entry \"x\"");
  // empty when it was read, and the reading holds it.
  std::string unread;
  // Why the tool refuses a part it could read, for the user; empty when the
  // part's own words say enough (a permission marked as not understood).
  std::string why;
};

using Protections = std::pair<Protection, Protection>;  // the DACL's, the SACL's

// One option as given, and its value as read.
struct ReadOption {
  std::string name;   // lower case ("-ace"); empty for a word that is no option
  std::string given;  // the option's name as given
  std::string value;  // as given; empty for -silent and -ignoreerr
  std::variant<std::monostate, ObjectType, AceEntry, TrusteeEntry, Account, Protections, AclLists,
               Listing>
      read;
};

// What -lst leaves unsaid, and what the tool lists without it: the DACL as CSV.
inline constexpr Listing kToolListing{.format = ListFormat::Csv, .dacl = true};

struct CallReading {
  std::vector<ReadOption> options;   // in the order given
  Command command;                   // what the main window can hold of it
  std::vector<std::string> actions;  // -actn, lower case, each once, in the order given
  std::optional<Listing> listing;    // -lst
  std::string backupFile;            // -bckp
  std::string logPath;               // -log, as given
  bool typeGiven = false;
  // In the order the tool meets them: the first is where it stops.
  std::vector<CallProblem> problems;
  const CallProblem* refusal() const { return problems.empty() ? nullptr : &problems.front(); }
  bool asked(std::string_view action) const;
  // The first part the main window cannot hold, in words; empty when the
  // command holds the call whole.
  std::string unheld() const;
};

// A whole command line, the program's path first. A log file in
// `programFolder`'s LogFiles is the command's log file by its name.
CallReading ReadCall(std::string_view commandLine, std::string_view programFolder = {});
