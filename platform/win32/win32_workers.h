#pragma once
// Work on threads of their own; a message-only window on the interface
// thread runs their news there.

#include <windows.h>

#include <memory>
#include <utility>
#include <vector>

#include "platform/workers.h"

namespace win32 {

class Win32Workers : public platform::Workers {
 public:
  // Made on the interface thread.
  Win32Workers();
  // Asks the work still running to stop and waits for all of it to end.
  ~Win32Workers() override;
  Win32Workers(const Win32Workers&) = delete;
  Win32Workers& operator=(const Win32Workers&) = delete;

  std::unique_ptr<platform::Work> Start(std::function<void(Context&)> work) override;

  struct Shared;

 private:
  HWND mailbox_ = nullptr;
  std::vector<std::pair<std::shared_ptr<Shared>, HANDLE>> running_;
};

}  // namespace win32
