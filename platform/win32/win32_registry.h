#pragma once
// The registry through its wide functions, so names outside the ANSI code
// page survive.

#include "platform/registry.h"

namespace win32 {

class Win32Registry : public platform::Registry {
 public:
  long CreateKey(Key root, const std::string& path, std::uint32_t access, Key& key) override;
  long OpenKey(Key root, const std::string& path, std::uint32_t access, Key& key) override;
  long CloseKey(Key key) override;
  long QueryInfo(Key key, const std::string& name, std::uint32_t& type,
                 std::uint32_t& bytes) override;
  long QueryString(Key key, const std::string& name, std::uint32_t bytes,
                   std::string& text) override;
  long SetString(Key key, const std::string& name, const std::string& text) override;
};

}  // namespace win32
