#pragma once
// The system registry, as thin as its own API: keys are opened and closed by
// handle, string values move as text, and every call returns the system's
// result code (0 for success).

#include <cstdint>
#include <string>

namespace platform {

class Registry {
 public:
  // A key handle; 0 is no key. Predefined roots carry their system values.
  using Key = std::uintptr_t;
  static constexpr Key kLocalMachine = 0x80000002;
  static constexpr std::uint32_t kString = 1;  // REG_SZ

  virtual ~Registry() = default;
  // Opens the key, creating it and any missing keys on its path.
  virtual long CreateKey(Key root, const std::string& path, std::uint32_t access, Key& key) = 0;
  virtual long OpenKey(Key root, const std::string& path, std::uint32_t access, Key& key) = 0;
  virtual long CloseKey(Key key) = 0;
  // A value's type and the size of its data in bytes, without reading it.
  virtual long QueryInfo(Key key, const std::string& name, std::uint32_t& type,
                         std::uint32_t& bytes) = 0;
  // Reads a string value into a buffer of the given size; the text is every
  // character the system reports, a stored terminator included.
  virtual long QueryString(Key key, const std::string& name, std::uint32_t bytes,
                           std::string& text) = 0;
  // Writes the characters of the text as a string value, with no terminator.
  virtual long SetString(Key key, const std::string& name, const std::string& text) = 0;
};

}  // namespace platform
