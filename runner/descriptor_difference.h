#pragma once
// What differs between two security descriptors of one object, a line in
// words each: owner, group, each list's state and flags, entries removed
// and added (whole: every byte counts), a label's level and policy, and an
// order that decides access otherwise.

#include <string>
#include <vector>

#include "platform/security.h"
#include "setacl/permission_table.h"

// `container`: its entries may reach below it. `withSacl`: the SACL is
// compared too.
std::vector<std::string> DescriptorDifference(const platform::SecurityDescriptor& before,
                                              const platform::SecurityDescriptor& after, ObjectType type,
                                              bool container, bool withSacl, AccountWords& accounts,
                                              platform::Security& security);
// A folder's entries may reach below it; a listing does not say which
// objects are folders, but entries that are passed on say so.
bool IsContainer(ObjectType type, const platform::SecurityDescriptor& a, const platform::SecurityDescriptor& b);
