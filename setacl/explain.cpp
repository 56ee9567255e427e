#include "setacl/explain.h"

#include <algorithm>
#include <map>
#include <vector>

#include "setacl/arguments.h"
#include "setacl/choices.h"
#include "setacl/vocabulary.h"

namespace {

std::string Quoted(std::string_view text) {
  std::string out(1, '"');
  out.append(text).push_back('"');
  return out;
}

std::string Word(const Words& words, const std::string& key) {
  auto it = words.find(key);
  return it == words.end() ? Quoted(key) + " (not understood)" : it->second;
}

// Each list of words joined as a reader expects: "a, b and c".
std::string Listed(const std::vector<std::string>& items) {
  std::string out;
  for (std::size_t i = 0; i < items.size(); ++i)
    out += (i == 0 ? "" : i + 1 == items.size() ? " and " : ", ") + items[i];
  return out;
}

// The words of a table's token, or the token marked as not understood.
template <class V, std::size_t N>
std::string Word(const Choice<V> (&table)[N], const std::string& token) {
  const Choice<V>* row = ByToken(table, token);
  return row ? std::string(row->words) : Quoted(token) + " (not understood)";
}

const std::vector<std::string> kTakesValue = {"-on", "-ot",  "-actn", "-ace", "-trst",
                                              "-ownr", "-grp", "-op",  "-clr", "-rst",
                                              "-rec", "-fltr", "-log", "-lst", "-bckp"};

// dacl, sacl or both, any order, as a reader says it.
bool Lists(const std::string& value, std::string& words) {
  bool dacl = false, sacl = false;
  if (!ReadLists(value, dacl, sacl)) return false;
  words = Of(kAclLists, dacl && sacl ? AclLists::Both : dacl ? AclLists::Dacl : AclLists::Sacl).words;
  return true;
}

// "k:v;k:v" with known keys; false on anything else.
bool Fields(const std::string& text, std::initializer_list<std::string_view> keys,
            std::map<std::string, std::string>& out) {
  return !ReadFields(text, keys, out);
}

std::string Account(const std::map<std::string, std::string>& f, const char* name, const char* sid) {
  auto it = f.find(sid);
  bool isSid = it != f.end() && Lower(it->second) == "y";
  return Quoted(f.at(name)) + (isSid ? " (a SID)" : "");
}

class Explainer {
 public:
  std::vector<std::string> lines, warnings;
  std::string object, type = "file", reach;
  bool objectGiven = false;

  void option(const std::string& name, const std::string& value) {
    if (name == "-on") objectGiven = true, object = value;
    else if (name == "-ot") type = Lower(value);
    else if (name == "-rec") reach = Lower(value);
    else if (name == "-actn") action(Lower(value));
    else if (name == "-ace") ace(value);
    else if (name == "-trst") trustee(value);
    else if (name == "-ownr") account("Owner", value);
    else if (name == "-grp") account("Primary group", value);
    else if (name == "-op") protection(value);
    else if (name == "-clr") clear(value);
    else if (name == "-rst") resetChildren(value);
    else if (name == "-fltr") lines.push_back("Filter: skip every object whose path holds " + Quoted(value));
    else if (name == "-log") lines.push_back("Log: what it does is added to " + Quoted(value));
    else if (name == "-lst") lines.push_back("List format: " + Quoted(value));
    else if (name == "-bckp") lines.push_back("Backup file: " + Quoted(value));
  }

  void notUnderstood(const std::string& what) { lines.push_back("Not understood: " + what); }

 private:
  void action(const std::string& value) {
    if (!SetAclActions().contains(value))
      notUnderstood("the action " + Quoted(value));
    if (value == "list") lines.push_back("List: the object's permissions");
    if (value == "restore") lines.push_back("Restore: the permissions saved in the backup file");
  }

  void ace(const std::string& value) {
    std::map<std::string, std::string> f;
    if (!Fields(value, {"n", "p", "s", "i", "m", "w"}, f) || !f.contains("n") || !f.contains("p"))
      return notUnderstood("the entry " + Quoted(value));
    const std::string who = Account(f, "n", "s");
    std::vector<std::string> perms;
    const Words* table = PermissionWords(type);
    for (const auto& p : Split(Lower(f["p"]), ','))
      perms.push_back(table ? Word(*table, p) : Quoted(p));
    std::string where = f.contains("w") ? Lower(f["w"]) : "dacl";
    std::string mode = f.contains("m") ? Lower(f["m"]) : "set";
    std::string inList;
    if (!Lists(where, inList)) inList = Quoted(f["w"]) + " (not understood)";
    std::string what = Listed(perms);
    const Choice<AceMode>* known = ByToken(kAceModes, mode);
    std::string line = known ? FillIn(FillIn(known->words, "who", who), "what", what)
                             : Quoted(mode) + " (not understood) " + who + " " + what;
    line = "ACE: " + line + ", in " + inList;
    if (f.contains("i")) {
      std::vector<std::string> flags;
      for (const auto& flag : Split(Lower(f["i"]), ',')) flags.push_back(Word(kInheritanceFlags, flag));
      line += "; inherited by " + Listed(flags);
    }
    lines.push_back(line);

    if (where == "sacl,dacl" || where == "dacl,sacl")
      warnings.push_back("The entry for " + who + " names both lists (w:" + f["w"] +
                         "): SetACL.exe refuses it; add one entry for each list.");
    else if (where == "sacl" && mode != "revoke" && mode != "aud_succ" && mode != "aud_fail")
      warnings.push_back("The entry for " + who + " in the SACL has the mode " + Quoted(mode) +
                         ": SetACL.exe refuses it there (only revoke, aud_succ and aud_fail).");
    std::string name = Lower(f["n"]);
    if (mode == "deny" && (name == "everyone" || name == "s-1-1-0"))
      warnings.push_back("Deny for Everyone applies to every account, administrators and "
                         "SYSTEM included.");
  }

