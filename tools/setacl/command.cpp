#include "tools/setacl/command.h"

#include <algorithm>
#include <map>
#include <set>

namespace standin {

namespace {

struct Token {
  std::string text;
  bool quoted = false;
};

using Set = std::set<std::string, std::less<>>;

// The program's path ends at its closing quote or at the first blank; then
// blanks separate tokens and double quotes group, backslashes being plain.
bool Tokenize(std::string_view line, std::vector<Token>& tokens) {
  std::size_t at = 0;
  if (line.starts_with('"')) {
    at = line.find('"', 1);
    if (at == std::string_view::npos) return false;
    ++at;
  } else {
    at = std::min(line.find_first_of(" \t"), line.size());
  }
  bool inToken = false, inQuotes = false;
  for (; at < line.size(); ++at) {
    char c = line[at];
    if (!inQuotes && (c == ' ' || c == '\t')) {
      inToken = false;
      continue;
    }
    if (!inToken) {
      tokens.push_back({});
      inToken = true;
    }
    if (c == '"') {
      inQuotes = !inQuotes;
      tokens.back().quoted = true;
    } else {
      tokens.back().text += c;
    }
  }
  return !inQuotes;
}

std::vector<std::string> Split(std::string_view text, char separator) {
  std::vector<std::string> parts;
  for (std::size_t from = 0;;) {
    std::size_t at = text.find(separator, from);
    parts.emplace_back(text.substr(from, at - from));
    if (at == std::string_view::npos) return parts;
    from = at + 1;
  }
}

std::string Join(const std::vector<std::string>& parts, std::string_view separator) {
  std::string out;
  for (const auto& part : parts) out += (out.empty() ? "" : std::string(separator)) + part;
  return out;
}

// "k:v;k:v" with known keys; one empty field may end the list ("n:Bob;").
bool Fields(const std::string& text, const Set& keys, std::map<std::string, std::string>& fields,
            std::string& error) {
  std::vector<std::string> parts = Split(text, ';');
  if (parts.size() > 1 && parts.back().empty()) parts.pop_back();
  for (const auto& part : parts) {
    std::size_t colon = part.find(':');
    std::string key = part.substr(0, colon);
    if (colon == std::string::npos || !keys.contains(key)) {
      error = "unknown field \"" + part + "\" in \"" + text + "\"";
      return false;
    }
    if (!fields.emplace(key, part.substr(colon + 1)).second) {
      error = "field " + key + ": given twice in \"" + text + "\"";
      return false;
    }
  }
  return true;
}

bool OneOf(const std::string& value, const Set& allowed, const std::string& what,
           std::string& error) {
  if (allowed.contains(value)) return true;
  error = "unknown value \"" + value + "\" for " + what;
  return false;
}

bool Flag(const std::map<std::string, std::string>& fields, const std::string& key,
          std::string& error) {
  auto it = fields.find(key);
  if (it == fields.end()) return false;
  if (it->second != "y") error = "unknown value \"" + it->second + "\" for " + key + ":";
  return true;
}

const Set kTypes = {"file", "reg", "srv", "prn", "shr"};
const Set kActions = {"ace",  "trustee", "setowner",  "setgroup", "setprot",
                      "clear", "rstchldrn", "list", "restore"};
const Set kLists = {"dacl", "sacl", "dacl,sacl"};
const Set kProtections = {"nc", "np", "p_c", "p_nc"};
const Set kModes = {"set", "grant", "revoke", "deny"};
const Set kInheritance = {"so", "sc", "so,sc", "np", "io"};
const Set kAceTargets = {"dacl", "sacl", "sacl,dacl"};
const Set kTrusteeActions = {"remtrst", "repltrst", "cpytrst"};
const Set kFormats = {"sddl", "csv", "tab"};

const std::map<std::string, Set, std::less<>> kPermissions = {
    {"file", {"read", "write", "list_folder", "read_ex", "change", "profile", "full", "traverse",
              "list_dir", "read_attr", "read_ea", "add_file", "add_subdir", "write_attr",
              "write_ea", "del_child", "delete", "read_dacl", "write_dacl", "write_owner"}},
    {"reg", {"read", "full", "query_val", "set_val", "create_subkey", "enum_subkeys", "notify",
             "create_link", "delete", "write_dacl", "write_owner", "read_access"}},
    {"srv", {"read", "start_stop", "full"}},
    {"prn", {"print", "man_printer", "man_docs", "full"}},
    {"shr", {"read", "change", "full"}},
};

const std::map<std::string, Set, std::less<>> kRecursion = {{"file", {"cont", "obj", "cont_obj"}},
                                                            {"reg", {"yes"}}};

std::string Quoted(const std::string& text) { return "\"" + text + "\""; }

class Parser {
 public:
  explicit Parser(Command& command) : c_(command) {}

