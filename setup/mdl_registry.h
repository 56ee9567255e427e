#pragma once
// Registry access for the program's one setting: create a key, write a string
// value, read it back. Nothing here shows a message; failures end in a result
// code or an empty value.

#include <cstdint>
#include <string>

#include "platform/registry.h"

using RegKey = platform::Registry::Key;

// Every open and create asks for query, set, create subkey, enumerate,
// notify and create link: not the full standard rights.
inline constexpr std::uint32_t kRegAccess = 63;

// The create's result code.
long CreateRegKey(platform::Registry& registry, RegKey root, const std::string& path);
// The open's result code when it fails, else the write's.
long WriteRegValue(platform::Registry& registry, RegKey root, const std::string& path,
                   const std::string& name, const std::string& value);
// The value's text followed by exactly one NUL; empty when it cannot be read.
std::string ReadRegValue(platform::Registry& registry, RegKey root, const std::string& path,
                         const std::string& name);

// A value as read back, without the NUL that ends it.
std::string ValueText(const std::string& value);

// Writes a string value into an open key.
long WriteValueData(platform::Registry& registry, RegKey key, const std::string& name,
                    const std::string& value);
// Reads a string value into `value`, which is set only on success (and
// becomes empty when its second read fails). A string always reads back as
// its text followed by exactly one NUL character. -1 for other types.
long ReadValueData(platform::Registry& registry, RegKey key, const std::string& name,
                   std::string& value);
