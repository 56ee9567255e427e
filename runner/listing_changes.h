#pragma once
// What a run changed: two SDDL listings of the same objects, taken before and
// after it, compared object by object. Objects are matched by path and type,
// one listed more than once as a multiset; their security is compared as the
// system reads it, entry by entry whole, so two spellings of one descriptor,
// or its entries in an order that decides nothing otherwise, are no change.

#include <cstddef>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/security.h"

struct ObjectChange {
  std::string path;
  std::vector<std::string> lines;  // owner, group, inheritance, entries removed and added, order
};

struct ListingChanges {
  std::size_t objects = 0;          // listed before, after, or both
  std::size_t changed = 0;          // listed both times, and not the same, or not read by the system
  std::size_t unreadable = 0;       // listed only once, and the damaged lines
  std::size_t listedBefore = 0;     // objects the listing before held
  std::size_t listedAfter = 0;      // objects the listing after held
  std::size_t unreadableLines = 0;  // lines that begin as an object's but cannot be read
  // The damaged lines, then in the order of the listing before, then those
  // only after; the first kMostDetailed of them.
  std::vector<ObjectChange> changes;
  std::size_t undetailed = 0;  // changed or unread, past those
  // Objects and lines that are not as before, or not known to be.
  std::size_t differing() const { return changed + unreadable; }
};

inline constexpr std::size_t kMostDetailed = 100'000;

// The listings' texts in UTF-8, as ReadListingFile gives them; none when
// `stopped` (asked now and then) says so. Without `withSacl` the SACLs,
// audit entries and labels, are left out: one listing holds none.
std::optional<ListingChanges> CompareListings(std::string_view before, std::string_view after,
                                              platform::Security& security,
                                              const std::function<bool()>& stopped = {},
                                              bool withSacl = true);
// "312 of 88,000 objects changed; 2 could not be read"
std::string ChangesSummary(const ListingChanges& changes);
// Each object changed, with its changes below it.
std::string ChangesText(const ListingChanges& changes);
