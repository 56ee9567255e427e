#pragma once
// Two listings' objects matched by path and type, without a string per
// object: each listing indexed where its objects stand in its text (16
// bytes an object however large the text), one listed more than once
// matched as a multiset (the same SDDL first, then in listing order).

#include <cstdint>
#include <functional>
#include <optional>
#include <string_view>
#include <vector>

inline constexpr std::uint32_t kUnmatched = UINT32_MAX;

// Asks `stopped` at the first step and then now and then: a step weighs
// one, a read by the system more.
class Pace {
 public:
  explicit Pace(const std::function<bool()>& stopped) : stopped_(stopped) {}
  bool stopped(std::uint32_t weight = 1) {
    if (!stopped_ || (spent_ += weight) < kBetweenAsks) return false;
    spent_ = 0;
    return stopped_();
  }

 private:
  static constexpr std::uint32_t kBetweenAsks = 1 << 16;
  const std::function<bool()>& stopped_;
  std::uint32_t spent_ = kBetweenAsks;
};

// A listing's objects where they stand in its text; and its damaged lines.
class IndexedListing {
 public:
  // False when stopped on the way.
  bool read(std::string_view text, Pace& pace);
  std::size_t size() const { return places_.size(); }
  std::string_view path(std::size_t i) const { return text_.substr(places_[i].path, places_[i].pathSize); }
  int type(std::size_t i) const { return typeAndSddl(i).first; }
  std::string_view sddl(std::size_t i) const { return typeAndSddl(i).second; }
  const std::vector<std::string_view>& damaged() const { return damaged_; }

 private:
  struct Place {
    std::uint64_t path;
    std::uint32_t pathSize, sddlSize;
  };
  std::pair<int, std::string_view> typeAndSddl(std::size_t i) const;

  std::string_view text_;
  std::vector<Place> places_;
  std::vector<std::string_view> damaged_;
};

// For each object before, the one after it is matched with (kUnmatched:
// none); none at all when stopped.
std::optional<std::vector<std::uint32_t>> Match(const IndexedListing& before, const IndexedListing& after,
                                                Pace& pace);
