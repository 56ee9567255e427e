#pragma once
// What SetACL.exe's options are made of, for every reader of its command
// lines (the explanation, the stand-in): its actions, the permission tokens
// of each object type with what each means, and its "k:v;k:v" fields and
// dacl/sacl lists.

#include <initializer_list>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <string_view>

using Words = std::map<std::string, std::string, std::less<>>;

const std::set<std::string, std::less<>>& SetAclActions();
// A type's permission tokens in plain words; null for an unknown type.
const Words* PermissionWords(std::string_view type);

// A comma list of dacl and sacl, in any order and case; false when it holds
// anything else.
bool ReadLists(std::string_view value, bool& dacl, bool& sacl);

// "k:v;k:v" with these keys (in any case; empty fields, as a trailing ";",
// are harmless) into `out`, keys lower-cased. What is wrong, when something
// is: the field that has no known key, or "k: given twice in ...".
std::optional<std::string> ReadFields(std::string_view text,
                                      std::initializer_list<std::string_view> keys,
                                      std::map<std::string, std::string>& out);
