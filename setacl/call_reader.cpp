#include "setacl/call_reader.h"

#include <algorithm>
#include <map>
#include <set>

#include "setacl/arguments.h"
#include "setacl/call_string.h"
#include "setacl/vocabulary.h"

namespace {

using Fields = std::map<std::string, std::string>;

std::string Quoted(std::string_view text) { return "\"" + std::string(text) + "\""; }

// The tokens of a table's rows, "a, b and c".
template <class V>
std::string Tokens(const std::vector<V>& values, const auto& table) {
  std::string out;
  for (std::size_t i = 0; i < values.size(); ++i)
    out += (i == 0 ? "" : i + 1 == values.size() ? " and " : ", ") + std::string(Of(table, values[i]).token);
  return out;
}

class Reader {
 public:
  Reader(CallReading& reading, std::string_view programFolder)
      : r_(reading), programFolder_(programFolder) {}

  void option(std::size_t at) {
    ReadOption& o = r_.options[at];
    at_ = at;
    const std::string& v = o.value;
    const std::string& name = o.name;
    if (name == "-on") {
      if (once(name)) r_.command.object = v;
    } else if (name == "-ot") {
      if (!once(name)) return;
      r_.typeGiven = true;
      if (const auto* row = ByToken(kObjectTypes, v)) o.read = r_.command.type = row->value;
      else unread("Invalid object type: " + v, "the object type " + Quoted(v));
    } else if (name == "-actn") {
      std::string action = Lower(v);
      if (!SetAclActions().contains(action)) return unread("Invalid action: " + v, "the action " + Quoted(v));
      if (std::ranges::find(r_.actions, action) == r_.actions.end()) r_.actions.push_back(action);
    } else if (name == "-ace") {
      if (auto entry = ace(v)) o.read = *entry;
    } else if (name == "-trst") {
      if (auto entry = trustee(v)) o.read = *entry;
    } else if (name == "-ownr" || name == "-grp") {
      if (!once(name)) return;
      if (auto read = account(v, name == "-ownr" ? "owner " : "primary group ")) o.read = *read;
    } else if (name == "-op") {
      if (once(name))
        if (auto read = protections(v)) o.read = *read;
    } else if (name == "-clr" || name == "-rst") {
      if (!once(name)) return;
      bool dacl = false, sacl = false;
      if (!ReadLists(v, dacl, sacl))
        return unread("Invalid ACL type: " + v, (name == "-clr" ? "clear " : "reset children ") + Quoted(v));
      o.read = dacl && sacl ? AclLists::Both : dacl ? AclLists::Dacl : AclLists::Sacl;
    } else if (name == "-rec") {
      once(name);
    } else if (name == "-fltr") {
      r_.command.filters.add(v);
    } else if (name == "-log") {
      if (once(name)) r_.logPath = v;
    } else if (name == "-lst") {
      if (once(name))
        if (auto read = listing(v)) o.read = *read;
    } else if (name == "-bckp") {
      if (once(name)) r_.backupFile = v;
    } else {
      unread("Invalid option: " + o.given, Quoted(o.given));
    }
  }

  // What only the whole call shows, in the order the tool checks it.
  void complete() {
    at_ = kWholeCall;
    if (!seen_.contains("-on")) problem("No object name specified (-on).");
    if (!seen_.contains("-ot")) problem("No object type specified (-ot).");
    if (r_.actions.empty()) problem("No action specified (-actn).");
    const std::string type(Of(kObjectTypes, r_.command.type).token);
    for (std::size_t i = 0; i < r_.options.size(); ++i) {
      at_ = i;
      if (const auto* entry = std::get_if<AceEntry>(&r_.options[i].read))
        for (const std::string& p : entry->permissions)
          if (!r_.typeGiven || !PermissionWords(type)->contains(p)) problem("Invalid permission: " + p);
      if (r_.options[i].name == "-rec") recursion(r_.options[i].value);
    }
    at_ = kWholeCall;
    const std::pair<const char*, bool> needs[] = {
        {"ace", seen("-ace")},         {"trustee", seen("-trst")}, {"setowner", seen("-ownr")},
        {"setgroup", seen("-grp")},    {"setprot", seen("-op")},   {"clear", seen("-clr")},
        {"rstchldrn", seen("-rst")},   {"restore", seen("-bckp")}};
    for (const auto& [action, given] : needs)
      if (r_.asked(action) && !given) problem("Action " + std::string(action) + " is missing its parameters.");
    if (seen("-bckp") && !r_.asked("list") && !r_.asked("restore"))
      problem("-bckp needs the action list or restore.");
    if (seen("-on") && !r_.asked("restore") && r_.command.object.empty())
      problem("No object name specified (-on).");
  }

