#include "setup/snapshot_settings.h"

#include <charconv>
#include <optional>

#include "setup/location.h"
#include "setup/mdl_registry.h"

namespace {

constexpr RegKey kRoot = platform::Registry::kLocalMachine;

// A value's text, without the NUL it reads back with.
std::string Text(platform::Registry& registry, const char* name) {
  std::string text = ReadRegValue(registry, kRoot, kLocationKey, name);
  if (!text.empty()) text.pop_back();
  return text;
}

std::optional<std::uint64_t> Number(platform::Registry& registry, const char* name) {
  std::string text = Text(registry, name);
  std::uint64_t n = 0;
  auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), n);
  if (text.empty() || error != std::errc{} || end != text.data() + text.size() || n == 0)
    return std::nullopt;
  return n;
}

}  // namespace

SnapshotSettings ReadSnapshotSettings(platform::Registry& registry) {
  SnapshotSettings settings;
  settings.on = Text(registry, "Snapshots") != "0";
  if (auto runs = Number(registry, "KeepRuns")) settings.keepRuns = static_cast<std::size_t>(*runs);
  if (auto megabytes = Number(registry, "KeepMegabytes")) settings.keepMegabytes = *megabytes;
  return settings;
}

long WriteSnapshotSettings(platform::Registry& registry, const SnapshotSettings& settings) {
  const std::pair<const char*, std::string> values[] = {
      {"Snapshots", settings.on ? "1" : "0"},
      {"KeepRuns", std::to_string(settings.keepRuns)},
      {"KeepMegabytes", std::to_string(settings.keepMegabytes)}};
  for (const auto& [name, value] : values)
    if (long error = WriteRegValue(registry, kRoot, kLocationKey, name, value)) return error;
  return 0;
}
