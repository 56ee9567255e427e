#include "setup/location.h"

#include "setup/mdl_registry.h"

std::string ReadLocation(platform::Registry& registry) {
  return ReadRegValue(registry, platform::Registry::kLocalMachine, kLocationKey, kLocationValue);
}

long WriteLocation(platform::Registry& registry, const std::string& folder, bool createKey) {
  constexpr RegKey root = platform::Registry::kLocalMachine;
  long created = createKey ? CreateRegKey(registry, root, kLocationKey) : 0;
  long written = WriteRegValue(registry, root, kLocationKey, kLocationValue, folder);
  return written ? written : created;
}
