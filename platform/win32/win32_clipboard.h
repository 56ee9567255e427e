#pragma once

#include "platform/clipboard.h"

namespace win32 {

class Win32Clipboard : public platform::Clipboard {
 public:
  bool SetText(const std::string& text) override;
};

}  // namespace win32
