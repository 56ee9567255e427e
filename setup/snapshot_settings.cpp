#include "setup/snapshot_settings.h"

#include <optional>

#include "setacl/arguments.h"
#include "setup/location.h"
#include "setup/mdl_registry.h"

namespace {

constexpr RegKey kRoot = platform::Registry::kLocalMachine;

std::string Text(platform::Registry& registry, const char* name) {
  return ValueText(ReadRegValue(registry, kRoot, kLocationKey, name));
}

// A number above 0, or none.
std::optional<std::uint64_t> Number(platform::Registry& registry, const char* name) {
  std::optional<std::uint64_t> n = WholeNumber(Text(registry, name));
  if (n == 0u) return std::nullopt;
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
