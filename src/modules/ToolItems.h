#pragma once

#include <filesystem>

#include "model/CleaningModuleID.h"
#include "modules/ModuleLocations.h"

namespace quillo {

/// Whether the item at `path` of module `id` is deleted by a system tool, not removed as a file:
/// a snapper or Timeshift snapshot, or the archived journals (a journal folder of `locations`).
/// Such an item is asked for again by its path alone; no file identity stands behind it.
bool isDeletedByTool(const ModuleLocations& locations, CleaningModuleID id,
                     const std::filesystem::path& path);

}  // namespace quillo
