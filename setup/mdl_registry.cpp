#include "setup/mdl_registry.h"

long CreateRegKey(platform::Registry& registry, RegKey root, const std::string& path) {
  RegKey key = 0;
  long result = registry.CreateKey(root, path, kRegAccess, key);
  if (key) registry.CloseKey(key);
  return result;
}

long WriteRegValue(platform::Registry& registry, RegKey root, const std::string& path,
                   const std::string& name, const std::string& value) {
  RegKey key = 0;
  long opened = registry.OpenKey(root, path, kRegAccess, key);
  long written = WriteValueData(registry, key, name, value);
  if (key) registry.CloseKey(key);
  return opened ? opened : written;
}

std::string ReadRegValue(platform::Registry& registry, RegKey root, const std::string& path,
                         const std::string& name) {
  RegKey key = 0;
  registry.OpenKey(root, path, kRegAccess, key);
  std::string value;
  ReadValueData(registry, key, name, value);
  if (key) registry.CloseKey(key);
  return value;
}

std::string ValueText(const std::string& value) {
  return value.ends_with('\0') ? value.substr(0, value.size() - 1) : value;
}

long WriteValueData(platform::Registry& registry, RegKey key, const std::string& name,
                    const std::string& value) {
  return registry.SetString(key, name, value);
}

long ReadValueData(platform::Registry& registry, RegKey key, const std::string& name,
                   std::string& value) {
  std::uint32_t type = 0;
  std::uint32_t bytes = 0;
  if (long result = registry.QueryInfo(key, name, type, bytes)) return result;
  if (type != platform::Registry::kString) return -1;
  std::string text;
  if (long result = registry.QueryString(key, name, bytes, text)) {
    value.clear();
    return result;
  }
  // Whether the system counted a stored terminator or not, the text ends in
  // exactly one NUL: callers drop it as the value's last character.
  while (!text.empty() && text.back() == '\0') text.pop_back();
  value = text + '\0';
  return 0;
}
