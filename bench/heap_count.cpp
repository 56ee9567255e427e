#include "bench/heap_count.h"

#include <atomic>
#include <cstdlib>
#include <new>

namespace {

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

namespace bench {

std::size_t HeapHeld() { return held; }

std::size_t StartHeapPeak() {
  std::size_t now = held;
  peak = now;
  return now;
}

std::size_t HeapPeak() { return peak; }

}  // namespace bench
