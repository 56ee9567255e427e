#pragma once
// The SetACL.exe call as the windows build it up: the object, the main
// window's options and the entries the editors hand back. call_string.h
// composes it into command lines.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "setacl/choices.h"

// A trustee, owner or group: a name, or a SID when `sid` says so. An empty
// name gives no owner or group.
struct Account {
  std::string name;
  bool sid = false;
  bool operator==(const Account&) const = default;
};

struct AceEntry {
  Account trustee;
  std::vector<std::string> permissions;  // tokens, in the order their boxes stand
  std::uint8_t inheritance = 0;          // kInheritanceFlags
  AceMode mode = AceMode::Set;
  AclLists where = AclLists::Dacl;  // both: an entry for each list
  bool operator==(const AceEntry&) const = default;
};

struct TrusteeEntry {
  TrusteeAction action = TrusteeAction::Remove;
  Account first;
  Account second;  // for replace and copy only
  AclLists where = AclLists::Dacl;
  bool operator==(const TrusteeEntry&) const = default;
};

// The entries the editors added, behind what the user last wrote into the
// list editor by hand. The count is the number the main window shows: each
// entry added raises it, and the list editor lets the user set it.
template <class Entry>
struct EntryList {
  std::string handEdited;
  std::vector<Entry> added;
  int count = 0;

  bool empty() const { return handEdited.empty() && added.empty(); }
  void add(Entry entry) {
    added.push_back(std::move(entry));
    ++count;
  }
  // The user's text in the list editor becomes the whole list; the count stays.
  void replace(std::string text) {
    handEdited = std::move(text);
    added.clear();
  }
  bool operator==(const EntryList&) const = default;
};

struct Command {
  std::string object;
  ObjectType type = ObjectType::File;
  Recursion recursion = Recursion::No;  // counts for files and registry keys only
  EntryList<AceEntry> aces;
  EntryList<TrusteeEntry> trustees;
  Account owner;
  Account group;
  Protection daclProtection = Protection::NoChange;
  Protection saclProtection = Protection::NoChange;
  std::optional<AclLists> clear;
  std::optional<AclLists> resetChildren;
  EntryList<std::string> filters;  // phrases as typed
  std::string logFile;             // a name in the program's LogFiles folder
  bool continueOnErrors = false;
  bool silent = false;
  bool operator==(const Command&) const = default;
};

// What a listing covers and how it is written.
struct Listing {
  ListFormat format = ListFormat::Sddl;
  bool dacl = false, sacl = false, owner = false, group = false;
  bool inherited = false;  // inherited entries too
  bool sids = false;       // accounts as SIDs
  bool operator==(const Listing&) const = default;
};
