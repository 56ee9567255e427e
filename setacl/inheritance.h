#pragma once
// What an object takes from its parent, by the system's rules of ACE
// inheritance: an entry with CI reaches a child folder or key as an
// effective entry, passed on again unless NP; one with OI reaches a child
// file as an effective entry and a child folder as an inherit-only one
// (none with NP). Every copy carries ID. An effective copy has its generic
// rights in the type's own and CREATOR OWNER (CREATOR GROUP) as the object's
// owner (group); an inherit-only one keeps them, so a folder or key that
// takes an effective and inheritable entry that these change holds two
// copies of it.

#include <cstdint>
#include <string>
#include <vector>

#include "platform/security.h"
#include "setacl/choices.h"

inline constexpr const char* kCreatorOwner = "S-1-3-0";
inline constexpr const char* kCreatorGroup = "S-1-3-1";

// CREATOR OWNER or CREATOR GROUP: mapped to the object's own account.
bool IsCreator(const std::string& sid);

// A mask with its generic rights as the rights they stand for on the type.
std::uint32_t MapGenericRights(std::uint32_t mask, ObjectType type);

struct GivenEntry {
  platform::Ace ace;
  // A creator's entry mapped alike another entry given: the system may keep
  // the two as one.
  bool mayMerge = false;
  // Mapped to the object's owner or group, which is not known: it may name
  // any account.
  bool anyAccount = false;
};

// The entries a parent's DACL gives a child. `container`: the child is a
// folder or key. `owner`, `group`: the child's SIDs, empty when not known.
std::vector<GivenEntry> GivenEntries(const platform::SecurityDescriptor& parent, bool container,
                                     ObjectType type, const std::string& owner,
                                     const std::string& group = {});

// The entry with other flags, in its bytes too.
platform::Ace WithFlags(const platform::Ace& ace, std::uint8_t flags);

// Two entries alike: allow and deny entries by kind, flags, rights, account
// and what they hold beside; the other kinds by kind, flags and the rest of
// their bytes.
bool SameEntry(const platform::Ace& a, const platform::Ace& b);

// The inherited entries an object holds against those its parent gives, as
// multisets.
struct InheritedDifference {
  std::vector<platform::Ace> missing;   // given, not held
  std::vector<platform::Ace> notGiven;  // held, not given
  bool none() const { return missing.empty() && notGiven.empty(); }
};
InheritedDifference CompareInherited(const std::vector<GivenEntry>& given,
                                     const std::vector<platform::Ace>& held);

// Canonical order: explicit entries before inherited ones, and among the
// explicit ones denials first.
bool InCanonicalOrder(const platform::Acl& acl);
