#pragma once

#include <filesystem>
#include <string>
#include <vector>

#include "model/CleanableItem.h"
#include "model/Uuid.h"

namespace quillo {

/// What uninstalling one application removes: the bundle first (when it could be read), then
/// its residues. Identified by `id`.
struct UninstallPlan {
    Uuid id = Uuid::random();
    std::filesystem::path appURL;
    std::string bundleID;
    std::string displayName;
    std::vector<CleanableItem> items;
};

}  // namespace quillo
