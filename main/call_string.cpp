#include "main/call_string.h"

#include "run/command_line.h"
#include "run/setacl_program.h"

namespace {

std::string_view InheritanceToken(Inheritance inheritance) {
  switch (inheritance) {
    case Inheritance::SubObjects: return "so";
    case Inheritance::SubContainers: return "sc";
    case Inheritance::SubObjectsAndContainers: return "so,sc";
    case Inheritance::NoPropagation: return "np";
    case Inheritance::InheritOnly: return "io";
    case Inheritance::None: break;
  }
  return {};
}

void AddAceTo(std::string& out, const AceEntry& ace, AclLists where) {
  out += "-ace \"n:";
  out += ace.trustee.name;
  out += ";p:";
  for (std::size_t i = 0; i < ace.permissions.size(); ++i) {
    if (i) out += ',';
    out += ace.permissions[i];
  }
  out += ';';
  if (ace.trustee.sid) out += "s:y;";
  if (std::string_view flags = InheritanceToken(ace.inheritance); !flags.empty()) {
    out += "i:";
    out += flags;
    out += ';';
  }
  out += "m:";
  out += Of(kAceModes, ace.mode).token;
  out += ";w:";
  out += Of(kAclLists, where).token;
  out += "\" ";
}

// The tool takes one list an entry: an entry for both is one for each.
void AddAce(std::string& out, const AceEntry& ace) {
  if (ace.where != AclLists::Both) return AddAceTo(out, ace, ace.where);
  AddAceTo(out, ace, AclLists::Dacl);
  AddAceTo(out, ace, AclLists::Sacl);
}

void AddTrustee(std::string& out, const TrusteeEntry& trustee) {
  out += " -trst \"n1:";
  out += trustee.first.name;
  out += ';';
  if (trustee.first.sid) out += "s1:y;";
  if (trustee.action != TrusteeAction::Remove) {
    out += "n2:";
    out += trustee.second.name;
    out += ';';
    if (trustee.second.sid) out += "s2:y;";
  }
  out += "ta:";
  out += Of(kTrusteeActions, trustee.action).token;
  out += ";w:";
  out += Of(kAclLists, trustee.where).token;
  out += '"';
}

void AddFilter(std::string& out, const std::string& phrase) {
  out += " -fltr \"";
  out += BeforeClosingQuote(phrase);
  out += "\" ";
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
  std::string out = " -on \"";
  out += BeforeClosingQuote(command.object);
  out += "\" -ot ";
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
    add(" -actn setowner -ownr \"n:", c.owner.name, c.owner.sid ? ";s:y\"" : ";\"");
  if (std::string_view rec = RecursionToken(c); !rec.empty()) add(" -rec ", rec);
  add(ListText(c.filters));
  if (!c.group.name.empty()) {
    if (c.group.sid) add(" -actn setgroup -grp \"n:", c.group.name, ";s:y\"");
    else add(" -actn setgroup -grp \"n:", BeforeClosingQuote(c.group.name), "\"");
  }
  if (c.daclProtection != Protection::NoChange || c.saclProtection != Protection::NoChange)
    add(" -actn setprot -op \"dacl:", Of(kProtections, c.daclProtection).token, ";sacl:",
        Of(kProtections, c.saclProtection).token, "\"");
  if (c.clear) add(" -actn clear -clr \"", Of(kAclLists, *c.clear).token, "\"");
  if (c.resetChildren) add(" -actn rstchldrn -rst \"", Of(kAclLists, *c.resetChildren).token, "\"");
  if (!c.logFile.empty())
    add(" -log \"", LogFolder(programFolder), "\\", BeforeClosingQuote(c.logFile), "\"");
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

// ` -bckp "<folder><name>"`, the name's trailing backslashes kept.
std::string FileOption(std::string_view folder, std::string_view name) {
  std::string option = " -bckp \"";
  option += folder;
  option += BeforeClosingQuote(name);
  option += '"';
  return option;
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

std::string SnapshotScope(const Command& c) {
  Command scope;
  scope.object = c.object;
  scope.type = c.type;
  scope.recursion = c.recursion;
  // A reset of children reaches everything below the object.
  if (c.resetChildren)
    scope.recursion = c.type == ObjectType::Registry ? Recursion::Subkeys : Recursion::ContainersAndObjects;
  std::string out = ObjectOptions(scope);
  if (std::string_view rec = RecursionToken(scope); !rec.empty()) (out += " -rec ") += rec;
  out += ListText(c.filters);
  out += " -ignoreerr";
  return out;
}

std::string ListingToFile(std::string_view scope, std::string_view file, bool withSacl) {
  return std::string(scope) + " -actn list" + ListOption(WholeSecurity(withSacl)) + FileOption({}, file);
}

std::string RestoreFromFile(std::string_view scope, std::string_view file) {
  return std::string(scope) + " -actn restore" + FileOption({}, file);
}