 private:
  bool seen(const std::string& name) const {
    return std::ranges::any_of(r_.options, [&](const ReadOption& o) { return o.name == name; });
  }

  void problem(std::string message, std::string why = {}) {
    r_.problems.push_back({at_, std::move(message), ToolExit::InvalidParameters, {}, std::move(why)});
  }
  void unread(std::string message, std::string part) {
    r_.problems.push_back({at_, std::move(message), ToolExit::InvalidParameters, std::move(part), {}});
  }

  bool once(const std::string& name) {
    if (seen_.insert(name).second) return true;
    problem("Option " + name + " specified more than once.",
            name + " is given more than once: SetACL.exe refuses it.");
    return false;
  }

  // "k:v;k:v", the keys known; false, said so, otherwise.
  bool fields(const std::string& text, std::initializer_list<std::string_view> keys, Fields& out,
              const std::string& part) {
    if (auto wrong = ReadFields(text, keys, out)) {
      unread("Invalid parameter format: " + *wrong, part);
      return false;
    }
    return true;
  }

  // s:y and s:n, or absent (n).
  bool sidFlag(const Fields& f, const std::string& key, bool& sid, const std::string& part) {
    auto it = f.find(key);
    std::string value = it == f.end() ? "n" : Lower(it->second);
    if (value != "y" && value != "n") {
      unread("Invalid value for " + key + ": " + it->second, part);
      return false;
    }
    sid = value == "y";
    return true;
  }

  std::optional<AceEntry> ace(const std::string& v) {
    const std::string part = "the entry " + Quoted(v);
    Fields f;
    if (!fields(v, {"n", "p", "s", "i", "m", "w"}, f, part)) return std::nullopt;
    if (!f.contains("n") || !f.contains("p")) return unread("Invalid parameter format: " + v, part), std::nullopt;
    AceEntry entry;
    entry.trustee.name = f["n"];
    if (!sidFlag(f, "s", entry.trustee.sid, part)) return std::nullopt;
    entry.permissions = Split(Lower(f["p"]), ',');
    if (f.contains("i"))
      for (const std::string& flag : Split(Lower(f["i"]), ',')) {
        const auto* row = ByToken(kInheritanceFlags, flag);
        if (!row) return unread("Invalid inheritance flag: " + flag, part), std::nullopt;
        entry.inheritance |= row->value;
      }
    const std::string where = f.contains("w") ? f["w"] : "dacl";
    bool dacl = false, sacl = false;
    if (!ReadLists(where, dacl, sacl)) return unread("Invalid ACL type: " + where, part), std::nullopt;
    entry.where = dacl && sacl ? AclLists::Both : dacl ? AclLists::Dacl : AclLists::Sacl;
    const std::string mode = f.contains("m") ? f["m"] : "set";
    const auto* row = ByToken(kAceModes, mode);
    if (!row) return unread("Invalid access mode for this ACL type: " + mode, part), std::nullopt;
    entry.mode = row->value;
    const std::string who = Quoted(entry.trustee.name);
    if (entry.where == AclLists::Both)
      problem("Invalid ACL type: " + where, "The entry for " + who + " names both lists (w:" + where +
                                                "): SetACL.exe refuses it; add one entry for each list.");
    else if (!ListTakesMode(entry.where, entry.mode))
      problem("Invalid access mode for this ACL type: " + mode,
              "The entry for " + who + " in " + std::string(Of(kAclLists, entry.where).words) +
                  " has the mode " + Quoted(mode) + ": SetACL.exe refuses it there (only " +
                  Tokens(ModesFor(entry.where), kAceModes) + ").");
    return entry;
  }

