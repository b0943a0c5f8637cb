#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "model/CleanableItem.h"
#include "model/Uuid.h"
#include "platform/PackagedApplication.h"

namespace quillo {

/// What uninstalling one application removes: the bundle (or the packaged application) first
/// (when it could be read), then its residues. Identified by `id`.
struct UninstallPlan {
    Uuid id = Uuid::random();
    std::filesystem::path appURL;
    std::string bundleID;
    std::string displayName;
    std::vector<CleanableItem> items;
    /// The Flatpak or snap removed by its package system; none for a bundle.
    std::optional<platform::PackagedApplication> package{};
};

}  // namespace quillo
