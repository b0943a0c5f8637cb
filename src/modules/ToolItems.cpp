#include "modules/ToolItems.h"

#include <algorithm>

#include "modules/SnapshotItemPaths.h"

namespace quillo {

bool isDeletedByTool(const ModuleLocations& locations, CleaningModuleID id,
                     const std::filesystem::path& path) {
    switch (id) {
        case CleaningModuleID::localSnapshots:
            return linuxSnapshotAt(path).has_value();
        case CleaningModuleID::systemLogs:
            return std::ranges::find(locations.journalFolders, path) !=
                   locations.journalFolders.end();
        default:
            return false;
    }
}

}  // namespace quillo
