#include "tools/setacl/command.h"

#include "setacl/arguments.h"
#include "setacl/choices.h"
#include "setacl/vocabulary.h"

#include <algorithm>
#include <map>
#include <optional>
#include <set>

namespace standin {

namespace {

using Fields = std::map<std::string, std::string>;

std::string Join(const std::vector<std::string>& parts, std::string_view separator) {
  std::string out;
  for (const auto& part : parts) out += (out.empty() ? "" : std::string(separator)) + part;
  return out;
}

std::string Quoted(const std::string& text) { return "\"" + text + "\""; }

// The lists an ACE may name: one at a time.
std::optional<AclLists> AceList(std::string_view word) {
  const Choice<AclLists>* row = ByToken(kAclLists, word);
  if (!row || row->value == AclLists::Both) return std::nullopt;
  return row->value;
}

// Recursion is read for files and registry keys only; other types ignore it.
bool RecursionFits(const std::string& type, const std::string& recursion) {
  if (type == "file") return ByToken(kFileRecursion, recursion) != nullptr;
  if (type == "reg") return ByToken(kRegistryRecursion, recursion) != nullptr;
  return true;
}

class Parser {
 public:
  explicit Parser(Command& command) : c_(command) {}

  bool option(const std::string& name, const std::string& value) {
    if (name == "-on") return once(name) && (c_.object = value, true);
    if (name == "-ot") return once(name) && keyword(value, kObjectTypes, "object type", c_.type);
    if (name == "-actn") return action(Lower(value));
    if (name == "-ace") return pendingAces_.push_back(value), true;  // checked once the type is known
    if (name == "-trst") return trustee(value);
    if (name == "-ownr") return once(name) && account(value, c_.owner, c_.ownerAccount);
    if (name == "-grp") return once(name) && account(value, c_.group, c_.groupAccount);
    if (name == "-op") return once(name) && protection(value);
    if (name == "-clr") return once(name) && lists(value, c_.clear);
    if (name == "-rst") return once(name) && lists(value, c_.resetChildren);
    if (name == "-rec") return once(name) && (c_.recursion = Lower(value), true);
    if (name == "-fltr") return c_.filters.push_back(value), true;
    if (name == "-log") return once(name) && (c_.log = value, true);
    if (name == "-lst") return once(name) && list(value);
    if (name == "-bckp") return once(name) && (c_.backup = value, true);
    return fail("Invalid option: " + name);
  }

  // What only the whole command shows: the object, the type and each
  // action with the options it needs.
  bool complete() {
    if (!seen_.contains("-on")) return fail("No object name specified (-on).");
    if (!seen_.contains("-ot")) return fail("No object type specified (-ot).");
    if (c_.actions.empty()) return fail("No action specified (-actn).");
    for (const auto& entry : pendingAces_)
      if (!ace(entry)) return false;
    if (!c_.recursion.empty() && !RecursionFits(c_.type, c_.recursion))
      return fail("Invalid recursion for this object type: " + c_.recursion);
    auto asked = [&](std::string_view action) {
      return std::ranges::find(c_.actions, action) != c_.actions.end();
    };
    const std::pair<const char*, bool> needs[] = {
        {"ace", !c_.aces.empty()},           {"trustee", !c_.trustees.empty()},
        {"setowner", !c_.owner.empty()},     {"setgroup", !c_.group.empty()},
        {"setprot", !c_.protection.empty()}, {"clear", !c_.clear.empty()},
        {"rstchldrn", !c_.resetChildren.empty()}, {"restore", !c_.backup.empty()}};
    for (const auto& [action, given] : needs)
      if (asked(action) && !given)
        return fail("Action " + std::string(action) + " is missing its parameters.");
    if (!c_.backup.empty() && !asked("list") && !asked("restore"))
      return fail("-bckp needs the action list or restore.");
    if (!asked("restore") && c_.object.empty())
      return fail("No object name specified (-on).");
    return true;
  }

  std::string error;

 private:
  bool fail(std::string message) {
    error = std::move(message);
    return false;
  }
  bool once(const std::string& name) {
    return seen_.insert(name).second || fail("Option " + name + " specified more than once.");
  }
  template <class V, std::size_t N>
  bool keyword(const std::string& value, const Choice<V> (&table)[N], const std::string& what,
               std::string& into) {
    const Choice<V>* row = ByToken(table, value);
    if (!row) return fail("Invalid " + what + ": " + value);
    into = row->token;
    return true;
  }

  bool fields(const std::string& text, std::initializer_list<std::string_view> keys, Fields& out) {
    if (auto wrong = ReadFields(text, keys, out)) return fail("Invalid parameter format: " + *wrong);
    return true;
  }

