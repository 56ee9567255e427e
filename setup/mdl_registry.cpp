#include "setup/mdl_registry.h"

#include <charconv>

namespace {

constexpr long kInvalidParameter = 87;

}  // namespace

long CreateRegKey(platform::Registry& registry, RegKey root, const std::string& path) {
  RegKey key = 0;
  long result = registry.CreateKey(root, path, kRegAccess, key);
  if (key) registry.CloseKey(key);
  return result;
}

long WriteRegValue(platform::Registry& registry, RegKey root, const std::string& path,
                   const std::string& name, const RegValue& value, std::uint32_t type) {
  RegKey key = 0;
  long opened = registry.OpenKey(root, path, kRegAccess, key);
  long written = WriteValueData(registry, key, name, type, value);
  if (key) registry.CloseKey(key);
  return opened ? opened : written;
}

RegValue ReadRegValue(platform::Registry& registry, RegKey root, const std::string& path,
                      const std::string& name) {
  RegKey key = 0;
  registry.OpenKey(root, path, kRegAccess, key);
  RegValue value;
  ReadValueData(registry, key, name, value);
  if (key) registry.CloseKey(key);
  return value;
}

long WriteValueData(platform::Registry& registry, RegKey key, const std::string& name,
                    std::uint32_t type, const RegValue& value) {
  if (type == platform::Registry::kString) return registry.SetString(key, name, RegValueText(value));
  if (type != platform::Registry::kNumber) return 0;
  if (const auto* number = std::get_if<std::uint32_t>(&value))
    return registry.SetNumber(key, name, *number);
  std::string text = RegValueText(value);
  std::uint32_t number = 0;
  auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), number);
  if (error != std::errc{} || end != text.data() + text.size()) return kInvalidParameter;
  return registry.SetNumber(key, name, number);
}

long ReadValueData(platform::Registry& registry, RegKey key, const std::string& name,
                   RegValue& value) {
  std::uint32_t type = 0;
  std::uint32_t bytes = 0;
  if (long result = registry.QueryInfo(key, name, type, bytes)) return result;
  if (type == platform::Registry::kString) {
    std::string text;
    long result = registry.QueryString(key, name, bytes, text);
    if (result) {
      value = std::string();
      return result;
    }
    // Whether the system counted a stored terminator or not, the text ends
    // in exactly one NUL: callers drop it as the value's last character.
    while (!text.empty() && text.back() == '\0') text.pop_back();
    value = text + '\0';
    return 0;
  }
  if (type == platform::Registry::kNumber) {
    std::uint32_t number = 0;
    long result = registry.QueryNumber(key, name, number);
    if (!result) value = number;
    return result;
  }
  return -1;
}

std::string RegValueText(const RegValue& value) {
  if (const auto* text = std::get_if<std::string>(&value)) return *text;
  if (const auto* number = std::get_if<std::uint32_t>(&value)) return std::to_string(*number);
  return {};
}