  bool option(const std::string& name, const std::string& value) {
    if (name == "-on") return once(name) && (c_.object = value, true);
    if (name == "-ot") return once(name) && OneOf(value, kTypes, "-ot", error) && (c_.type = value, true);
    if (name == "-actn") return action(value);
    if (name == "-ace") return ace(value);
    if (name == "-trst") return trustee(value);
    if (name == "-ownr") return once(name) && account(value, "-ownr", c_.owner);
    if (name == "-grp") return once(name) && account(value, "-grp", c_.group);
    if (name == "-op") return once(name) && protection(value);
    if (name == "-clr") return once(name) && OneOf(value, kLists, "-clr", error) && (c_.clear = value, true);
    if (name == "-rst")
      return once(name) && OneOf(value, kLists, "-rst", error) && (c_.resetChildren = value, true);
    if (name == "-rec") return once(name) && (c_.recursion = value, true);
    if (name == "-fltr") return c_.filters.push_back(value), true;
    if (name == "-log") return once(name) && nonEmpty(name, value) && (c_.log = value, true);
    if (name == "-lst") return once(name) && list(value);
    if (name == "-bckp") return once(name) && nonEmpty(name, value) && (c_.backup = value, true);
    error = "unknown option " + name;
    return false;
  }

  // What only the whole command shows: the object, the type and each
  // action with the options it needs.
  bool complete() {
    if (!seen_.contains("-on")) return fail("no object given (-on)");
    if (!seen_.contains("-ot")) return fail("no object type given (-ot)");
    if (c_.actions.empty()) return fail("no action given (-actn)");
    for (const auto& entry : pendingAces_)
      if (!checkAce(entry)) return false;
    if (!c_.recursion.empty()) {
      auto allowed = kRecursion.find(c_.type);
      if (allowed == kRecursion.end() || !allowed->second.contains(c_.recursion))
        return fail("unknown value \"" + c_.recursion + "\" for -rec with -ot " + c_.type);
    }
    const std::pair<const char*, bool> needs[] = {
        {"ace", !c_.aces.empty()},          {"trustee", !c_.trustees.empty()},
        {"setowner", !c_.owner.empty()},    {"setgroup", !c_.group.empty()},
        {"setprot", !c_.protection.empty()}, {"clear", !c_.clear.empty()},
        {"rstchldrn", !c_.resetChildren.empty()},
        {"list", !c_.listFormat.empty() && !c_.backup.empty()},
        {"restore", !c_.backup.empty()}};
    const std::map<std::string, const char*> optionOf = {
        {"ace", "-ace"},   {"trustee", "-trst"}, {"setowner", "-ownr"},
        {"setgroup", "-grp"}, {"setprot", "-op"}, {"clear", "-clr"},
        {"rstchldrn", "-rst"}, {"list", "-lst and -bckp"}, {"restore", "-bckp"}};
    for (const auto& [action, given] : needs) {
      bool asked = std::ranges::find(c_.actions, action) != c_.actions.end();
      if (asked && !given) return fail("-actn " + std::string(action) + " needs " + optionOf.at(action));
      if (!asked && given && std::string(action) != "restore" && std::string(action) != "list")
        return fail(std::string(optionOf.at(action)) + " given without -actn " + action);
    }
    bool backs = std::ranges::find(c_.actions, "list") != c_.actions.end() ||
                 std::ranges::find(c_.actions, "restore") != c_.actions.end();
    if (!c_.backup.empty() && !backs) return fail("-bckp given without -actn list or restore");
    if (!c_.listFormat.empty() && std::ranges::find(c_.actions, "list") == c_.actions.end())
      return fail("-lst given without -actn list");
    return true;
  }

