#pragma once
// Registry access for the program's one setting: create a key, write a value,
// read it back. Nothing here shows a message; failures end in a result code
// or an empty value.

#include <cstdint>
#include <string>
#include <variant>

#include "platform/registry.h"

// A value as read: nothing (missing or unreadable), a text or a number.
using RegValue = std::variant<std::monostate, std::string, std::uint32_t>;
using RegKey = platform::Registry::Key;

// Every open and create asks for query, set, create subkey, enumerate,
// notify and create link: not the full standard rights.
inline constexpr std::uint32_t kRegAccess = 63;

// The create's result code.
long CreateRegKey(platform::Registry& registry, RegKey root, const std::string& path);
// The open's result code when it fails, else the write's.
long WriteRegValue(platform::Registry& registry, RegKey root, const std::string& path,
                   const std::string& name, const RegValue& value, std::uint32_t type);
RegValue ReadRegValue(platform::Registry& registry, RegKey root, const std::string& path,
                      const std::string& name);

// Writes a string (type 1) or number (type 4) value into an open key; any
// other type writes nothing and returns 0.
long WriteValueData(platform::Registry& registry, RegKey key, const std::string& name,
                    std::uint32_t type, const RegValue& value);
// Reads a value into `value`, which is set only on success (a string value
// also becomes empty when its second read fails). A string always reads back
// as its text followed by exactly one NUL character. -1 for other types.
long ReadValueData(platform::Registry& registry, RegKey key, const std::string& name,
                   RegValue& value);

// A value as text: a number in decimal, nothing as the empty text.
std::string RegValueText(const RegValue& value);
