#include "setacl/call_string.h"

#include "setacl/command_line.h"
#include "setacl/program.h"

namespace {

// The flags' tokens in the table's order: "so,sc".
std::string InheritanceTokens(std::uint8_t flags) {
  std::string tokens;
  for (const auto& row : kInheritanceFlags)
    if (flags & row.value) (tokens += tokens.empty() ? "" : ",") += row.token;
  return tokens;
}

void AddAceTo(std::string& out, const AceEntry& ace, AclLists where) {
  std::string entry = "n:" + ace.trustee.name + ";p:";
  for (std::size_t i = 0; i < ace.permissions.size(); ++i) {
    if (i) entry += ',';
    entry += ace.permissions[i];
  }
  entry += ';';
  if (ace.trustee.sid) entry += "s:y;";
  if (std::string flags = InheritanceTokens(ace.inheritance); !flags.empty()) {
    entry += "i:";
    entry += flags;
    entry += ';';
  }
  entry += "m:";
  entry += Of(kAceModes, ace.mode).token;
  entry += ";w:";
  entry += Of(kAclLists, where).token;
  out += "-ace ";
  out += QuotedArgument(entry);
  out += ' ';
}

// The tool takes one list an entry: an entry for both is one for each.
void AddAce(std::string& out, const AceEntry& ace) {
  if (ace.where != AclLists::Both) return AddAceTo(out, ace, ace.where);
  AddAceTo(out, ace, AclLists::Dacl);
  AddAceTo(out, ace, AclLists::Sacl);
}

void AddTrustee(std::string& out, const TrusteeEntry& trustee) {
  std::string entry = "n1:" + trustee.first.name + ';';
  if (trustee.first.sid) entry += "s1:y;";
  if (trustee.action != TrusteeAction::Remove) {
    entry += "n2:";
    entry += trustee.second.name;
    entry += ';';
    if (trustee.second.sid) entry += "s2:y;";
  }
  entry += "ta:";
  entry += Of(kTrusteeActions, trustee.action).token;
  entry += ";w:";
  entry += Of(kAclLists, trustee.where).token;
  out += " -trst ";
  out += QuotedArgument(entry);
}

void AddFilter(std::string& out, const std::string& phrase) {
  out += " -fltr ";
  out += QuotedArgument(phrase);
  out += ' ';
}

template <class Entry, class Add>
std::string Text(const EntryList<Entry>& list, Add add) {
  std::string out = list.handEdited;
  for (const Entry& entry : list.added) add(out, entry);
  return out;
}

// Files and registry keys take their own recursion choices; other objects none.
std::string_view RecursionToken(const Command& c) {
  auto token = [&c](const auto& table) -> std::string_view {
    for (const auto& row : table)
      if (row.value == c.recursion && row.value != Recursion::No) return row.token;
    return {};
  };
  if (c.type == ObjectType::File) return token(kFileRecursion);
  if (c.type == ObjectType::Registry) return token(kRegistryRecursion);
  return {};
}

}  // namespace

std::string LogFolder(std::string_view programFolder) {
  return std::string(programFolder) + "\\LogFiles";
}

std::string BackupFolder(std::string_view programFolder) {
  return std::string(programFolder) + "\\Backups";
}

std::string ListText(const EntryList<AceEntry>& aces) { return Text(aces, AddAce); }
std::string ListText(const EntryList<TrusteeEntry>& trustees) { return Text(trustees, AddTrustee); }
std::string ListText(const EntryList<std::string>& filters) { return Text(filters, AddFilter); }

std::string ObjectOptions(const Command& command) {
  std::string out = " -on ";
  out += QuotedArgument(command.object);
  out += " -ot ";
  out += Of(kObjectTypes, command.type).token;
  return out;
}

std::string CallString(const Command& command, std::string_view programFolder) {
  return "SetACL.exe" + CallArguments(command, programFolder);
}

