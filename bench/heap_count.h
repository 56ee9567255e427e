#pragma once
// The bytes a benchmark holds on the heap, counted by its own operator new
// (heap_count.cpp, linked into the benchmarks that measure memory).

#include <cstddef>

namespace bench {

// What is held now.
std::size_t HeapHeld();
// Starts a new peak at what is held now, and gives that.
std::size_t StartHeapPeak();
// The most held since the peak was started.
std::size_t HeapPeak();

}  // namespace bench