  // s:y and s:n, or absent; n when absent.
  bool sidFlag(const Fields& f, const std::string& key, bool& sid) {
    auto it = f.find(key);
    std::string value = it == f.end() ? "n" : Lower(it->second);
    if (value != "y" && value != "n") return fail("Invalid value for " + key + ": " + it->second);
    sid = value == "y";
    return true;
  }

  // A comma list of dacl and sacl in any order, written back as the tool
  // reads it: dacl before sacl.
  bool lists(const std::string& value, std::string& into) {
    bool dacl = false, sacl = false;
    if (!ReadLists(value, dacl, sacl)) return fail("Invalid ACL type: " + value);
    into = Of(kAclLists, dacl && sacl ? AclLists::Both : dacl ? AclLists::Dacl : AclLists::Sacl).token;
    return true;
  }

  bool action(const std::string& value) {
    if (!SetAclActions().contains(value)) return fail("Invalid action: " + value);
    if (std::ranges::find(c_.actions, value) == c_.actions.end()) c_.actions.push_back(value);
    return true;
  }

  bool ace(const std::string& value) {
    Fields f;
    if (!fields(value, {"n", "p", "s", "i", "m", "w"}, f)) return false;
    if (!f.contains("n") || !f.contains("p")) return fail("Invalid parameter format: " + value);
    std::vector<std::string> permissions = Split(Lower(f["p"]), ',');
    for (const auto& p : permissions)
      if (!PermissionWords(c_.type)->contains(p)) return fail("Invalid permission: " + p);
    bool sid = false;
    if (!sidFlag(f, "s", sid)) return false;
    std::string where = f.contains("w") ? Lower(f["w"]) : "dacl";
    std::optional<AclLists> list = AceList(where);
    if (!list) return fail("Invalid ACL type: " + f["w"]);
    const Choice<AceMode>* mode = ByToken(kAceModes, f.contains("m") ? f["m"] : "set");
    if (!mode || !ListTakesMode(*list, mode->value))
      return fail("Invalid access mode for this ACL type: " + f["m"]);
    std::vector<std::string> flags;
    if (f.contains("i")) {
      flags = Split(Lower(f["i"]), ',');
      for (const auto& flag : flags)
        if (!ByToken(kInheritanceFlags, flag))
          return fail("Invalid inheritance flag: " + flag);
    }
    std::string inheritance = Join(flags, ",");
    std::string words = std::string(mode->token) + " " + Join(permissions, ",") + " for " + Quoted(f["n"]) +
                        (sid ? " (SID)" : "") + " in " + where;
    if (!inheritance.empty()) words += ", inheritance " + inheritance;
    c_.aces.push_back(std::move(words));
    c_.aceOrders.push_back({{f["n"], sid}, std::move(permissions), std::string(mode->token),
                            *list == AclLists::Sacl, std::move(flags)});
    return true;
  }

  bool trustee(const std::string& value) {
    Fields f;
    if (!fields(value, {"n1", "s1", "n2", "s2", "ta", "w"}, f)) return false;
    if (!f.contains("n1") || !f.contains("ta")) return fail("Invalid parameter format: " + value);
    std::string ta;
    if (!keyword(f["ta"], kTrusteeActions, "trustee action", ta)) return false;
    bool two = ta != "remtrst";
    if (two && !f.contains("n2")) return fail("Trustee action " + ta + " needs a second trustee.");
    bool sid1 = false, sid2 = false;
    if (!sidFlag(f, "s1", sid1) || !sidFlag(f, "s2", sid2)) return false;
    std::string where = "dacl";
    if (f.contains("w") && !lists(f["w"], where)) return false;
    std::string words = ta + " " + Quoted(f["n1"]) + (sid1 ? " (SID)" : "");
    if (two) words += " and " + Quoted(f["n2"]) + (sid2 ? " (SID)" : "");
    c_.trustees.push_back(words + " in " + where);
    return true;
  }

  bool account(const std::string& value, std::string& words, Account& account) {
    Fields f;
    if (!fields(value, {"n", "s"}, f)) return false;
    if (!f.contains("n")) return fail("Invalid parameter format: " + value);
    bool sid = false;
    if (!sidFlag(f, "s", sid)) return false;
    words = Quoted(f["n"]) + (sid ? " (SID)" : "");
    account = {f["n"], sid};
    return true;
  }