  std::optional<TrusteeEntry> trustee(const std::string& v) {
    const std::string part = "the trustee action " + Quoted(v);
    Fields f;
    if (!fields(v, {"n1", "s1", "n2", "s2", "ta", "w"}, f, part)) return std::nullopt;
    if (!f.contains("n1") || !f.contains("ta")) return unread("Invalid parameter format: " + v, part), std::nullopt;
    TrusteeEntry entry;
    const auto* action = ByToken(kTrusteeActions, f["ta"]);
    if (!action) return unread("Invalid trustee action: " + f["ta"], part), std::nullopt;
    entry.action = action->value;
    const bool two = entry.action != TrusteeAction::Remove;
    if (two && !f.contains("n2"))
      return unread("Trustee action " + std::string(action->token) + " needs a second trustee.", part), std::nullopt;
    entry.first.name = f["n1"];
    if (two) entry.second.name = f["n2"];
    if (!sidFlag(f, "s1", entry.first.sid, part) || !sidFlag(f, "s2", entry.second.sid, part))
      return std::nullopt;
    if (!two) entry.second.sid = false;
    bool dacl = true, sacl = false;
    if (f.contains("w") && !ReadLists(f["w"], dacl, sacl))
      return unread("Invalid ACL type: " + f["w"], part), std::nullopt;
    entry.where = dacl && sacl ? AclLists::Both : dacl ? AclLists::Dacl : AclLists::Sacl;
    return entry;
  }

  std::optional<Account> account(const std::string& v, const std::string& what) {
    const std::string part = what + Quoted(v);
    Fields f;
    if (!fields(v, {"n", "s"}, f, part)) return std::nullopt;
    if (!f.contains("n")) return unread("Invalid parameter format: " + v, part), std::nullopt;
    Account read{f["n"]};
    if (!sidFlag(f, "s", read.sid, part)) return std::nullopt;
    return read;
  }

  std::optional<Protections> protections(const std::string& v) {
    const std::string part = "inheritance " + Quoted(v);
    Fields f;
    if (!fields(v, {"dacl", "sacl"}, f, part)) return std::nullopt;
    if (f.empty()) return unread("Invalid parameter format: " + v, part), std::nullopt;
    Protections read{Protection::NoChange, Protection::NoChange};
    for (auto [key, into] : {std::pair{"dacl", &read.first}, std::pair{"sacl", &read.second}}) {
      if (!f.contains(key)) continue;
      const auto* row = ByToken(kProtections, f[key]);
      if (!row) return unread("Invalid inheritance flag: " + f[key], part), std::nullopt;
      *into = row->value;
    }
    return read;
  }

  std::optional<Listing> listing(const std::string& v) {
    const std::string part = "the list format " + Quoted(v);
    Fields f;
    if (!fields(v, {"f", "w", "i", "s"}, f, part)) return std::nullopt;
    Listing read = kToolListing;
    if (f.contains("f")) {
      const auto* row = ByToken(kListFormats, f["f"]);
      if (!row) return unread("Invalid list format: " + f["f"], part), std::nullopt;
      read.format = row->value;
    }
    if (f.contains("w")) {
      read.dacl = false;
      for (const std::string& letter : Split(Lower(f["w"]), ',')) {
        bool* into = letter == "d" ? &read.dacl : letter == "s" ? &read.sacl
                     : letter == "o" ? &read.owner : letter == "g" ? &read.group : nullptr;
        if (!into) return unread("Invalid list type: " + f["w"], part), std::nullopt;
        *into = true;
      }
    }
    if (!sidFlag(f, "i", read.inherited, part) || !sidFlag(f, "s", read.sids, part)) return std::nullopt;
    return read;
  }

  // Read for files and registry keys only; other types ignore it.
  void recursion(const std::string& v) {
    auto take = [&](const auto& table) {
      if (const auto* row = ByToken(table, v)) r_.command.recursion = row->value;
      else problem("Invalid recursion for this object type: " + v);
    };
    if (r_.command.type == ObjectType::File) take(kFileRecursion);
    else if (r_.command.type == ObjectType::Registry) take(kRegistryRecursion);
  }

