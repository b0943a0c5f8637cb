#pragma once

#include <filesystem>
#include <functional>
#include <vector>

#include "model/CleaningModuleID.h"
#include "modules/ModuleLocations.h"

namespace quillo {

/// A module's root folder that a scan of this process does not walk.
struct LeftOutRoot {
    CleaningModuleID moduleID = CleaningModuleID::systemCaches;
    std::filesystem::path folder;

    friend bool operator==(const LeftOutRoot&, const LeftOutRoot&) = default;
};

using FolderTest = std::function<bool(const std::filesystem::path&)>;

/// Takes the roots `isOutOfReach` names out of `locations` and returns them in module order,
/// within a module in the order of its roots.
std::vector<LeftOutRoot> leaveOutRootsOutOfReach(ModuleLocations& locations,
                                                 const FolderTest& isOutOfReach);

/// The roots this machine's locations leave out for this process.
std::vector<LeftOutRoot> platformLeftOutRoots();

}  // namespace quillo
