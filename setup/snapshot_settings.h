#pragma once
// The snapshot settings beside the location, in HKEY_LOCAL_MACHINE\SOFTWARE\Vorlane:
// Snapshots ("1" or "0"), KeepRuns and KeepMegabytes, as string values. A
// value missing or unreadable keeps its default.

#include "runner/run_history.h"
#include "platform/registry.h"

SnapshotSettings ReadSnapshotSettings(platform::Registry& registry);
// 0 or the system's error code of the first write that failed.
long WriteSnapshotSettings(platform::Registry& registry, const SnapshotSettings& settings);