  std::string error;

 private:
  bool fail(std::string message) {
    error = std::move(message);
    return false;
  }
  bool once(const std::string& name) {
    return seen_.insert(name).second || fail(name + " given twice");
  }
  bool nonEmpty(const std::string& name, const std::string& value) {
    return !value.empty() || fail("empty value for " + name);
  }

  bool action(const std::string& value) {
    if (!OneOf(value, kActions, "-actn", error)) return false;
    if (std::ranges::find(c_.actions, value) != c_.actions.end())
      return fail("-actn " + value + " given twice");
    c_.actions.push_back(value);
    return true;
  }

  // Permissions depend on the type, which may come later: checked at the end.
  bool ace(const std::string& value) {
    pendingAces_.push_back(value);
    return true;
  }

  bool checkAce(const std::string& value) {
    std::map<std::string, std::string> f;
    if (!Fields(value, {"n", "p", "s", "i", "m", "w"}, f, error)) return false;
    if (!f.contains("n") || !f.contains("p")) return fail("-ace needs n: and p: in \"" + value + "\"");
    std::vector<std::string> permissions = Split(f["p"], ',');
    for (const auto& p : permissions)
      if (!OneOf(p, kPermissions.at(c_.type), "p: with -ot " + c_.type, error)) return false;
    bool sid = Flag(f, "s", error);
    if (!error.empty()) return false;
    if (f.contains("i") && !OneOf(f["i"], kInheritance, "i:", error)) return false;
    if (f.contains("m") && !OneOf(f["m"], kModes, "m:", error)) return false;
    if (f.contains("w") && !OneOf(f["w"], kAceTargets, "w:", error)) return false;
    std::string words = (f.contains("m") ? f["m"] : "set") + " " + Join(permissions, ",") + " for " +
            Quoted(f["n"]) + (sid ? " (SID)" : "") + " in " + (f.contains("w") ? f["w"] : "dacl");
    if (f.contains("i")) words += ", inheritance " + f["i"];
    c_.aces.push_back(std::move(words));
    return true;
  }

  bool trustee(const std::string& value) {
    std::map<std::string, std::string> f;
    if (!Fields(value, {"n1", "s1", "n2", "s2", "ta", "w"}, f, error)) return false;
    if (!f.contains("n1") || !f.contains("ta"))
      return fail("-trst needs n1: and ta: in \"" + value + "\"");
    if (!OneOf(f["ta"], kTrusteeActions, "ta:", error)) return false;
    bool two = f["ta"] != "remtrst";
    if (two != f.contains("n2"))
      return fail(std::string("-trst ta:") + f["ta"] + (two ? " needs" : " takes no") + " n2:");
    bool sid1 = Flag(f, "s1", error);
    bool sid2 = Flag(f, "s2", error);
    if (!error.empty()) return false;
    if (f.contains("w") && !OneOf(f["w"], kLists, "w:", error)) return false;
    std::string words = f["ta"] + " " + Quoted(f["n1"]) + (sid1 ? " (SID)" : "");
    if (two) words += " and " + Quoted(f["n2"]) + (sid2 ? " (SID)" : "");
    c_.trustees.push_back(words + " in " + (f.contains("w") ? f["w"] : "dacl"));
    return true;
  }

  bool account(const std::string& value, const std::string& option, std::string& words) {
    std::map<std::string, std::string> f;
    if (!Fields(value, {"n", "s"}, f, error)) return false;
    if (!f.contains("n")) return fail(option + " needs n: in \"" + value + "\"");
    bool sid = Flag(f, "s", error);
    if (!error.empty()) return false;
    words = Quoted(f["n"]) + (sid ? " (SID)" : "");
    return true;
  }

