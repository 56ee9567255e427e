#pragma once
// Where a tree departs from what each parent gives: the tool's listing of an
// object and everything below it (DACL and owner, parents before their
// children), read as a stream, each object judged against its parent by the
// rules of inheritance. The first object is the baseline and is not judged.
// It holds the ancestors of the object being read, the departures, the
// distinct descriptors and what they give, and for an order that is not
// depth-first a hash of each folder's or key's path (16 bytes each); never
// the listing.

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "platform/security.h"

enum class Departs {
  Blocked,
  OwnEntries,
  Misses,
  Stale,
  OutOfOrder,
  NoDacl,
  EmptyDacl,
  BeforeAutoInheritance,
  Unreadable,
  ParentNotListed,
  ParentUnreadable  // what it inherits cannot be judged
};
std::string DepartsWords(Departs reason);

struct Departure {
  std::string path;              // as listed; a damaged line's opening
  int type = 0;                  // the listed type number; 0 for a damaged line
  std::vector<Departs> reasons;  // in the order of the enum
  // Its DACL in the words of the permissions table, a line an entry, then
  // "Missing: ..." and "Not given by its parent: ..." lines.
  std::vector<std::string> entries;
  bool ownEntries = false;  // explicit entries in its DACL
};

// Its reasons in words: "Inheritance blocked, Entries of its own".
std::string ReasonsWords(const Departure& departure);

struct TreeReport {
  std::string rootPath;  // the baseline, as listed; empty when nothing was listed
  int rootType = 0;
  bool rootUnreadable = false;  // the baseline's security could not be read
  std::uint64_t objects = 0;    // judged: every object listed but the root
  std::uint64_t departing = 0;  // of them, those with a reason (unreadable ones included)
  std::uint64_t unreadable = 0;
  std::vector<Departure> departures;  // in listing order
  // SIDs no account has, with how many objects name each in their DACL, most first.
  std::vector<std::pair<std::string, std::uint64_t>> unknownAccounts;
};

class TreeAnalysis {
 public:
  explicit TreeAnalysis(platform::Security& security);
  ~TreeAnalysis();
  // UTF-8 text of the listing, in pieces split anywhere (as ListingDecoder
  // gives it).
  void feed(std::string_view text);
  // After the last piece. `listingEnded`: the tool finished its listing;
  // when it did not, a last line without its end that does not read as an
  // object is a line it was still writing, not a damaged object.
  TreeReport finish(bool listingEnded = true);
  // Lines read as objects, damaged ones too, for progress.
  std::uint64_t objectsSoFar() const;

 private:
  class State;
  std::unique_ptr<State> state_;
};

// The objects (paths as listed) whose DACL names the account, explicitly or
// inherited: a SID, or a name as the system gives it for one.
std::vector<std::string> WhereAccountAppears(std::string_view listingText,
                                             const std::string& account,
                                             platform::Security& security);
