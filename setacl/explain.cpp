#include "setacl/explain.h"

#include "setacl/arguments.h"
#include "setacl/call_reader.h"
#include "setacl/vocabulary.h"

namespace {

std::string Quoted(std::string_view text) {
  std::string out(1, '"');
  out.append(text).push_back('"');
  return out;
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

std::string Who(const Account& account) {
  return Quoted(account.name) + (account.sid ? " (a SID)" : "");
}

class Explainer {
 public:
  explicit Explainer(const CallReading& reading)
      : r_(reading), type_(Of(kObjectTypes, reading.command.type).token) {}

  std::vector<std::string> lines, warnings;

  void option(const ReadOption& o) {
    const std::string& v = o.value;
    if (const auto* ace = std::get_if<AceEntry>(&o.read)) return entry(*ace);
    if (const auto* trustee = std::get_if<TrusteeEntry>(&o.read)) return action(*trustee);
    if (const auto* account = std::get_if<Account>(&o.read))
      return lines.push_back((o.name == "-ownr" ? "Owner: becomes " : "Primary group: becomes ") + Who(*account));
    if (const auto* p = std::get_if<Protections>(&o.read))
      return lines.push_back("Inheritance: the DACL " + std::string(Of(kProtections, p->first).words) +
                             "; the SACL " + std::string(Of(kProtections, p->second).words));
    if (const auto* lists = std::get_if<AclLists>(&o.read)) {
      const std::string words(Of(kAclLists, *lists).words);
      if (o.name == "-clr") {
        lines.push_back("Clear: every explicit entry of " + words + " goes");
        warnings.push_back("Clear D/S ACL removes every explicit entry of " + words +
                           "; only inherited entries stay.");
      } else {
        lines.push_back("Reset children: " + words +
                        " of everything below the object is replaced by what it inherits");
        warnings.push_back("Reset Children replaces the permissions of everything below the object.");
      }
      return;
    }
    if (o.name == "-actn" && Lower(v) == "list") lines.push_back("List: the object's permissions");
    if (o.name == "-actn" && Lower(v) == "restore")
      lines.push_back("Restore: the permissions saved in the backup file");
    if (o.name == "-fltr") lines.push_back("Filter: skip every object whose path holds " + Quoted(v));
    if (o.name == "-log") lines.push_back("Log: what it does is added to " + Quoted(v));
    if (o.name == "-lst") lines.push_back("List format: " + Quoted(v));
    if (o.name == "-bckp") lines.push_back("Backup file: " + Quoted(v));
  }

 private:
  void entry(const AceEntry& ace) {
    const std::string who = Who(ace.trustee);
    std::vector<std::string> perms;
    const Words* table = PermissionWords(type_);
    for (const std::string& p : ace.permissions) {
      auto word = table ? table->find(p) : Words::const_iterator{};
      perms.push_back(table && word != table->end() ? word->second : Quoted(p) + " (not understood)");
    }
    std::string line = "ACE: " + FillIn(FillIn(Of(kAceModes, ace.mode).words, "who", who), "what", Listed(perms)) +
                       ", in " + std::string(Of(kAclLists, ace.where).words);
    std::vector<std::string> flags;
    for (const auto& row : kInheritanceFlags)
      if (ace.inheritance & row.value) flags.emplace_back(row.words);
    if (!flags.empty()) line += "; inherited by " + Listed(flags);
    lines.push_back(line);
    const std::string name = Lower(ace.trustee.name);
    if (ace.mode == AceMode::Deny && (name == "everyone" || name == "s-1-1-0"))
      warnings.push_back("Deny for Everyone applies to every account, administrators and SYSTEM included.");
  }

  void action(const TrusteeEntry& trustee) {
    std::string second = trustee.action == TrusteeAction::Remove ? "(no second trustee)" : Who(trustee.second);
    lines.push_back("Trustee: " +
                    FillIn(FillIn(Of(kTrusteeActions, trustee.action).words, "first", Who(trustee.first)),
                           "second", second) +
                    ", in " + std::string(Of(kAclLists, trustee.where).words));
  }

  const CallReading& r_;
  const std::string type_;
};

}  // namespace

std::string ExplainCall(std::string_view callString) {
  const CallReading r = ReadCall(callString);
  Explainer e(r);
  std::string typeToken = "file", rec, object;
  bool objectGiven = false;
  for (std::size_t i = 0; i < r.options.size(); ++i) {
    const ReadOption& o = r.options[i];
    if (o.name == "-on") objectGiven = true, object = o.value;
    if (o.name == "-ot") typeToken = Lower(o.value);
    if (o.name == "-rec") rec = Lower(o.value);
    e.option(o);
    for (const CallProblem& problem : r.problems) {
      if (problem.option != i) continue;
      if (!problem.unread.empty()) e.lines.push_back("Not understood: " + problem.unread);
      if (!problem.why.empty()) e.warnings.push_back(problem.why);
    }
  }

  std::string reach = "the object only";
  if (!rec.empty() && typeToken == "file") reach = Word(kFileRecursion, rec);
  if (!rec.empty() && typeToken == "reg") reach = Word(kRegistryRecursion, rec);
  std::string out = "Object: " + Word(kObjectTypes, typeToken) + " " + Quoted(object) + "; reach: " + reach;
  for (const auto& line : e.lines) out += "\r\n" + line;
  if (r.command.continueOnErrors)
    out += "\r\nContinue on errors: an object it cannot change is skipped, the run goes on";
  if (r.command.silent) out += "\r\nSilent: SetACL.exe prints nothing";

  std::vector<std::string> warnings;
  if (!objectGiven || object.empty())
    warnings.push_back("No object name: SetACL.exe will not run.");
  else if (object.find_first_not_of(' ') == std::string::npos)
    warnings.push_back("The object name is only blanks: no object has that name.");
  warnings.insert(warnings.end(), e.warnings.begin(), e.warnings.end());
  if (r.command.silent) warnings.push_back("Silent: SetACL.exe will not report its errors either.");
  for (const auto& warning : warnings) out += "\r\nWarning: " + warning;
  return out;
}
