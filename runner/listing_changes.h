#pragma once
// What a run changed: two SDDL listings of the same objects, taken before and
// after it, compared object by object. Objects are matched by path; their
// security is compared as the system reads it, so two spellings of one
// descriptor, or its entries in another order, are no change.

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "platform/security.h"

struct ObjectChange {
  std::string path;
  std::vector<std::string> lines;  // owner, group, inheritance, entries removed and added
};

struct ListingChanges {
  std::size_t objects = 0;     // listed before, after, or both
  std::size_t changed = 0;     // listed both times, and not the same
  std::size_t unreadable = 0;  // listed only once, or not read by the system
  std::vector<ObjectChange> changes;  // in the order of the listing before, then those only after
};

ListingChanges CompareListings(std::string_view before, std::string_view after,
                               platform::Security& security);
// "312 of 88,000 objects changed; 2 could not be read"
std::string ChangesSummary(const ListingChanges& changes);
// Each object changed, with its changes below it.
std::string ChangesText(const ListingChanges& changes);
