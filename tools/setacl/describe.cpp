#include "tools/setacl/describe.h"

#include <algorithm>
#include <utility>

#include "setacl/arguments.h"

namespace standin {
namespace {

std::string Quoted(std::string_view text) { return "\"" + std::string(text) + "\""; }

std::string Named(const Account& account) {
  return Quoted(account.name) + (account.sid ? " (SID)" : "");
}

std::string Lists(AclLists lists) { return std::string(Of(kAclLists, lists).token); }

void Append(std::string& out, std::string_view word) {
  out += (out.empty() ? "" : ",") + std::string(word);
}

std::string Ace(const AceEntry& entry) {
  std::string permissions, flags;
  for (const std::string& token : entry.permissions) Append(permissions, token);
  for (const auto& row : kInheritanceFlags)
    if (entry.inheritance & row.value) Append(flags, row.token);
  std::string words = std::string(Of(kAceModes, entry.mode).token) + " " + permissions + " for " +
                      Named(entry.trustee) + " in " + Lists(entry.where);
  return flags.empty() ? words : words + ", inheritance " + flags;
}

std::string Trustee(const TrusteeEntry& entry) {
  std::string words =
      std::string(Of(kTrusteeActions, entry.action).token) + " " + Named(entry.first);
  if (entry.action != TrusteeAction::Remove) words += " and " + Named(entry.second);
  return words + " in " + Lists(entry.where);
}

// The parts listed, always in the order d, s, o, g.
std::string Parts(const Listing& listing) {
  std::string letters;
  for (auto [listed, letter] : {std::pair{listing.dacl, "d"}, std::pair{listing.sacl, "s"},
                                std::pair{listing.owner, "o"}, std::pair{listing.group, "g"}})
    if (listed) Append(letters, letter);
  return letters + (listing.inherited ? ", inherited" : "") + (listing.sids ? ", SIDs" : "");
}

// What the call reaches, which ends every line.
std::string Target(const Command& c) {
  std::string target = "on " + std::string(Of(kObjectTypes, c.type).token) + " " + Quoted(c.object);
  if (c.recursion != Recursion::No)
    target += ", recursion " + std::string(c.type == ObjectType::Registry
                                               ? Of(kRegistryRecursion, c.recursion).token
                                               : Of(kFileRecursion, c.recursion).token);
  for (const std::string& filter : c.filters.added) target += ", skipping " + Quoted(filter);
  if (c.continueOnErrors) target += ", going on after errors";
  return target;
}

}  // namespace

std::vector<std::string> Describe(const CallReading& call, std::size_t backedUp) {
  const Command& c = call.command;
  const std::string target = " " + Target(c);
  std::vector<std::string> lines;
  for (const std::string& action : call.actions) {
    if (action == "ace")
      for (const AceEntry& entry : c.aces.added) lines.push_back("ace: " + Ace(entry) + target);
    if (action == "trustee")
      for (const TrusteeEntry& entry : c.trustees.added)
        lines.push_back("trustee: " + Trustee(entry) + target);
    if (action == "setowner") lines.push_back("setowner: " + Named(c.owner) + target);
    if (action == "setgroup") lines.push_back("setgroup: " + Named(c.group) + target);
    if (action == "setprot")
      lines.push_back("setprot: dacl " + std::string(Of(kProtections, c.daclProtection).token) +
                      ", sacl " + std::string(Of(kProtections, c.saclProtection).token) + target);
    if (action == "clear") lines.push_back("clear: " + Lists(*c.clear) + target);
    if (action == "rstchldrn") lines.push_back("rstchldrn: " + Lists(*c.resetChildren) + target);
    if (action == "list") {
      const Listing listing = call.listing.value_or(kToolListing);
      lines.push_back("list: " + Parts(listing) + " as " +
                      std::string(Of(kListFormats, listing.format).token) + " into " +
                      (ListsToScreen(call) ? std::string("the screen") : Quoted(call.backupFile)) +
                      target);
    }
    if (action == "restore")
      lines.push_back("restore: " + std::to_string(backedUp) +
                      (backedUp == 1 ? " object" : " objects") + " from " +
                      Quoted(call.backupFile) + " (-on is not used)" + target);
  }
  return lines;
}

bool Filtered(const Command& c, std::string_view path) {
  const std::string lower = Lower(path);
  return std::ranges::any_of(c.filters.added, [&](const std::string& keyword) {
    return lower.find(Lower(keyword)) != std::string::npos;
  });
}

}  // namespace standin
