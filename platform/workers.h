#pragma once
// Work done on a thread of its own, its news handed to the interface thread.

#include <functional>
#include <memory>

namespace platform {

// Work under way. Dropping it asks the work to stop, and nothing more is
// heard of it.
class Work {
 public:
  virtual ~Work() = default;
};

class Workers {
 public:
  // What the work sees of its starter.
  class Context {
   public:
    virtual ~Context() = default;
    // The work was dropped: it should stop.
    virtual bool stopped() const = 0;
    // Runs `news` on the interface thread, in order, unless the work is dropped by then.
    virtual void post(std::function<void()> news) = 0;
  };

  virtual ~Workers() = default;
  virtual std::unique_ptr<Work> Start(std::function<void(Context&)> work) = 0;
};

}  // namespace platform
