#include "runner/listing_changes.h"

#include "run/permission_table.h"
#include "run/setacl_listing.h"
#include "runner/descriptor_difference.h"
#include "runner/listing_match.h"
#include "runner/run_status.h"

namespace {

// The first 200 characters of a line, whole characters only.
std::string Opening(std::string_view line) {
  std::size_t at = 0;
  for (int characters = 0; at < line.size() && characters < 200; ++characters)
    for (++at; at < line.size() && (static_cast<unsigned char>(line[at]) & 0xC0) == 0x80;) ++at;
  return std::string(line.substr(0, at));
}

}  // namespace

std::optional<ListingChanges> CompareListings(std::string_view beforeText, std::string_view afterText,
                                              platform::Security& security, const std::function<bool()>& stopped,
                                              bool withSacl) {
  Pace pace(stopped);
  IndexedListing before, after;
  if (!before.read(beforeText, pace) || !after.read(afterText, pace)) return std::nullopt;
  std::optional<std::vector<std::uint32_t>> partner = Match(before, after, pace);
  if (!partner) return std::nullopt;

  ListingChanges out;
  out.listedBefore = before.size();
  out.listedAfter = after.size();
  for (auto [listing, when] : {std::pair{&before, "before"}, std::pair{&after, "after"}})
    for (std::string_view line : listing->damaged())
      out.changes.push_back({"A line of the listing " + std::string(when) + " the run could not be read: " +
                                 Opening(line), {}});
  out.unreadableLines = out.changes.size();
  out.unreadable = out.unreadableLines;

  AccountWords accounts(security);
  std::vector<bool> matched(after.size());
  for (std::uint32_t i = 0; i < before.size(); ++i) {
    const std::uint32_t j = (*partner)[i];
    if (j == kUnmatched) {
      ++out.unreadable;
      out.changes.push_back({std::string(before.path(i)),
                             {"Not listed after the run: it could not be read, or it is gone."}});
      continue;
    }
    matched[j] = true;
    if (before.sddl(i) == after.sddl(j)) {
      if (pace.stopped()) return std::nullopt;
      continue;
    }
    if (pace.stopped(256)) return std::nullopt;
    auto a = security.Read(std::string(before.sddl(i))), b = security.Read(std::string(after.sddl(j)));
    std::vector<std::string> lines{"Its SDDL could not be read."};
    if (a && b) {
      ObjectType type = ListedType(before.type(i)).value_or(ObjectType::File);
      lines = DescriptorDifference(*a, *b, type, IsContainer(type, *a, *b), withSacl, accounts, security);
      if (lines.empty()) continue;
    }
    ++out.changed;
    out.changes.push_back({std::string(before.path(i)), std::move(lines)});
  }
  out.objects = before.size();
  for (std::uint32_t j = 0; j < after.size(); ++j)
    if (!matched[j]) {
      ++out.objects;
      ++out.unreadable;
      out.changes.push_back({std::string(after.path(j)),
                             {"Not listed before the run: it could not be read, or it is new."}});
    }
  return out;
}

std::string ChangesSummary(const ListingChanges& c) {
  std::string out = Grouped(c.changed) + " of " + Grouped(c.objects) +
                    (c.objects == 1 ? " object changed" : " objects changed");
  if (c.unreadable) out += "; " + Grouped(c.unreadable) + " could not be read";
  return out;
}

std::string ChangesText(const ListingChanges& c) {
  std::string out;
  for (const ObjectChange& change : c.changes) {
    out += change.path + "\r\n";
    for (const std::string& line : change.lines) out += "    " + line + "\r\n";
  }
  return out;
}
