#pragma once
// The choices the windows offer for SetACL.exe's options, one table each:
// the caption a window lists, the token the tool reads, and what it means in
// plain words. The windows list the captions, the composer writes the
// tokens, the explanation and the stand-in read them back.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "setacl/arguments.h"

template <class Value>
struct Choice {
  Value value;
  std::string_view caption;
  std::string_view token;
  std::string_view words;
};

enum class ObjectType { File, Registry, Service, Printer, Share };
inline constexpr Choice<ObjectType> kObjectTypes[] = {
    {ObjectType::File, "Dir/File", "file", "the file or folder"},
    {ObjectType::Registry, "Reg Key", "reg", "the registry key"},
    {ObjectType::Service, "Service", "srv", "the service"},
    {ObjectType::Printer, "Printer", "prn", "the printer"},
    {ObjectType::Share, "Network Share", "shr", "the network share"},
};

// How far below the object a command reaches: files and folders, and
// registry keys, each with choices of their own; other objects have nothing
// below them.
enum class Recursion { No, Containers, Objects, ContainersAndObjects, Subkeys };
inline constexpr Choice<Recursion> kFileRecursion[] = {
    {Recursion::No, "No", "no", "the object only"},
    {Recursion::Containers, "Dirs Only", "cont",
     "the object and every folder below it, not the files"},
    {Recursion::Objects, "Files Only", "obj", "the object and every file below it, not the folders"},
    {Recursion::ContainersAndObjects, "Dirs and Files", "cont_obj",
     "the object and every folder and file below it"},
};
inline constexpr Choice<Recursion> kRegistryRecursion[] = {
    {Recursion::No, "No", "no", "the object only"},
    {Recursion::Subkeys, "Yes", "yes", "the key and every subkey below it"},
};

// The DACL, the SACL or both.
enum class AclLists { Dacl, Sacl, Both };
inline constexpr Choice<AclLists> kAclLists[] = {
    {AclLists::Dacl, "Dacl", "dacl", "the DACL"},
    {AclLists::Sacl, "Sacl", "sacl", "the SACL"},
    {AclLists::Both, "Both", "dacl,sacl", "the DACL and the SACL"},
};
// What the main window clears or resets: nothing, or the lists, the first
// two written in capitals there; kAclLists gives their tokens and words.
inline constexpr Choice<std::optional<AclLists>> kListsOrNone[] = {
    {std::nullopt, "None", "", ""},
    {AclLists::Dacl, "DACL", "", ""},
    {AclLists::Sacl, "SACL", "", ""},
    {AclLists::Both, "Both", "", ""},
};

// What an ACE does with its trustee's entries; {who} and {what} stand for the
// trustee and the permissions in words.
enum class AceMode { Set, Grant, Revoke, Deny, AuditSuccess, AuditFailure };
inline constexpr Choice<AceMode> kAceModes[] = {
    {AceMode::Set, "Set", "set", "set {who} to {what} (their other entries there go)"},
    {AceMode::Grant, "Grant", "grant", "grant {who} {what} (added to what they have)"},
    {AceMode::Revoke, "Revoke", "revoke", "revoke every entry of {who}"},
    {AceMode::Deny, "Deny", "deny", "deny {who} {what}"},
    {AceMode::AuditSuccess, "Audit success", "aud_succ", "audit {who} succeeding at {what}"},
    {AceMode::AuditFailure, "Audit failure", "aud_fail", "audit {who} failing at {what}"},
};
// The tool takes the allow and deny modes in a DACL, the audit modes in a
// SACL, and revoke in either.
constexpr bool ListTakesMode(AclLists list, AceMode mode) {
  if (mode == AceMode::Revoke) return true;
  bool audit = mode == AceMode::AuditSuccess || mode == AceMode::AuditFailure;
  return list == AclLists::Sacl ? audit : list == AclLists::Dacl && !audit;
}
// The modes an ACE editor offers for the lists, in the order it lists them;
// both lists at once take only revoke, an entry for each.
std::vector<AceMode> ModesFor(AclLists lists);

// The inheritance flags of an ACE, one check box each; an entry holds them as bits.
inline constexpr std::uint8_t kSubObjects = 1, kSubContainers = 2, kNoPropagation = 4,
                              kInheritOnly = 8;
inline constexpr Choice<std::uint8_t> kInheritanceFlags[] = {
    {kSubObjects, "Sub-Objects", "so", "files (sub-objects)"},
    {kSubContainers, "Sub-Containers", "sc", "folders (sub-containers)"},
    {kNoPropagation, "No Propagation", "np", "the next level only"},
    {kInheritOnly, "Inherit Only", "io", "inherit only, not the object itself"},
};

enum class Protection { NoChange, InheritsParent, ProtectedCopy, ProtectedNoCopy };
inline constexpr Choice<Protection> kProtections[] = {
    {Protection::NoChange, "No Change", "nc", "unchanged"},
    {Protection::InheritsParent, "Inherits Parent", "np", "inheriting from its parent"},
    {Protection::ProtectedCopy, "Prot/Copy Parent", "p_c",
     "protected, the parent's entries copied into it"},
    {Protection::ProtectedNoCopy, "Prot/No Copy Parent", "p_nc",
     "protected, the parent's entries removed"},
};

// {first} and {second} stand for the two trustees.
enum class TrusteeAction { Remove, Replace, Copy };
inline constexpr Choice<TrusteeAction> kTrusteeActions[] = {
    {TrusteeAction::Remove, "Remove ACEs", "remtrst", "remove every entry of {first}"},
    {TrusteeAction::Replace, "Replace 1 with 2", "repltrst",
     "replace {first} by {second} in every entry"},
    {TrusteeAction::Copy, "Copy Perms", "cpytrst", "copy the entries of {first} to {second}"},
};

enum class ListFormat { Sddl, Csv, Tabular };
inline constexpr Choice<ListFormat> kListFormats[] = {
    {ListFormat::Sddl, "SDDL", "sddl", "SDDL, which a restore reads"},
    {ListFormat::Csv, "CSV", "csv", "comma-separated values"},
    {ListFormat::Tabular, "Tabular", "tab", "a table"},
};

// The row of a value.
template <class V, std::size_t N>
constexpr const Choice<V>& Of(const Choice<V> (&table)[N], V value) {
  for (const Choice<V>& row : table)
    if (row.value == value) return row;
  return table[N - 1];
}

// The row whose token is this word in any case; null when there is none.
template <class V, std::size_t N>
const Choice<V>* ByToken(const Choice<V> (&table)[N], std::string_view word) {
  std::string lower = Lower(word);
  for (const Choice<V>& row : table)
    if (row.token == lower) return &row;
  return nullptr;
}

// The captions in table order, as a window lists them.
template <class V, std::size_t N>
std::vector<std::string> Captions(const Choice<V> (&table)[N]) {
  std::vector<std::string> captions;
  for (const Choice<V>& row : table) captions.emplace_back(row.caption);
  return captions;
}

// The place of a value's row, for selecting it in a list of the table's captions.
template <class V, std::size_t N>
constexpr int IndexOf(const Choice<V> (&table)[N], V value) {
  for (std::size_t i = 0; i < N; ++i)
    if (table[i].value == value) return static_cast<int>(i);
  return -1;
}

// The value a list's selected item stands for: the row at that index, or
// `none` while nothing is selected.
template <class V, std::size_t N>
V Picked(const Choice<V> (&table)[N], int index, V none) {
  return index >= 0 && static_cast<std::size_t>(index) < N ? table[index].value : none;
}

// A text with {name} replaced by value.
std::string FillIn(std::string_view text, std::string_view name, std::string_view value);
