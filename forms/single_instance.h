#pragma once
// A window that exists at most once: made the first time it is asked for,
// and made anew after its close box unloaded it.

#include <functional>
#include <memory>

namespace forms {

template <class F>
class SingleInstance {
 public:
  explicit SingleInstance(std::function<std::unique_ptr<F>()> make) : make_(std::move(make)) {}

  F& get() {
    if (!form_ || form_->unloaded()) {
      form_.reset();
      form_ = make_();
    }
    return *form_;
  }

 private:
  std::function<std::unique_ptr<F>()> make_;
  std::unique_ptr<F> form_;
};

}  // namespace forms