  bool protection(const std::string& value) {
    std::map<std::string, std::string> f;
    if (!Fields(value, {"dacl", "sacl"}, f, error)) return false;
    if (!f.contains("dacl") || !f.contains("sacl"))
      return fail("-op needs dacl: and sacl: in \"" + value + "\"");
    if (!OneOf(f["dacl"], kProtections, "dacl:", error) ||
        !OneOf(f["sacl"], kProtections, "sacl:", error))
      return false;
    c_.protection = "dacl " + f["dacl"] + ", sacl " + f["sacl"];
    return true;
  }

  bool list(const std::string& value) {
    std::map<std::string, std::string> f;
    if (!Fields(value, {"f", "w", "i", "s"}, f, error)) return false;
    if (!f.contains("f") || !f.contains("w")) return fail("-lst needs f: and w: in \"" + value + "\"");
    if (!OneOf(f["f"], kFormats, "f:", error)) return false;
    std::vector<std::string> parts = Split(f["w"], ',');
    std::string order = "dsog";
    std::size_t last = 0;
    for (const auto& part : parts) {
      std::size_t at = part.size() == 1 ? order.find(part[0]) : std::string::npos;
      if (at == std::string::npos || at < last) return fail("unknown value \"" + f["w"] + "\" for w:");
      last = at + 1;
    }
    Flag(f, "i", error);
    Flag(f, "s", error);
    if (!error.empty()) return false;
    c_.listFormat = f["f"];
    c_.listParts = f["w"] + (f.contains("i") ? ", inherited" : "") + (f.contains("s") ? ", SIDs" : "");
    return true;
  }

  Command& c_;
  std::set<std::string> seen_;
  std::vector<std::string> pendingAces_;
};

}  // namespace

Parsed Parse(std::string_view commandLine) {
  Parsed parsed;
  std::vector<Token> tokens;
  if (!Tokenize(commandLine, tokens)) {
    parsed.error = "unbalanced double quotes";
    return parsed;
  }
  Parser parser(parsed.command);
  for (std::size_t i = 0; i < tokens.size(); ++i) {
    const Token& name = tokens[i];
    if (name.quoted || !name.text.starts_with('-')) {
      parsed.error = "unexpected \"" + name.text + "\"";
      return parsed;
    }
    if (name.text == "-silent") {
      parsed.command.silent = true;
      continue;
    }
    if (i + 1 == tokens.size() || (!tokens[i + 1].quoted && tokens[i + 1].text.starts_with('-'))) {
      parsed.error = "missing value for " + name.text;
      return parsed;
    }
    if (!parser.option(name.text, tokens[++i].text)) {
      parsed.error = parser.error;
      return parsed;
    }
  }
  if (!parser.complete()) parsed.error = parser.error;
  return parsed;
}

std::vector<std::string> Describe(const Command& c) {
  std::string target = "on " + c.type + " " + Quoted(c.object);
  if (!c.recursion.empty()) target += ", recursion " + c.recursion;
  for (const auto& filter : c.filters) target += ", skipping " + Quoted(filter);
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
      lines.push_back("list: " + c.listParts + " as " + c.listFormat + " into " + Quoted(c.backup) +
                      " " + target);
    if (action == "restore")
      lines.push_back("restore: " + Quoted(c.backup) + " (taken of " + Quoted(c.backedUpObject) +
                      ") " + target);
  }
  return lines;
}

std::string BackupText(const Command& c) {
  return "SetACL stand-in backup\r\n" + Quoted(c.object) + "," + c.type + "," + c.listFormat +
         ",\"" + c.listParts + "\"\r\n";
}

bool ReadBackup(std::string_view text, std::string& object) {
  constexpr std::string_view kHead = "SetACL stand-in backup\r\n\"";
  if (!text.starts_with(kHead)) return false;
  text.remove_prefix(kHead.size());
  std::size_t end = text.find("\",");
  if (end == std::string_view::npos) return false;
  object = text.substr(0, end);
  return true;
}

}  // namespace standin
