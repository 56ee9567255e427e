#pragma once
// Like controls that share one click handler, which gets the element's index.

#include <functional>
#include <vector>

namespace forms {

template <class T>
class ControlArray {
 public:
  T& add(T& element) {
    elements_.push_back(&element);
    return element;
  }
  T& operator[](int index) const { return *elements_.at(index); }
  int size() const { return static_cast<int>(elements_.size()); }

  void onClick(const std::function<void(int)>& handler) {
    for (T* element : elements_) element->onClick = [handler, element] { handler(element->index()); };
  }

 private:
  std::vector<T*> elements_;
};

}  // namespace forms