  void trustee(const std::string& value) {
    std::map<std::string, std::string> f;
    if (!Fields(value, {"n1", "s1", "n2", "s2", "ta", "w"}, f) || !f.contains("n1") || !f.contains("ta"))
      return notUnderstood("the trustee action " + Quoted(value));
    std::string inList = "the DACL";
    if (f.contains("w") && !Lists(f["w"], inList)) inList = Quoted(f["w"]) + " (not understood)";
    std::string ta = Lower(f["ta"]), first = Account(f, "n1", "s1");
    std::string second = f.contains("n2") ? Account(f, "n2", "s2") : "(no second trustee)";
    const Choice<TrusteeAction>* action = ByToken(kTrusteeActions, ta);
    std::string line = action ? FillIn(FillIn(action->words, "first", first), "second", second)
                              : Quoted(ta) + " (not understood) " + first;
    lines.push_back("Trustee: " + line + ", in " + inList);
  }

  void account(const char* what, const std::string& value) {
    std::map<std::string, std::string> f;
    if (!Fields(value, {"n", "s"}, f) || !f.contains("n"))
      return notUnderstood(Lower(what) + " " + Quoted(value));
    lines.push_back(std::string(what) + ": becomes " + Account(f, "n", "s"));
  }

  void protection(const std::string& value) {
    std::map<std::string, std::string> f;
    if (!Fields(value, {"dacl", "sacl"}, f)) return notUnderstood("inheritance " + Quoted(value));
    lines.push_back("Inheritance: the DACL " + Word(kProtections, f["dacl"]) + "; the SACL " +
                    Word(kProtections, f["sacl"]));
  }

  void clear(const std::string& value) {
    std::string lists;
    if (!Lists(value, lists)) return notUnderstood("clear " + Quoted(value));
    lines.push_back("Clear: every explicit entry of " + lists + " goes");
    warnings.push_back("Clear D/S ACL removes every explicit entry of " + lists +
                       "; only inherited entries stay.");
  }

  void resetChildren(const std::string& value) {
    std::string lists;
    if (!Lists(value, lists)) return notUnderstood("reset children " + Quoted(value));
    lines.push_back("Reset children: " + lists + " of everything below the object is replaced "
                    "by what it inherits");
    warnings.push_back("Reset Children replaces the permissions of everything below the object.");
  }
};

}  // namespace

std::string ExplainCall(std::string_view callString) {
  std::vector<std::string> args = SplitArguments(callString);
  Explainer e;
  bool silent = false, ignoreErrors = false;
  for (std::size_t i = 1; i < args.size(); ++i) {
    std::string name = Lower(args[i]);
    if (name == "-silent") {
      silent = true;
    } else if (name == "-ignoreerr") {
      ignoreErrors = true;
    } else if (std::find(kTakesValue.begin(), kTakesValue.end(), name) == kTakesValue.end()) {
      e.notUnderstood(Quoted(args[i]));
    } else if (i + 1 == args.size()) {
      e.notUnderstood(args[i] + " without a value");
    } else {
      const std::string& value = args[++i];
      if (value.starts_with('-'))
        e.warnings.push_back("The value " + Quoted(value) + " of " + args[i - 1] +
                             " begins with \"-\": SetACL.exe refuses it, taking it for an option.");
      e.option(name, value);
    }
  }

  std::string reach = "the object only";
  if (!e.reach.empty() && e.type == "file") reach = Word(kFileRecursion, e.reach);
  if (!e.reach.empty() && e.type == "reg") reach = Word(kRegistryRecursion, e.reach);
  std::string out = "Object: " + Word(kObjectTypes, e.type) + " " + Quoted(e.object) + "; reach: " + reach;
  for (const auto& line : e.lines) out += "\r\n" + line;
  if (ignoreErrors) out += "\r\nContinue on errors: an object it cannot change is skipped, the run goes on";
  if (silent) out += "\r\nSilent: SetACL.exe prints nothing";

  std::vector<std::string> warnings;
  if (!e.objectGiven || e.object.empty())
    warnings.push_back("No object name: SetACL.exe will not run.");
  else if (e.object.find_first_not_of(' ') == std::string::npos)
    warnings.push_back("The object name is only blanks: no object has that name.");
  warnings.insert(warnings.end(), e.warnings.begin(), e.warnings.end());
  if (silent) warnings.push_back("Silent: SetACL.exe will not report its errors either.");
  for (const auto& warning : warnings) out += "\r\nWarning: " + warning;
  return out;
}
