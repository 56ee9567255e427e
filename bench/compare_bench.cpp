// How fast two listings of 100,000 registry keys are compared, and the memory
// it takes beside the listings: one key in a hundred with an entry added, one
// in a hundred the same security spelled otherwise, which the system must
// read to tell. Security read by the system (wine's); run by scripts/bench.

#include <windows.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <new>
#include <string>

#include "runner/listing_changes.h"
#include "platform/win32/win32_security.h"

namespace {

constexpr int kObjects = 100000, kRounds = 5;

// Bytes the program holds on the heap, and the most it held since asked.
std::atomic<std::size_t> held{0}, peak{0};

}  // namespace

void* operator new(std::size_t size) {
  // The size goes before the block, so the delete knows what it gives back.
  auto* block = static_cast<std::size_t*>(std::malloc(size + sizeof(std::max_align_t)));
  if (!block) throw std::bad_alloc();
  *block = size;
  std::size_t now = held += size;
  for (std::size_t top = peak; now > top && !peak.compare_exchange_weak(top, now);) {
  }
  return reinterpret_cast<char*>(block) + sizeof(std::max_align_t);
}

void operator delete(void* p) noexcept {
  if (!p) return;
  auto* block = reinterpret_cast<std::size_t*>(static_cast<char*>(p) - sizeof(std::max_align_t));
  held -= *block;
  std::free(block);
}

void operator delete(void* p, std::size_t) noexcept { operator delete(p); }

int main() {
  const std::string common = "O:BAG:SYD:PAI(A;CI;KA;;;BA)(A;CI;KA;;;SY)(A;CI;KR;;;BU)";
  std::string before, after;
  for (int i = 0; i < kObjects; ++i) {
    std::string path = "\"machine\\SOFTWARE\\Bench\\Group" + std::to_string(i / 1000) + "\\Key" +
                       std::to_string(i) + "\",4,\"";
    before += path + common + "\"\r\n";
    if (i % 100 == 7) after += path + common + "(A;CI;KR;;;WD)\"\r\n";
    else if (i % 100 == 42) after += path + "O:S-1-5-32-544G:SYD:PAI(A;CI;0xf003f;;;BA)(A;CI;KA;;;SY)(A;CI;KR;;;BU)\"\r\n";
    else after += path + common + "\"\r\n";
  }
  win32::Win32Security security;
  const std::size_t listings = before.size() + after.size();
  double best = 1e9;
  std::size_t extra = 0;
  ListingChanges changes;
  for (int round = 0; round < kRounds; ++round) {
    changes = {};
    peak = held.load();
    std::size_t start = held;
    auto started = std::chrono::steady_clock::now();
    changes = CompareListings(before, after, security);
    best = std::min(best, std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count());
    extra = std::max(extra, peak - start);
  }
  std::printf("compare of two listings of %d objects (%.1f MB together): %s in %.3f s (best of %d)\n",
              kObjects, listings / 1e6, ChangesSummary(changes).c_str(), best, kRounds);
  std::printf("memory: %.1f MB beside the listings at the most, %.2f times the listings with them\n",
              extra / 1e6, static_cast<double>(listings + extra) / listings);
}