  bool protection(const std::string& value) {
    Fields f;
    if (!fields(value, {"dacl", "sacl"}, f)) return false;
    if (f.empty()) return fail("Invalid parameter format: " + value);
    std::string& dacl = c_.daclProtection;
    std::string& sacl = c_.saclProtection;
    if (f.contains("dacl") && !keyword(f["dacl"], kProtections, "inheritance flag", dacl)) return false;
    if (f.contains("sacl") && !keyword(f["sacl"], kProtections, "inheritance flag", sacl)) return false;
    c_.protection = "dacl " + dacl + ", sacl " + sacl;
    return true;
  }

  bool list(const std::string& value) {
    Fields f;
    if (!fields(value, {"f", "w", "i", "s"}, f)) return false;
    if (f.contains("f") && !keyword(f["f"], kListFormats, "list format", c_.listFormat)) return false;
    if (f.contains("w")) {
      std::string letters;
      for (const auto& part : Split(Lower(f["w"]), ','))
        if (part.size() != 1 || std::string_view("dsog").find(part[0]) == std::string_view::npos)
          return fail("Invalid list type: " + f["w"]);
        else if (letters.find(part[0]) == std::string::npos)
          letters += part[0];
      c_.listParts.clear();
      for (char letter : std::string_view("dsog"))
        if (letters.find(letter) != std::string::npos)
          c_.listParts += std::string(c_.listParts.empty() ? "" : ",") + letter;
    }
    return sidFlag(f, "i", c_.listInherited) && sidFlag(f, "s", c_.listSids);
  }

  Command& c_;
  std::set<std::string> seen_;
  std::vector<std::string> pendingAces_;
};

}  // namespace

Parsed Parse(std::string_view commandLine) {
  Parsed parsed;
  std::vector<std::string> args = SplitArguments(commandLine);
  auto fail = [&](std::string message, ExitCode code) {
    parsed.error = std::move(message);
    parsed.exitCode = code;
    return parsed;
  };
  if (args.size() == 1) return fail("No parameters given: see the usage.", kUsage);
  Parser parser(parsed.command);
  for (std::size_t i = 1; i < args.size(); ++i) {
    std::string name = Lower(args[i]);
    if (!name.starts_with('-')) return fail("Invalid parameter: " + args[i], kInvalidParameters);
    if (name == "-silent") {
      parsed.command.silent = true;
      continue;
    }
    if (name == "-ignoreerr") {
      parsed.command.ignoreErrors = true;
      continue;
    }
    // The tool takes anything beginning with a dash for the next option.
    if (i + 1 == args.size() || args[i + 1].starts_with('-'))
      return fail("No parameter found for option " + args[i], kInvalidParameters);
    if (!parser.option(name, args[++i])) return fail(parser.error, kInvalidParameters);
  }
  if (!parser.complete()) return fail(parser.error, kInvalidParameters);
  return parsed;
}

std::vector<std::string> Describe(const Command& c) {
  std::string target = "on " + c.type + " " + Quoted(c.object);
  if (!c.recursion.empty() && c.recursion != "no") target += ", recursion " + c.recursion;
  for (const auto& filter : c.filters) target += ", skipping " + Quoted(filter);
  if (c.ignoreErrors) target += ", going on after errors";
  std::string parts = c.listParts + (c.listInherited ? ", inherited" : "") + (c.listSids ? ", SIDs" : "");
  std::vector<std::string> lines;
  for (const auto& action : c.actions) {
    if (action == "ace")
      for (const auto& ace : c.aces) lines.push_back("ace: " + ace + " " + target);
    if (action == "trustee")
      for (const auto& trustee : c.trustees) lines.push_back("trustee: " + trustee + " " + target);
    if (action == "setowner") lines.push_back("setowner: " + c.owner + " " + target);
    if (action == "setgroup") lines.push_back("setgroup: " + c.group + " " + target);
    if (action == "setprot") lines.push_back("setprot: " + c.protection + " " + target);
    if (action == "clear") lines.push_back("clear: " + c.clear + " " + target);
    if (action == "rstchldrn") lines.push_back("rstchldrn: " + c.resetChildren + " " + target);
    if (action == "list")
      lines.push_back("list: " + parts + " as " + c.listFormat + " into " +
                      (ListsToScreen(c) ? std::string("the screen") : Quoted(c.backup)) + " " + target);
    if (action == "restore")
      lines.push_back("restore: " + std::to_string(c.backedUpObjects) +
                      (c.backedUpObjects == 1 ? " object" : " objects") + " from " +
                      Quoted(c.backup) + " (-on is not used) " + target);
  }
  return lines;
}

bool Filtered(const Command& c, std::string_view path) {
  std::string lower = Lower(path);
  return std::ranges::any_of(c.filters, [&](const std::string& keyword) {
    return lower.find(Lower(keyword)) != std::string::npos;
  });
}

}  // namespace standin
