#pragma once

#include <chrono>
#include <filesystem>
#include <optional>
#include <vector>

#include "modules/ApplicationResidualActor.h"
#include "platform/StandardDirectories.h"

namespace quillo {

/// Where the default modules look, on one platform.
struct ModuleLocations {
    std::vector<std::filesystem::path> cacheRoots;
    /// Entries below the cache roots that the caches module never offers: what another module
    /// owns (the font caches) and what only looks like a cache.
    std::vector<std::filesystem::path> excludedCacheEntries;
    std::vector<std::filesystem::path> logRoots;
    std::vector<std::filesystem::path> tempRoots;
    /// How long an entry of the temp roots counts as recently changed: where they are shared
    /// with every running program and only aged by time, a young entry may still be in use.
    std::optional<std::chrono::seconds> tempRecentWindow;
    std::optional<std::filesystem::path> sleepImage;
    std::vector<std::filesystem::path> reportRoots;
    std::vector<std::filesystem::path> deepReportRoots;
    std::vector<ResidualRoot> residualRoots;
    std::vector<std::filesystem::path> fontRoots;
};

/// What the locations are derived from; a test puts fake roots here.
struct LocationFacts {
    /// Where the system's own folders ("/var", "/Library", …) are.
    std::filesystem::path systemRoot = "/";
    /// Answers the XDG variables, TMPDIR and HOME.
    platform::EnvironmentLookup environment = platform::processEnvironment();
};

/// The folders of a macOS system.
ModuleLocations macOSLocations(const LocationFacts& facts);

/// Their Linux counterparts: the XDG base folders of the user, the system's /var folders, no
/// sleep image (Linux hibernates into swap), Flatpak's per-app data and the XDG config and data
/// homes for residuals (application IDs only, preselected only under Flatpak's own folder).
ModuleLocations linuxLocations(const LocationFacts& facts);

/// The locations of the platform this build runs on.
ModuleLocations platformLocations();

}  // namespace quillo