  CallReading& r_;
  std::string_view programFolder_;
  std::size_t at_ = kWholeCall;
  std::set<std::string> seen_;
};

// The model's lists from the options read: an entry for each list the
// composer writes as two, one after the other, is one entry for both.
void Fold(CallReading& r, std::string_view programFolder) {
  Command& c = r.command;
  for (const ReadOption& o : r.options) {
    if (const auto* ace = std::get_if<AceEntry>(&o.read)) {
      std::vector<AceEntry>& aces = c.aces.added;
      AceEntry dacl = aces.empty() ? AceEntry{} : aces.back();
      dacl.where = AclLists::Sacl;
      if (!aces.empty() && aces.back().where == AclLists::Dacl && ace->where == AclLists::Sacl && dacl == *ace)
        aces.back().where = AclLists::Both;
      else
        c.aces.add(*ace);
    } else if (const auto* trustee = std::get_if<TrusteeEntry>(&o.read)) {
      c.trustees.add(*trustee);
    } else if (const auto* account = std::get_if<Account>(&o.read)) {
      (o.name == "-ownr" ? c.owner : c.group) = *account;
    } else if (const auto* protections = std::get_if<Protections>(&o.read)) {
      c.daclProtection = protections->first;
      c.saclProtection = protections->second;
    } else if (const auto* lists = std::get_if<AclLists>(&o.read)) {
      (o.name == "-clr" ? c.clear : c.resetChildren) = *lists;
    } else if (const auto* listing = std::get_if<Listing>(&o.read)) {
      r.listing = *listing;
    } else if (o.name == "-silent") {
      c.silent = true;
    } else if (o.name == "-ignoreerr") {
      c.continueOnErrors = true;
    }
  }
  c.aces.count = static_cast<int>(c.aces.added.size());
  // A log file of the main window's stands in the program's LogFiles.
  const std::string logs = LogFolder(programFolder) + "\\";
  if (!programFolder.empty() && r.logPath.starts_with(logs)) c.logFile = r.logPath.substr(logs.size());
}

}  // namespace

bool CallReading::asked(std::string_view action) const {
  return std::ranges::find(actions, action) != actions.end();
}

std::string CallReading::unheld() const {
  for (const CallProblem& problem : problems)
    if (!problem.unread.empty()) return problem.unread;
  std::set<std::string> seen;
  for (const ReadOption& o : options) {
    if (o.name == "-fltr" || o.name == "-ace" || o.name == "-trst" || o.name == "-actn" || o.name.empty()) continue;
    if (!seen.insert(o.name).second) return o.given + " given twice";
  }
  if (!typeGiven) return "no object type (-ot)";
  for (const char* action : {"list", "restore"})
    if (asked(action)) return "the action " + Quoted(action) + ", which the main window does not run";
  if (listing || !backupFile.empty()) return "a listing or backup file (-lst, -bckp)";
  if (!logPath.empty() && command.logFile.empty())
    return "the log file " + Quoted(logPath) + ", outside the program's LogFiles";
  return {};
}

CallReading ReadCall(std::string_view commandLine, std::string_view programFolder) {
  CallReading r;
  std::vector<std::string> args = SplitArguments(commandLine);
  if (args.size() == 1) {
    r.problems.push_back({kWholeCall, "No parameters given: see the usage.", ToolExit::Usage, {}, {}});
    return r;
  }
  Reader reader(r, programFolder);
  for (std::size_t i = 1; i < args.size(); ++i) {
    ReadOption o{Lower(args[i]), args[i], {}, {}};
    const std::size_t at = r.options.size();
    if (!o.name.starts_with('-')) {
      o.name.clear();
      r.options.push_back(std::move(o));
      r.problems.push_back({at, "Invalid parameter: " + args[i], ToolExit::InvalidParameters, Quoted(args[i]), {}});
      continue;
    }
    if (o.name == "-silent" || o.name == "-ignoreerr") {
      r.options.push_back(std::move(o));
      continue;
    }
    // The tool takes anything beginning with a dash for the next option.
    if (i + 1 == args.size()) {
      r.options.push_back(std::move(o));
      r.problems.push_back({at, "No parameter found for option " + args[i], ToolExit::InvalidParameters,
                            args[i] + " without a value", {}});
      continue;
    }
    o.value = args[++i];
    if (o.value.starts_with('-'))
      r.problems.push_back({at, "No parameter found for option " + args[i - 1], ToolExit::InvalidParameters, {},
                            "The value " + Quoted(o.value) + " of " + args[i - 1] +
                                " begins with \"-\": SetACL.exe refuses it, taking it for an option."});
    r.options.push_back(std::move(o));
    reader.option(at);
  }
  reader.complete();
  Fold(r, programFolder);
  return r;
}
