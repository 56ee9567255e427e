#pragma once
// Memory the system hands out (SDDL conversions, security descriptors read
// by name), given back with LocalFree when its holder goes.

#include <windows.h>

#include <memory>

namespace win32 {

struct LocalFreed {
  void operator()(void* memory) const { LocalFree(memory); }
};

using LocalMemory = std::unique_ptr<void, LocalFreed>;

}  // namespace win32
