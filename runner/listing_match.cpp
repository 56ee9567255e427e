#include "runner/listing_match.h"

#include <algorithm>
#include <bit>
#include <charconv>

#include "setacl/arguments.h"
#include "setacl/listing.h"

bool IndexedListing::read(std::string_view text, Pace& pace) {
  text_ = text;
  std::size_t lines = BeginsAsListed(text);
  for (std::size_t at = text.find("\n\""); at != std::string_view::npos;
       at = text.find("\n\"", at + 2))
    ++lines;
  places_.reserve(lines);
  bool stopped = false;
  ForEachLine(text, [&](std::string_view line, std::string_view) {
    if (stopped || (stopped = pace.stopped()) || !BeginsAsListed(line)) return;
    auto object = ReadListingView(line);
    if (object && object->path.size() < kUnmatched && object->sddl.size() < kUnmatched)
      places_.push_back({static_cast<std::uint64_t>(object->path.data() - text.data()),
                         static_cast<std::uint32_t>(object->path.size()),
                         static_cast<std::uint32_t>(object->sddl.size())});
    else
      damaged_.push_back(line);
  });
  return !stopped;
}

// The type number stands between the path's `",` and the SDDL's `,"`.
std::pair<int, std::string_view> IndexedListing::typeAndSddl(std::size_t i) const {
  const char* digits = text_.data() + places_[i].path + places_[i].pathSize + 2;
  int type = 0;
  const char* end = std::from_chars(digits, text_.data() + text_.size(), type).ptr;
  return {type, std::string_view(end + 2, places_[i].sddlSize)};
}

namespace {

// A listing's objects by path and type: the first of each, and after each
// the next with the same, in listing order.
class Groups {
 public:
  explicit Groups(const IndexedListing& listing) : listing_(listing) {}
  bool build(Pace& pace) {
    slots_.assign(std::bit_ceil(std::max<std::size_t>(2 * listing_.size(), 16)), {kUnmatched, 0});
    next_.assign(listing_.size(), kUnmatched);
    shared_.assign(listing_.size(), false);
    for (std::size_t i = listing_.size(); i-- > 0;) {
      if (pace.stopped()) return false;
      const Key key{listing_.path(i), listing_.type(i)};
      Slot& slot = slots_[find(key)];
      if (slot.first != kUnmatched) shared_[i] = shared_[slot.first] = true;
      next_[i] = slot.first;
      slot = {static_cast<std::uint32_t>(i), key.tag()};
    }
    return true;
  }
  std::uint32_t first(std::string_view path, int type) const {
    return slots_[find({path, type})].first;
  }
  std::uint32_t next(std::uint32_t i) const { return next_[i]; }
  // Whether another object has the same path and type.
  bool shared(std::uint32_t i) const { return shared_[i]; }
  // Keeps the order within each group only.
  void forgetFirsts() { std::vector<Slot>().swap(slots_); }

 private:
  // A slot holds part of its hash, so most others are passed without
  // reading their paths.
  struct Slot {
    std::uint32_t first, tag;
  };
  struct Key {
    Key(std::string_view path, int type)
        : path(path),
          type(type),
          hash(std::hash<std::string_view>{}(path) ^
               (static_cast<std::uint64_t>(type) * 0x9E3779B97F4A7C15u)) {}
    std::uint32_t tag() const { return static_cast<std::uint32_t>(hash >> 32); }
    std::string_view path;
    int type;
    std::uint64_t hash;
  };
  std::size_t find(const Key& key) const {
    const std::size_t mask = slots_.size() - 1;
    std::size_t at = key.hash & mask;
    for (; slots_[at].first != kUnmatched; at = (at + 1) & mask)
      if (slots_[at].tag == key.tag() && listing_.path(slots_[at].first) == key.path &&
          listing_.type(slots_[at].first) == key.type)
        break;
    return at;
  }

  const IndexedListing& listing_;
  std::vector<Slot> slots_;
  std::vector<std::uint32_t> next_;
  std::vector<bool> shared_;
};

}  // namespace

// For each object before, the one after it is matched with (kUnmatched: none).
// Objects listed more than once are matched as a multiset: the same SDDL
// first, then the rest in listing order. The listings mostly stand in the
// same order, so the next object after is tried before the table.
std::optional<std::vector<std::uint32_t>> Match(const IndexedListing& before,
                                                const IndexedListing& after, Pace& pace) {
  constexpr std::uint32_t kUnseen = kUnmatched - 1;
  Groups alike(before), matching(after);
  if (!alike.build(pace)) return std::nullopt;
  alike.forgetFirsts();
  if (!matching.build(pace)) return std::nullopt;
  std::vector<std::uint32_t> partner(before.size(), kUnseen);
  std::vector<bool> taken(after.size());
  for (std::uint32_t i = 0, following = 0; i < before.size(); ++i) {
    if (pace.stopped()) return std::nullopt;
    if (partner[i] != kUnseen) continue;
    if (!alike.shared(i) && following < after.size() && !matching.shared(following) &&
        before.path(i) == after.path(following) && before.type(i) == after.type(following)) {
      partner[i] = following;
      taken[following++] = true;
      continue;
    }
    std::uint32_t j = matching.first(before.path(i), before.type(i));
    if (!alike.shared(i) && (j == kUnmatched || !matching.shared(j))) {
      partner[i] = j;
      if (j != kUnmatched) {
        taken[j] = true;
        following = j + 1;
      }
      continue;
    }
    std::vector<std::uint32_t> was, now;
    for (std::uint32_t k = i; k != kUnmatched; k = alike.next(k)) was.push_back(k);
    for (std::uint32_t k = j; k != kUnmatched; k = matching.next(k)) now.push_back(k);
    for (std::uint32_t b : was)
      for (std::uint32_t a : now)
        if (!taken[a] && before.sddl(b) == after.sddl(a)) {
          partner[b] = a;
          taken[a] = true;
          break;
        }
    auto rest = now.begin();
    for (std::uint32_t b : was) {
      if (partner[b] != kUnseen) continue;
      while (rest != now.end() && taken[*rest]) ++rest;
      partner[b] = rest == now.end() ? kUnmatched : *rest;
      if (rest != now.end()) taken[*rest] = true;
    }
  }
  return partner;
}