std::string CallArguments(const Command& c, std::string_view programFolder) {
  std::string call = ObjectOptions(c);
  auto add = [&call](auto... parts) { (call.append(std::string_view(parts)), ...); };
  if (!c.aces.empty()) add(" -actn ace ", ListText(c.aces));
  if (!c.trustees.empty()) add(" -actn trustee", ListText(c.trustees));
  // The owner's name always ends in a semicolon, the group's only with a SID.
  if (!c.owner.name.empty())
    add(" -actn setowner -ownr ",
        QuotedArgument("n:" + c.owner.name + (c.owner.sid ? ";s:y" : ";")));
  if (std::string_view rec = RecursionToken(c); !rec.empty()) add(" -rec ", rec);
  add(ListText(c.filters));
  if (!c.group.name.empty())
    add(" -actn setgroup -grp ",
        QuotedArgument("n:" + c.group.name + (c.group.sid ? ";s:y" : "")));
  if (c.daclProtection != Protection::NoChange || c.saclProtection != Protection::NoChange)
    add(" -actn setprot -op \"dacl:", Of(kProtections, c.daclProtection).token, ";sacl:",
        Of(kProtections, c.saclProtection).token, "\"");
  if (c.clear) add(" -actn clear -clr \"", Of(kAclLists, *c.clear).token, "\"");
  if (c.resetChildren) add(" -actn rstchldrn -rst \"", Of(kAclLists, *c.resetChildren).token, "\"");
  if (!c.logFile.empty())
    add(" -log ", QuotedArgument(LogFolder(programFolder) + "\\" + c.logFile));
  if (c.continueOnErrors) add(" -ignoreerr");
  if (c.silent) add(" -silent ");
  return call;
}

namespace {

// Everything a descriptor holds, in SDDL; the SACL only when asked.
Listing WholeSecurity(bool withSacl) {
  return {.format = ListFormat::Sddl, .dacl = true, .sacl = withSacl, .owner = true, .group = true};
}

}  // namespace

std::string CurrentPermissionsOptions(const Command& command) {
  return ObjectOptions(command) + " -actn list" + ListOption(WholeSecurity(true));
}

std::string ListOption(const Listing& listing) {
  std::string option = " -lst \"f:";
  option += Of(kListFormats, listing.format).token;
  option += ";w:";
  // The parts always in the order d, s, o, g.
  std::string parts;
  for (auto [wanted, letter] : {std::pair{listing.dacl, 'd'}, {listing.sacl, 's'},
                                {listing.owner, 'o'}, {listing.group, 'g'}})
    if (wanted) parts += parts.empty() ? std::string(1, letter) : std::string{',', letter};
  option += parts;
  if (listing.inherited) option += ";i:y";
  if (listing.sids) option += ";s:y";
  option += '"';
  return option;
}

namespace {

std::string ProgramOnObject(std::string_view programFolder, const Command& command) {
  return SetAclProgram(std::string(programFolder) + "\\") + ObjectOptions(command);
}

// ` -bckp "<folder><name>"`, quoted as one value: a name that begins with a
// quote makes the folder's last backslash one to double.
std::string FileOption(std::string_view folder, std::string_view name) {
  return " -bckp " + QuotedArgument(std::string(folder) + std::string(name));
}

std::string BackupFileOption(std::string_view programFolder, std::string_view name) {
  return FileOption(BackupFolder(programFolder) + '\\', name);
}

}  // namespace

std::string BackupCommand(std::string_view programFolder, const Command& command,
                          const Listing& listing, std::string_view fileName) {
  return ProgramOnObject(programFolder, command) + " -actn list" + ListOption(listing) +
         BackupFileOption(programFolder, fileName);
}

std::string RestoreCommand(std::string_view programFolder, const Command& command,
                           std::string_view fileName) {
  return ProgramOnObject(programFolder, command) + " -actn restore" +
         BackupFileOption(programFolder, fileName);
}

bool ChangesSomething(const Command& c) {
  return !c.aces.empty() || !c.trustees.empty() || !c.owner.name.empty() || !c.group.name.empty() ||
         c.daclProtection != Protection::NoChange || c.saclProtection != Protection::NoChange ||
         c.clear || c.resetChildren;
}

std::string ListingToFile(std::string_view scope, std::string_view file, bool withSacl) {
  return std::string(scope) + " -actn list" + ListOption(WholeSecurity(withSacl)) + FileOption({}, file);
}

std::string TreeListingToFile(std::string_view scope, std::string_view file) {
  const Listing dacls{.format = ListFormat::Sddl, .dacl = true, .owner = true};
  return std::string(scope) + " -actn list" + ListOption(dacls) + FileOption({}, file);
}

std::string RestoreFromFile(std::string_view scope, std::string_view file) {
  return std::string(scope) + " -actn restore" + FileOption({}, file);
}
