#pragma once

#include <string>

namespace platform {

// The system's clipboard, for text.
class Clipboard {
 public:
  virtual ~Clipboard() = default;
  // Puts the text on the clipboard; false when the clipboard could not be had.
  virtual bool SetText(const std::string& text) = 0;
};

}  // namespace platform
